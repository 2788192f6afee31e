#include "QRV_MidiSystem.h"

#include "NotificationCenter.h"
#include "ZK_MTCReceiver.h"

namespace {

// A missing or lost MIDI system is looked for again this often.
constexpr std::chrono::seconds kRetryInterval{2};

} // namespace

QRV_MidiSystem::QRV_MidiSystem(ReceiverSource source, QObject* parent)
    : QObject(parent)
    , _source(std::move(source)) {
    _retryTimer.setInterval(kRetryInterval);
    connect(&_retryTimer, &QTimer::timeout, this, &QRV_MidiSystem::retry);
}

QRV_MidiSystem::~QRV_MidiSystem() {
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void QRV_MidiSystem::start() {
    _receiver = _source ? _source() : nullptr;
    if (_receiver == nullptr) {
        _retryTimer.start();
        return;
    }
    observe();
    emit arrived(_receiver);
}

bool QRV_MidiSystem::isAvailable() const {
    return _receiver != nullptr && _receiver->isMidiSystemAvailable();
}

void QRV_MidiSystem::observe() {
    auto& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(
        this, [this](const platform::Notification&) { emit sourcesChanged(); },
        MIDISourcesChangedNotification, _receiver);
    center.addObserver(
        this, [this](const platform::Notification&) { onLost(); }, MIDISystemLostNotification,
        _receiver);
}

// At once: libjack shares its view of a server among all clients of a process, and keeps the
// dead server's while any client of it is open, so a new server would be misread.
void QRV_MidiSystem::onLost() {
    _receiver->closeMidiSystem();
    _retryTimer.start();
    emit lost();
}

// With no receiver yet the source is asked again (the shared receiver tries to start the MIDI
// system on each call); a lost one reopens its own connection.
void QRV_MidiSystem::retry() {
    if (_receiver == nullptr) {
        _receiver = _source ? _source() : nullptr;
        if (_receiver != nullptr) {
            _retryTimer.stop();
            observe();
            emit arrived(_receiver);
        }
        return;
    }
    if (_receiver->restartMidiSystem()) {
        _retryTimer.stop();
        emit back();
    }
}
