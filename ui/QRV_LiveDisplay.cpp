#include "QRV_LiveDisplay.h"

#include "Log.h"
#include "NotificationCenter.h"
#include "QRV_LtcReceiver.h"
#include "QRV_LtcStatusText.h"
#include "QRV_TimecodeText.h"
#include "QRV_WidgetLook.h"
#include "TextField.h"
#include "ZK_MTCReceiver.h"
#include "ui_MainWindow.h"

#include <QAction>

namespace {

// Incoming timecode that stays away this long has stopped.
constexpr std::chrono::milliseconds kIncomingStopInterval{500};

constexpr char kNoValue[] = "--";

// What the LTC input hears is read this often while a source is connected.
constexpr std::chrono::milliseconds kLtcStatePollInterval{250};

// Display updates that may wait before the latest record replaces the newest of them.
constexpr std::size_t kMaxWaitingDisplayUpdates = 8;

// A notification without its record, or with a record of another type, is ignored.
bool recordFrom(const platform::Notification& notification, const char* key, TCData* record) {
    const platform::Value* box = notification.valueForKey(key);
    return box != nullptr && box->getValue(record, kTCDataObjCType);
}

} // namespace

QRV_LiveDisplay::QRV_LiveDisplay(Ui::MainWindow& form, QObject* parent)
    : QObject(parent)
    , _form(form) {
    // Qt timers fire during menu tracking and modal loops too, so a stop is always noticed.
    _incomingTCStoppedTimer.setSingleShot(true);
    _incomingTCStoppedTimer.setTimerType(Qt::PreciseTimer);
    _incomingTCStoppedTimer.setInterval(kIncomingStopInterval);
    connect(&_incomingTCStoppedTimer, &QTimer::timeout, this,
            &QRV_LiveDisplay::onExternalTCStopped);
    for (int operand : {1, 2}) {
        QAction* action = new QAction(tr("Capture to Operand %1").arg(operand), this);
        action->setShortcut(QKeySequence(tr("Ctrl+%1").arg(operand)));
        connect(action, &QAction::triggered, this, [this, operand] { capture(operand); });
        _captureActions.at(static_cast<std::size_t>(operand - 1)) = action;
    }
    connect(_form.captureToTCAddr1Btn, &QPushButton::clicked, this, [this] { capture(1); });
    connect(_form.captureToTCAddr2Btn, &QPushButton::clicked, this, [this] { capture(2); });
    for (platform::TextField* field : {_form.TF_IncTC_hours, _form.TF_IncTC_minutes,
                                       _form.TF_IncTC_seconds, _form.TF_IncTC_frames}) {
        field->setStringValue(QLatin1String(kNoValue));
        field->setCopyTextSource([this] { return text(); });
    }
    // Screen readers hear the status itself; its role is the description.
    _form.incomingStatus->setAccessibleName(QString());
    _form.incomingStatus->setAccessibleDescription(tr("Incoming timecode status"));
    setCaptureEnabled(false);
    _ltcStatePoll.setInterval(kLtcStatePollInterval);
    connect(&_ltcStatePoll, &QTimer::timeout, this, &QRV_LiveDisplay::pollLtcState);
    updateStatus();
}

QRV_LiveDisplay::~QRV_LiveDisplay() {
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    platform::NotificationCenter::defaultCenter().removeObserver(&_ltcState);
}

void QRV_LiveDisplay::listenToLtc(const void* receiver, std::function<QRV_LtcState()> state) {
    auto& center = platform::NotificationCenter::defaultCenter();
    center.removeObserver(&_ltcState);
    center.addObserver(
        &_ltcState, [this](const platform::Notification& n) { onLtcTimeChanged(n); },
        LTCTimeChangedNotification, receiver);
    _ltcStateSource = std::move(state);
    _ltcStatePoll.start();
}

// Each LTC frame is a whole timecode: nothing is dropped after a stop, as a quarter-frame
// cycle begun before it would be.
void QRV_LiveDisplay::onLtcTimeChanged(const platform::Notification& notification) {
    TCData record{};
    if (!recordFrom(notification, ZK_MTCRecordKey, &record)) {
        return;
    }
    std::uint32_t userBits = 0;
    const platform::Value* bits = notification.valueForKey(LTCUserBitsKey);
    if (bits != nullptr && bits->getValue(&userBits, kLtcUserBitsObjCType)) {
        setUserBits(QRV_LtcStatusText::userBits(userBits));
    }
    _state = State::Running;
    takeRecord(record, record.rateCode >= 0); // the rate is known after 40 frames
}

