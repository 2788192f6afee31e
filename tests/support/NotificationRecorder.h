#pragma once

// Records the MIDI side's notifications as the main thread receives them, and runs the main
// thread's event loop (bounded) until they have arrived.
//
// Threading: create, read and wait on the main thread (the QCoreApplication's).

#include "QRV_Quorvel.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvel_test {

struct ReceivedNotification {
    std::string name;
    const void* sender = nullptr;
    std::vector<std::string> keys;
    std::string objCType;         // of the box under the name's key, if any
    std::optional<TCData> record; // the unboxed record, if any
    bool onMainThread = false;
};

class NotificationRecorder {
public:
    // Observes "MTCTimeChanged", "MMCLocateTargetMsgRx", "MMCStartMsgRx" and "MMCStopMsgRx";
    // with a sender, only those that it posts.
    explicit NotificationRecorder(const void* sender = nullptr);
    ~NotificationRecorder();
    NotificationRecorder(const NotificationRecorder&) = delete;
    NotificationRecorder& operator=(const NotificationRecorder&) = delete;

    const std::vector<ReceivedNotification>& received() const { return received_; }
    std::vector<std::string> names() const;
    std::vector<TCData> records(const std::string& name) const;

    // Runs events until every main-queue task submitted before this call has run.
    bool drainMainQueue(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Runs events until done() holds or timeout passes; returns done().
    static bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

private:
    std::vector<ReceivedNotification> received_;
};

} // namespace quorvel_test
