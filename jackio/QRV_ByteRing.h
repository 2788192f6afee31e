#pragma once

// A single-producer, single-consumer ring of bytes on jack_ringbuffer, locked in memory, for
// records handed from JACK's process thread to a reader thread.
//
// Threading: write() and writeSpace() are for the one producer (JACK's process thread: no
// allocation, lock, log or system call); readable(), read() and skip() for the one consumer.
// The ring's own pointers order its bytes inside libjack, where ThreadSanitizer cannot see
// them; the two byte counts here make the hand-over visible to it.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <jack/ringbuffer.h>

class QRV_ByteRing {
public:
    // Throws std::bad_alloc when the ring cannot be made.
    explicit QRV_ByteRing(std::size_t bytes);
    ~QRV_ByteRing();
    QRV_ByteRing(const QRV_ByteRing&) = delete;
    QRV_ByteRing& operator=(const QRV_ByteRing&) = delete;

    std::size_t writeSpace() const;
    // Writes all the bytes, or nothing (false) when they do not fit.
    bool write(const void* data, std::size_t size);
    // Writes two pieces as one record, or nothing.
    bool write(const void* head, std::size_t headSize, const void* body, std::size_t bodySize);

    std::size_t readable() const;
    // Reads exactly size bytes; the caller has checked readable().
    void read(void* data, std::size_t size);

private:
    jack_ringbuffer_t* ring_;
    std::atomic<std::uint64_t> writtenBytes_{0};
    std::atomic<std::uint64_t> readBytes_{0};
};
