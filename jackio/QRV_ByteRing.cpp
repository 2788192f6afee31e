#include "QRV_ByteRing.h"

#include <new>

QRV_ByteRing::QRV_ByteRing(std::size_t bytes)
    : ring_(jack_ringbuffer_create(bytes)) {
    if (ring_ == nullptr) {
        throw std::bad_alloc();
    }
    jack_ringbuffer_mlock(ring_);
}

QRV_ByteRing::~QRV_ByteRing() {
    jack_ringbuffer_free(ring_);
}

std::size_t QRV_ByteRing::writeSpace() const {
    readBytes_.load(std::memory_order_acquire); // the reader is done with the space it freed
    return jack_ringbuffer_write_space(ring_);
}

bool QRV_ByteRing::write(const void* data, std::size_t size) {
    return write(data, size, nullptr, 0);
}

bool QRV_ByteRing::write(const void* head, std::size_t headSize, const void* body,
                         std::size_t bodySize) {
    if (writeSpace() < headSize + bodySize) {
        return false;
    }
    jack_ringbuffer_write(ring_, static_cast<const char*>(head), headSize);
    if (bodySize > 0) {
        jack_ringbuffer_write(ring_, static_cast<const char*>(body), bodySize);
    }
    writtenBytes_.fetch_add(headSize + bodySize, std::memory_order_release);
    return true;
}

std::size_t QRV_ByteRing::readable() const {
    return static_cast<std::size_t>(writtenBytes_.load(std::memory_order_acquire) -
                                    readBytes_.load(std::memory_order_relaxed));
}

void QRV_ByteRing::read(void* data, std::size_t size) {
    jack_ringbuffer_read(ring_, static_cast<char*>(data), size);
    readBytes_.fetch_add(size, std::memory_order_release);
}
