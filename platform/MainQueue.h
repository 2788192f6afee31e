#pragma once

// Hands work to the Qt main thread.
//
// Threading: async may be called from any thread and never waits (beyond a short internal
// lock). Tasks run on the thread of the QCoreApplication, one per event-loop wake-up, in
// submission order; everything a task captured happens-before it runs. Needs a
// QCoreApplication; without one the task is dropped and async returns false.

#include <functional>

namespace platform {

class MainQueue {
public:
    MainQueue() = delete;

    static bool async(std::function<void()> task);
};

} // namespace platform
