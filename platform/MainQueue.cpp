#include "MainQueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <deque>
#include <mutex>

#if defined(__SANITIZE_THREAD__)
// Exported by the ThreadSanitizer runtime; no header declares them.
extern "C" void AnnotateIgnoreReadsBegin(const char* file, int line);
extern "C" void AnnotateIgnoreReadsEnd(const char* file, int line);
extern "C" void AnnotateIgnoreWritesBegin(const char* file, int line);
extern "C" void AnnotateIgnoreWritesEnd(const char* file, int line);
#endif

namespace platform {

namespace {

// Posts the wake-up event. Qt's posted-event list is shared with the main thread's own posts
// (repaints, timers) under a futex lock that ThreadSanitizer cannot see in a Qt not built for
// it (QTBUG-37402), so the list's memmove and realloc would be reported as races. In such a
// build this thread's accesses inside the call are not recorded; ours stay under queueMutex().
void postWakeUp(QObject* receiver, QEvent::Type type) {
#if defined(__SANITIZE_THREAD__)
    AnnotateIgnoreReadsBegin(__FILE__, __LINE__);
    AnnotateIgnoreWritesBegin(__FILE__, __LINE__);
#endif
    QCoreApplication::postEvent(receiver, new QEvent(type));
#if defined(__SANITIZE_THREAD__)
    AnnotateIgnoreWritesEnd(__FILE__, __LINE__);
    AnnotateIgnoreReadsEnd(__FILE__, __LINE__);
#endif
}

// Tasks wait here, not inside Qt's event queue: Qt hands posted events between threads with
// its own futex-based lock, which ThreadSanitizer cannot see, so every task would look like a
// data race. Queue and wake-up both go under this std::mutex, and the runner takes it before
// it reads anything, which makes the hand-over visible.
// Never destroyed: MIDI threads may still post while the process exits.
std::mutex& queueMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::deque<std::function<void()>>& pendingTasks() {
    static auto* tasks = new std::deque<std::function<void()>>;
    return *tasks;
}

QEvent::Type runTaskEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

class TaskRunner;

// The runner of the current application; guarded by queueMutex().
TaskRunner* currentRunner = nullptr;

// Lives on the application's thread and runs one task per wake-up event, oldest first.
class TaskRunner : public QObject {
public:
    using QObject::QObject;

    ~TaskRunner() override {
        const std::lock_guard lock(queueMutex());
        currentRunner = nullptr;
        pendingTasks().clear();
    }

    bool event(QEvent* event) override {
        std::unique_lock lock(queueMutex());
        if (event->type() != runTaskEvent() || pendingTasks().empty()) {
            lock.unlock();
            return QObject::event(event);
        }
        std::function<void()> task = std::move(pendingTasks().front());
        pendingTasks().pop_front();
        lock.unlock();
        task();
        return true;
    }
};

// Runs on the main thread as each QCoreApplication is constructed, so the runner belongs to
// the application's thread whichever thread posts first; it goes away with the application.
void createRunner() {
    auto* runner = new TaskRunner(QCoreApplication::instance());
    const std::lock_guard lock(queueMutex());
    currentRunner = runner;
}

Q_COREAPP_STARTUP_FUNCTION(createRunner)

} // namespace

bool MainQueue::async(std::function<void()> task) {
    const std::lock_guard lock(queueMutex());
    if (currentRunner == nullptr) {
        return false;
    }
    pendingTasks().push_back(std::move(task));
    // Posted under the lock, so wake-ups reach the runner in the order of the tasks.
    postWakeUp(currentRunner, runTaskEvent());
    return true;
}

} // namespace platform
