#include "QRV_LtcSystem.h"

#include "NotificationCenter.h"
#include "QRV_LtcReceiver.h"

namespace {

constexpr std::chrono::seconds kRetryInterval{2};

// What the popup shows before an audio port's full name.
QString ltcPrefix() {
    return QObject::tr("LTC from ");
}

} // namespace

QRV_LtcSystem::QRV_LtcSystem(QObject* parent)
    : QObject(parent)
    , _receiver(std::make_unique<QRV_LtcReceiver>()) {
    _retryTimer.setInterval(kRetryInterval);
    connect(&_retryTimer, &QTimer::timeout, this, &QRV_LtcSystem::retry);
    auto& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(
        this, [this](const platform::Notification&) { emit sourcesChanged(); },
        LTCSourcesChangedNotification, _receiver.get());
    center.addObserver(
        this, [this](const platform::Notification&) { onLost(); }, LTCSystemLostNotification,
        _receiver.get());
}

QRV_LtcSystem::~QRV_LtcSystem() {
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void QRV_LtcSystem::start() {
    if (_receiver->start()) {
        emit arrived();
    } else {
        _retryTimer.start();
    }
}

bool QRV_LtcSystem::isAvailable() const {
    return _receiver->isAvailable();
}

const void* QRV_LtcSystem::sender() const {
    return _receiver.get();
}

bool QRV_LtcSystem::isLtcSource(const QString& name) {
    return name.startsWith(ltcPrefix());
}

QStringList QRV_LtcSystem::sourceNames() const {
    QStringList names;
    for (const std::string& port : _receiver->sourceNames()) {
        names.append(ltcPrefix() + QString::fromStdString(port));
    }
    return names;
}

void QRV_LtcSystem::open(const QString& name) {
    _receiver->openSource(name.mid(ltcPrefix().size()).toStdString());
}

void QRV_LtcSystem::close() {
    _receiver->closeSource();
}

QRV_LtcState QRV_LtcSystem::state() const {
    return _receiver->state();
}

// At once: libjack keeps a dead server's view while any client of the process is open, so
// neither this input nor the MIDI one could reach a new server.
void QRV_LtcSystem::onLost() {
    _receiver->stop();
    _wasLost = true;
    _retryTimer.start();
    emit lost();
}

void QRV_LtcSystem::retry() {
    if (!_receiver->start()) {
        return;
    }
    _retryTimer.stop();
    if (_wasLost) {
        _wasLost = false;
        emit back();
    } else {
        emit arrived();
    }
}
