#include "QRV_LtcReceiver.h"

#include "MainThreadPoster.h"
#include "QRV_JackError.h"
#include "QRV_LtcInput.h"
#include "ZK_MTCReceiver.h"

#include <sys/time.h>

namespace {

TCWallClock wallClockNow() {
    timeval now{};
    gettimeofday(&now, nullptr);
    return {static_cast<std::int32_t>(now.tv_sec), static_cast<std::int32_t>(now.tv_usec)};
}

} // namespace

QRV_LtcReceiver::QRV_LtcReceiver() = default;

QRV_LtcReceiver::~QRV_LtcReceiver() = default;

bool QRV_LtcReceiver::start() {
    if (_input) {
        return true;
    }
    QRV_LtcInput::Events events;
    events.frame = [this](const QRV_LtcFrame& frame, std::uint32_t rate) {
        post(frame, rate);
    };
    events.sourcesChanged = [this] {
        MainThreadPoster::shared().post(LTCSourcesChangedNotification, this);
    };
    events.systemLost = [this] {
        MainThreadPoster::shared().post(LTCSystemLostNotification, this);
    };
    try {
        _input = std::make_unique<QRV_LtcInput>(std::move(events));
    } catch (const QRV_JackError&) {
        return false;
    }
    return true;
}

void QRV_LtcReceiver::stop() {
    _input.reset();
    _lastEnd = -1;
}

bool QRV_LtcReceiver::isAvailable() const {
    return _input != nullptr && !_input->isLost();
}

std::vector<std::string> QRV_LtcReceiver::sourceNames() const {
    return isAvailable() ? _input->sourceNames() : std::vector<std::string>{};
}

void QRV_LtcReceiver::openSource(const std::string& name) {
    if (!isAvailable()) {
        throw QRV_JackError(QRV_JackError::Kind::NoServer, "the JACK server has stopped");
    }
    _input->openSource(name);
}

void QRV_LtcReceiver::closeSource() {
    if (isAvailable()) {
        _input->closeSource();
    }
}

QRV_LtcState QRV_LtcReceiver::state() const {
    return isAvailable() ? _input->state() : QRV_LtcState{};
}

// The timestamp is the time since the previous frame, from the samples between their ends,
// as the MTC path gives the time since the previous message.
void QRV_LtcReceiver::post(const QRV_LtcFrame& frame, std::uint32_t sampleRate) {
    TCData record = frame.record;
    record.timestamp =
        _lastEnd < 0 ? 0.0 : static_cast<double>(frame.endSample - _lastEnd) * 1000.0 / sampleRate;
    _lastEnd = frame.endSample;
    record.wallClock = wallClockNow();
    platform::UserInfo userInfo;
    userInfo.emplace(ZK_MTCRecordKey, platform::Value::make(record, kTCDataObjCType));
    userInfo.emplace(LTCUserBitsKey, platform::Value::make(frame.userBits, kLtcUserBitsObjCType));
    MainThreadPoster::shared().post(LTCTimeChangedNotification, this, std::move(userInfo));
}