void QRV_LiveDisplay::pollLtcState() {
    const QRV_LtcState state = _ltcStateSource ? _ltcStateSource() : QRV_LtcState{};
    const bool wasLtc = _ltcState.signal != QRV_LtcState::Signal::NoSource;
    _ltcState = state;
    if (!wasLtc && state.signal == QRV_LtcState::Signal::NoSource) {
        return; // MTC's status stays as it is
    }
    if (state.signal == QRV_LtcState::Signal::NoSource) {
        setUserBits(QString());
    }
    updateStatus();
}

void QRV_LiveDisplay::setUserBits(const QString& toolTip) {
    for (QWidget* field : {static_cast<QWidget*>(_form.TF_IncTC_hours),
                           static_cast<QWidget*>(_form.TF_IncTC_minutes),
                           static_cast<QWidget*>(_form.TF_IncTC_seconds),
                           static_cast<QWidget*>(_form.TF_IncTC_frames)}) {
        field->setToolTip(toolTip);
    }
}

void QRV_LiveDisplay::listenTo(const void* receiver) {
    auto& center = platform::NotificationCenter::defaultCenter();
    center.removeObserver(this);
    center.addObserver(
        this, [this](const platform::Notification& n) { onExternalTCChanged(n); },
        MTCTimeChangedNotification, receiver);
    center.addObserver(
        this, [this](const platform::Notification& n) { onMMCLocateTargetMsgReceived(n); },
        MMCLocateTargetMsgRxNotification, receiver);
    center.addObserver(
        this, [this](const platform::Notification& n) { onMTCFullFrameReceived(n); },
        MTCFullFrameMsgRxNotification, receiver);
}

// The first "MTCTimeChanged" after a stop is dropped whole.
void QRV_LiveDisplay::onExternalTCChanged(const platform::Notification& notification) {
    if (_state == State::Stopped || _state == State::RunningAfterLocate) {
        _state = _state == State::Stopped ? State::StoppedIdle : State::Running;
        return;
    }
    TCData record{};
    if (recordFrom(notification, ZK_MTCRecordKey, &record)) {
        setTCValueToUserInterface(record);
    }
}

void QRV_LiveDisplay::onMMCLocateTargetMsgReceived(const platform::Notification& notification) {
    TCData record{};
    if (recordFrom(notification, ZK_MMCTargetTimeKey, &record)) {
        setTCValueToUserInterface(record);
    }
}

// A full-frame message (a jump) is shown as a locate is.
void QRV_LiveDisplay::onMTCFullFrameReceived(const platform::Notification& notification) {
    TCData record{};
    if (recordFrom(notification, ZK_MTCRecordKey, &record)) {
        setTCValueToUserInterface(record);
    }
}

void QRV_LiveDisplay::setTCValueToUserInterface(TCData record) {
    takeRecord(record, true);
}

void QRV_LiveDisplay::takeRecord(const TCData& record, bool followsRate) {
    // Queued with this as context: dropped, not run, if the room is gone by then. Each record
    // gets its own update while few wait; once the window has fallen that far behind, the
    // newest waiting one takes the latest record instead.
    if (_pendingIncoming.size() >= kMaxWaitingDisplayUpdates) {
        _pendingIncoming.back() = record;
    } else {
        _pendingIncoming.push_back(record);
        QMetaObject::invokeMethod(
            this,
            [this] {
                const TCData next = _pendingIncoming.front();
                _pendingIncoming.pop_front();
                showIncoming(next);
            },
            Qt::QueuedConnection);
    }
    if (followsRate) {
        emit followRate(record.rateCode);
    }
    if (isRunning() && _incomingTCStoppedTimer.isActive()) {
        _incomingTCStoppedTimer.stop();
    }
    _incomingTCStoppedTimer.start();
    // A locate keeps a pending drop of the next "MTCTimeChanged".
    _state = _state == State::Stopped || _state == State::RunningAfterLocate
                 ? State::RunningAfterLocate
                 : State::Running;
}

