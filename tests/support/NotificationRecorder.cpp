#include "NotificationRecorder.h"

#include "MainQueue.h"
#include "NotificationCenter.h"
#include "ZK_MTCReceiver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>
#include <memory>

namespace quorvel_test {

namespace {

const char* keyFor(const std::string& name) {
    if (name == MTCTimeChangedNotification || name == MTCFullFrameMsgRxNotification) {
        return ZK_MTCRecordKey;
    }
    if (name == MMCLocateTargetMsgRxNotification) {
        return ZK_MMCTargetTimeKey;
    }
    return nullptr;
}

ReceivedNotification describe(const platform::Notification& notification) {
    ReceivedNotification received;
    received.name = notification.name;
    received.sender = notification.object;
    received.onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    for (const auto& [key, value] : notification.userInfo) {
        received.keys.push_back(key);
    }
    const char* key = keyFor(notification.name);
    if (const platform::Value* box = key ? notification.valueForKey(key) : nullptr) {
        received.objCType = box->objCType();
        TCData record{};
        if (box->getValue(&record, kTCDataObjCType)) {
            received.record = record;
        }
    }
    return received;
}

} // namespace

NotificationRecorder::NotificationRecorder(const void* sender) {
    auto& center = platform::NotificationCenter::defaultCenter();
    for (const char* name :
         {MTCTimeChangedNotification, MMCLocateTargetMsgRxNotification, MMCStartMsgRxNotification,
          MMCStopMsgRxNotification, MTCFullFrameMsgRxNotification}) {
        center.addObserver(
            this, [this](const platform::Notification& n) { received_.push_back(describe(n)); },
            name, sender);
    }
}

NotificationRecorder::~NotificationRecorder() {
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

std::vector<std::string> NotificationRecorder::names() const {
    std::vector<std::string> names;
    for (const ReceivedNotification& n : received_) {
        names.push_back(n.name);
    }
    return names;
}

std::vector<TCData> NotificationRecorder::records(const std::string& name) const {
    std::vector<TCData> records;
    for (const ReceivedNotification& n : received_) {
        if (n.name == name && n.record) {
            records.push_back(*n.record);
        }
    }
    return records;
}

bool NotificationRecorder::drainMainQueue(std::chrono::milliseconds timeout) {
    auto ran = std::make_shared<bool>(false);
    if (!platform::MainQueue::async([ran] { *ran = true; })) {
        return false;
    }
    return waitUntil([ran] { return *ran; }, timeout);
}

bool NotificationRecorder::waitUntil(const std::function<bool()>& done,
                                     std::chrono::milliseconds timeout) {
    // The ticking timer bounds every wait for more events.
    QTimer tick;
    tick.start(10);
    const QDeadlineTimer deadline(timeout);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return done();
}

} // namespace quorvel_test
