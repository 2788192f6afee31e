#pragma once

// Marks for ThreadSanitizer where JACK hands a port buffer from one client's process thread
// to the next (and back, the next cycle): libjack orders them with futexes ThreadSanitizer
// cannot see. Other builds compile the marks to nothing.
//
// Threading: for JACK process threads; takePortBuffer before a callback touches a port buffer,
// handOnPortBuffer when it is done with it.

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace QRV_PortBufferHandOver {

inline void takePortBuffer([[maybe_unused]] const void* buffer) {
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(const_cast<void*>(buffer));
#endif
}

inline void handOnPortBuffer([[maybe_unused]] const void* buffer) {
#if defined(__SANITIZE_THREAD__)
    __tsan_release(const_cast<void*>(buffer));
#endif
}

} // namespace QRV_PortBufferHandOver
