// Between posts the quarter-frame path only stores bytes: no heap allocation. This program
// replaces the global operator new to count the allocations of the calling thread.

#include "ZK_MTCReceiver.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <new>

namespace {
thread_local std::size_t allocations = 0;
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

TEST(AllocationTest, CounterSeesAllocations) {
    const std::size_t before = allocations;
    auto p = std::make_unique<int>(1);
    EXPECT_EQ(allocations, before + 1);
}

TEST(AllocationTest, NonPostingQuarterFramesAndDroppedMessagesAllocateNothing) {
    // Pieces 0-2 and 4-6 with every value, and the two-byte messages that are dropped.
    std::vector<std::vector<unsigned char>> messages;
    for (const int piece : {0, 1, 2, 4, 5, 6}) {
        for (int value = 0; value < 16; ++value) {
            messages.push_back({0xF1, static_cast<unsigned char>(piece << 4 | value)});
        }
    }
    messages.push_back({0xF1, 0x85});
    messages.push_back({0xF1, 0xFF});
    messages.push_back({0xC0, 0x05});
    messages.push_back({0xF2, 0x30});

    const std::size_t before = allocations;
    for (int round = 0; round < 1000; ++round) {
        for (std::vector<unsigned char>& message : messages) {
            newMidiEventCallback(0.01, &message, nullptr);
        }
    }
    EXPECT_EQ(allocations, before);
}

} // namespace