void QRV_LiveDisplay::showIncoming(const TCData& record) {
    const std::array<platform::TextField*, 4> fields{_form.TF_IncTC_hours, _form.TF_IncTC_minutes,
                                                     _form.TF_IncTC_seconds, _form.TF_IncTC_frames};
    const std::array<std::uint8_t, 4> units{record.time.hours, record.time.minutes,
                                            record.time.seconds, record.time.frames};
    for (std::size_t unit = 0; unit < fields.size(); ++unit) {
        fields[unit]->setStringValue(QString::asprintf("%02i", static_cast<int>(units[unit])));
    }
    _incomingRateCode = record.rateCode;
    // ";" before the frames while the timecode heard is 29.97 drop-frame.
    _form.colon_IncTC_3->setText(_incomingRateCode == 2 ? QStringLiteral(";")
                                                        : QStringLiteral(":"));
    setCaptureEnabled(true);
    updateStatus();
}

void QRV_LiveDisplay::onExternalTCStopped() {
    platform::Log::write("External TC Stopped");
    _state = State::Stopped;
    emit stopped();
    updateStatus();
}

bool QRV_LiveDisplay::isRunning() const {
    return _state == State::Running || _state == State::RunningAfterLocate;
}

bool QRV_LiveDisplay::isStopped() const {
    return _state == State::Stopped || _state == State::StoppedIdle;
}

QString QRV_LiveDisplay::statusText() const {
    if (_ltcState.signal != QRV_LtcState::Signal::NoSource) {
        return QRV_LtcStatusText::describe(_ltcState, isRunning());
    }
    if (_state == State::NothingYet) {
        return tr("no timecode yet");
    }
    return tr("%1 \u00B7 %2")
        .arg(QRV_TimecodeText::rateName(_incomingRateCode),
             isRunning() ? tr("running") : tr("stopped"));
}

// Stopped timecode stays readable, dimmed.
void QRV_LiveDisplay::updateStatus() {
    const QString status = statusText();
    _form.incomingStatus->setText(status);
    _form.incomingStatus->setAccessibleName(status);
    for (QWidget* widget : {static_cast<QWidget*>(_form.TF_IncTC_hours),
                            static_cast<QWidget*>(_form.TF_IncTC_minutes),
                            static_cast<QWidget*>(_form.TF_IncTC_seconds),
                            static_cast<QWidget*>(_form.TF_IncTC_frames)}) {
        QRV_WidgetLook::setDimmed(widget, isStopped());
    }
    emit changed();
}

QString QRV_LiveDisplay::text() const {
    if (_form.TF_IncTC_hours->stringValue() == QLatin1String(kNoValue)) {
        return {};
    }
    return QRV_TimecodeText::format(
        {_form.TF_IncTC_hours->intValue(), _form.TF_IncTC_minutes->intValue(),
         _form.TF_IncTC_seconds->intValue(), _form.TF_IncTC_frames->intValue()},
        _incomingRateCode == 2);
}

// Nothing while a field shows "--".
void QRV_LiveDisplay::capture(int operand) {
    for (platform::TextField* field : {_form.TF_IncTC_hours, _form.TF_IncTC_minutes,
                                       _form.TF_IncTC_seconds, _form.TF_IncTC_frames}) {
        if (field->stringValue() == QLatin1String(kNoValue)) {
            return;
        }
    }
    emit captureRequested(operand,
                          {_form.TF_IncTC_hours->intValue(), _form.TF_IncTC_minutes->intValue(),
                           _form.TF_IncTC_seconds->intValue(), _form.TF_IncTC_frames->intValue()});
}

QAction* QRV_LiveDisplay::captureAction(int operand) const {
    return _captureActions.at(static_cast<std::size_t>(operand - 1));
}

void QRV_LiveDisplay::setCaptureEnabled(bool enabled) {
    _form.captureToTCAddr1Btn->setEnabled(enabled);
    _form.captureToTCAddr2Btn->setEnabled(enabled);
    for (QAction* action : _captureActions) {
        action->setEnabled(enabled);
    }
}
