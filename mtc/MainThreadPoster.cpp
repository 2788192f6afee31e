#include "MainThreadPoster.h"

#include "MainQueue.h"
#include "NotificationCenter.h"

namespace {

// Far above what a 1,000-records-a-second stream ever leaves waiting, small enough that a
// flood costs a few hundred kilobytes at most.
constexpr std::size_t kSharedCapacity = 512;

} // namespace

MainThreadPoster::MainThreadPoster(std::size_t capacity)
    : capacity_(capacity) {}

MainThreadPoster& MainThreadPoster::shared() {
    static auto* poster = new MainThreadPoster(kSharedCapacity);
    return *poster;
}

void MainThreadPoster::post(const char* name, const void* sender, platform::UserInfo userInfo) {
    const std::lock_guard lock(mutex_);
    if (pending_.size() >= capacity_) {
        pending_.back() = {name, sender, std::move(userInfo)};
        ++merged_;
        return;
    }
    pending_.push_back({name, sender, std::move(userInfo)});
    if (!drainQueued_) {
        // One task at a time, however many notifications wait, so Qt's queue stays short too.
        drainQueued_ = platform::MainQueue::async([this] { drain(); });
        if (!drainQueued_) {
            pending_.clear(); // no application: nothing could ever run them
        }
    }
}

std::uint64_t MainThreadPoster::mergedCount() const {
    const std::lock_guard lock(mutex_);
    return merged_;
}

// Everything that waits when the task starts is posted by it, so a task queued on the main
// queue after a post always runs after that post's notification.
void MainThreadPoster::drain() {
    std::deque<Pending> batch;
    {
        const std::lock_guard lock(mutex_);
        batch.swap(pending_);
        drainQueued_ = false;
    }
    const auto& center = platform::NotificationCenter::defaultCenter();
    for (Pending& item : batch) {
        center.postNotificationName(item.name, item.sender, std::move(item.userInfo));
    }
}
