#pragma once

// Marks for ThreadSanitizer where JACK hands a port buffer from one process thread to the
// next. JACK runs a cycle's clients in graph order and makes them wait on futexes inside
// libjack, which ThreadSanitizer cannot see: unmarked, it takes a buffer that one client wrote
// and the next one reads for a race, and handling each such (suppressed) report under its
// global locks held a real-time thread past the server's timeout, so whole cycles of MIDI were
// lost. Other builds compile the marks to nothing.
//
// Threading: for JACK process threads; call takePortBuffer before a callback touches a port
// buffer and handOnPortBuffer when it is done with it.

#if defined(__SANITIZE_THREAD__)
#define QUORVEL_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUORVEL_TSAN 1
#endif
#endif

#ifdef QUORVEL_TSAN
#include <sanitizer/tsan_interface.h>
#endif

namespace mtcgen {

#ifdef QUORVEL_TSAN
inline void takePortBuffer(void* buffer) {
    __tsan_acquire(buffer);
}
inline void handOnPortBuffer(void* buffer) {
    __tsan_release(buffer);
}
#else
inline void takePortBuffer(void*) {}
inline void handOnPortBuffer(void*) {}
#endif

} // namespace mtcgen
