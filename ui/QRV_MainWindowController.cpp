#include "QRV_MainWindowController.h"

#include "Log.h"
#include "NotificationCenter.h"
#include "QRV_Quorvel.h"
#include "TextField.h"
#include "ZK_MTCReceiver.h"
#include "ui_MainWindow.h"

#include <QMainWindow>
#include <QStatusBar>
#include <rtmidi/RtMidi.h>

namespace {

// Rows of the rate group; row 2 is the 30 fps cell that incoming drop-frame timecode selects.
constexpr std::array<int, 3> kRateOfRow{24, 25, 30};

int rowForFrameRate(int rate) {
    const auto* it = std::find(kRateOfRow.begin(), kRateOfRow.end(), rate);
    return it == kRateOfRow.end() ? -1 : static_cast<int>(it - kRateOfRow.begin());
}

// Signed remainder: a negative value keeps its sign, as typed.
void reduce(platform::TextField* field, int modulus) {
    field->setIntValue(field->intValue() % modulus);
}

// Incoming timecode that stays away this long has stopped.
constexpr std::chrono::milliseconds kIncomingStopInterval{500};

constexpr char kNoValue[] = "--";

constexpr char kFormatterProperty[] = "formatter";
constexpr char kTwoDigitFormatterName[] = "ZK_TCInputFormatter";

} // namespace

QRV_MainWindowController::ReceiverSource QRV_MainWindowController::defaultReceiverSource() {
    return &ZK_MTCReceiver::sharedObjectInstance;
}

QRV_MainWindowController::QRV_MainWindowController(ReceiverSource receiverSource)
    : _receiverSource(std::move(receiverSource)) {
    // Qt timers fire during menu tracking and modal loops too, so a stop is always noticed.
    _incomingTCStoppedTimer.setSingleShot(true);
    _incomingTCStoppedTimer.setTimerType(Qt::PreciseTimer);
    _incomingTCStoppedTimer.setInterval(kIncomingStopInterval);
    connect(&_incomingTCStoppedTimer, &QTimer::timeout, this,
            &QRV_MainWindowController::onExternalTCStopped);
    setFrameRate(24);
    setDropFrameSelected(false);
}

QRV_MainWindowController::~QRV_MainWindowController() {
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void QRV_MainWindowController::showWindow() {
    if (!_window) {
        loadWindow();
    }
    _window->show();
    _window->raise();
    _window->activateWindow();
}

void QRV_MainWindowController::loadWindow() {
    _window = std::make_unique<QMainWindow>();
    _ui = std::make_unique<Ui::MainWindow>();
    _ui->setupUi(_window.get());
    attachFormatters();
    connectControls();
    windowDidLoad();
}

// The window description names the formatter of each field that wants one.
void QRV_MainWindowController::attachFormatters() {
    for (auto* field : _window->findChildren<platform::TextField*>()) {
        if (field->property(kFormatterProperty).toString() == kTwoDigitFormatterName) {
            field->setFormatter(&_twoDigitFormatter);
        }
    }
}

void QRV_MainWindowController::connectControls() {
    for (const Operand& operand : {operand1(), operand2()}) {
        for (platform::TextField* field : operand) {
            field->setDelegate(this);
            connect(field, &platform::TextField::returnCommitted, this,
                    &QRV_MainWindowController::onCalculateBtnClicked);
        }
    }
    connect(_ui->frameRateRadioGrp, &platform::RadioGroup::rowActivated, this,
            [this](int row) { setFrameRate(kRateOfRow.at(static_cast<std::size_t>(row))); });
    _ui->frameRateRadioGrp->selectCellAtRow(rowForFrameRate(_frameRate), 0);
    connect(_ui->signDropdownMenu, &QComboBox::currentIndexChanged, this,
            [this](int index) { setSignMinusSelected(index != 0); });
    // Every change of the box, by the user or by code, so the stored value follows it.
    connect(_ui->dropFrameCheckbox, &QCheckBox::toggled, this,
            &QRV_MainWindowController::setDropFrameSelected);
    connect(_ui->calculateBtn, &QPushButton::clicked, this,
            &QRV_MainWindowController::onCalculateBtnClicked);
    connect(_ui->swapTCAddressesBtn, &QPushButton::clicked, this,
            &QRV_MainWindowController::onSwapTCAddressesBtnClicked);
    // activated, not currentIndexChanged: picking the item already shown re-opens it.
    connect(_ui->MIDIPortDropDownMenu, &QComboBox::activated, this,
            &QRV_MainWindowController::changeMTCSourceIndex);
    connect(_ui->captureToTCAddr1Btn, &QPushButton::clicked, this,
            &QRV_MainWindowController::onCaptureToTCAddr1Clicked);
    connect(_ui->captureToTCAddr2Btn, &QPushButton::clicked, this,
            &QRV_MainWindowController::onCaptureToTCAddr2Clicked);
}

void QRV_MainWindowController::windowDidLoad() {
    for (const Operand& fields : {operand1(), operand2(), result()}) {
        for (platform::TextField* field : fields) {
            field->setIntValue(0);
        }
    }
    for (platform::TextField* field : {_ui->TF_IncTC_hours, _ui->TF_IncTC_minutes,
                                       _ui->TF_IncTC_seconds, _ui->TF_IncTC_frames}) {
        field->setStringValue(QLatin1String(kNoValue));
    }
    _ui->TF_TCResultSign->setStringValue(QString());
    _ui->dropFrameCheckbox->setEnabled(false);

    _tcReceiver = _receiverSource ? _receiverSource() : nullptr;
    rebuildMIDISourceMenu();
    reportMIDIState();
    registerForTimecodeNotifications();
}

void QRV_MainWindowController::rebuildMIDISourceMenu() {
    QComboBox* menu = _ui->MIDIPortDropDownMenu;
    menu->clear();
    // The count is asked again before every item.
    for (std::size_t i = 0; _tcReceiver != nullptr && i < _tcReceiver->midiPortNames().size();
         ++i) {
        menu->addItem(QString::fromStdString(_tcReceiver->midiPortNames()[i]), static_cast<int>(i));
    }
    // No source is chosen, and none opened, until the user picks one.
    menu->setCurrentIndex(-1);
    menu->setEnabled(menu->count() > 0);
    menu->setPlaceholderText(menu->count() > 0 ? tr("Choose a MIDI source") : tr("No MIDI source"));
}

void QRV_MainWindowController::reportMIDIState() {
    if (_tcReceiver == nullptr) {
        _ui->statusbar->showMessage(
            tr("MIDI input is unavailable: the MIDI system could not be started."));
    } else if (_ui->MIDIPortDropDownMenu->count() == 0) {
        _ui->statusbar->showMessage(tr("No MIDI source was found."));
    } else {
        _ui->statusbar->clearMessage();
    }
}

// Without a receiver both registrations take notifications from any sender.
void QRV_MainWindowController::registerForTimecodeNotifications() {
    auto& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(
        this, [this](const platform::Notification& n) { onExternalTCChanged(n); },
        MTCTimeChangedNotification, _tcReceiver);
    center.addObserver(
        this, [this](const platform::Notification& n) { onMMCLocateTargetMsgReceived(n); },
        MMCLocateTargetMsgRxNotification, _tcReceiver);
}

void QRV_MainWindowController::setFrameRate(int rate) {
    if (_ui) {
        _ui->dropFrameCheckbox->setChecked(false);
        _ui->dropFrameCheckbox->setEnabled(rate == 30);
    }
    _frameRate = rate;
    if (_ui) {
        reduce(_ui->TF_TCAddr1_frames, rate);
        reduce(_ui->TF_TCAddr2_frames, rate);
        _ui->frameRateRadioGrp->selectCellAtRow(rowForFrameRate(rate), 0);
    }
}

void QRV_MainWindowController::setSignMinusSelected(bool minus) {
    if (minus == _signMinusSelected) {
        return;
    }
    _signMinusSelected = minus;
    if (_ui) {
        _ui->negResultsCheckbox->setChecked(false);
        _ui->negResultsCheckbox->setEnabled(minus);
        // Keep the popup showing the operation when code changes it.
        if ((_ui->signDropdownMenu->currentIndex() != 0) != minus) {
            _ui->signDropdownMenu->setCurrentIndex(minus ? 1 : 0);
        }
    }
}

void QRV_MainWindowController::setDropFrameSelected(bool dropFrame) {
    _dropFrameSelected = dropFrame;
    validateTextFieldValues();
}

bool QRV_MainWindowController::controlTextShouldEndEditing(platform::TextField* control) {
    if (!_ui) {
        return false;
    }
    for (const Operand& operand : {operand1(), operand2()}) {
        const std::array<int, 4> modulus{24, 60, 60, _frameRate};
        for (std::size_t unit = 0; unit < operand.size(); ++unit) {
            if (operand[unit] == control) {
                reduce(control, modulus[unit]);
                validateTextFieldValues();
                return true;
            }
        }
    }
    return false;
}

void QRV_MainWindowController::validateTextFieldValues() {
    if (!_ui) {
        return;
    }
    const Operand a = operand1();
    const Operand b = operand2();
    reduce(a[0], 24);
    reduce(b[0], 24);
    reduce(a[1], 60);
    reduce(a[2], 60);
    reduce(b[1], 60);
    reduce(b[2], 60);
    reduce(a[3], _frameRate);
    reduce(b[3], _frameRate);
    if (!_dropFrameSelected) {
        return;
    }
    correctSkippedDropFrameAddress(a);
    correctSkippedDropFrameAddress(b);
}

// Drop-frame counting skips frames 0 and 1 at the start of every minute but each tenth.
void QRV_MainWindowController::correctSkippedDropFrameAddress(const Operand& operand) {
    const int totalMinutes = operand[0]->intValue() * 60 + operand[1]->intValue();
    const int frames = operand[3]->intValue();
    if (operand[2]->intValue() == 0 && (frames == 0 || frames == 1) && totalMinutes % 10 != 0) {
        operand[3]->setIntValue(2);
    }
}

void QRV_MainWindowController::onCalculateBtnClicked() {
    if (!_ui) {
        return;
    }
    _ui->TF_TCResultSign->setStringValue(QString());
    validateTextFieldValues();
    const TCData a = operandRecord(operand1());
    const TCData b = operandRecord(operand2());
    const TimeCodeDef def = calculationDef();

    TCData sum{};
    if (_ui->signDropdownMenu->currentIndex() == 0) {
        sum = Quorvel::addTimecodeData(a, b, def);
    } else if (_ui->negResultsCheckbox->isChecked()) {
        std::uint8_t resultNeg = 0;
        sum = Quorvel::subtractTimecodeData(b, a, def, &resultNeg);
        if (resultNeg != 0) {
            _ui->TF_TCResultSign->setStringValue(QStringLiteral("-"));
        }
    } else {
        sum = Quorvel::subtractTimecodeData(b, a, def, nullptr);
    }
    const Operand shown = result();
    shown[0]->setIntValue(sum.time.hours);
    shown[1]->setIntValue(sum.time.minutes);
    shown[2]->setIntValue(sum.time.seconds);
    shown[3]->setIntValue(sum.time.frames);
}

void QRV_MainWindowController::onSwapTCAddressesBtnClicked() {
    if (!_ui) {
        return;
    }
    validateTextFieldValues();
    const Operand a = operand1();
    const Operand b = operand2();
    std::array<int, 4> kept{};
    for (std::size_t unit = 0; unit < a.size(); ++unit) {
        kept[unit] = a[unit]->intValue();
    }
    for (std::size_t unit = 0; unit < a.size(); ++unit) {
        a[unit]->setIntValue(b[unit]->intValue());
    }
    for (std::size_t unit = 0; unit < b.size(); ++unit) {
        b[unit]->setIntValue(kept[unit]);
    }
}

QRV_MainWindowController::Operand QRV_MainWindowController::operand1() const {
    return {_ui->TF_TCAddr1_hours, _ui->TF_TCAddr1_minutes, _ui->TF_TCAddr1_seconds,
            _ui->TF_TCAddr1_frames};
}

QRV_MainWindowController::Operand QRV_MainWindowController::operand2() const {
    return {_ui->TF_TCAddr2_hours, _ui->TF_TCAddr2_minutes, _ui->TF_TCAddr2_seconds,
            _ui->TF_TCAddr2_frames};
}

QRV_MainWindowController::Operand QRV_MainWindowController::result() const {
    return {_ui->TF_TCResult_hours, _ui->TF_TCResult_minutes, _ui->TF_TCResult_seconds,
            _ui->TF_TCResult_frames};
}

// Each field is taken to its low 8 bits; the arithmetic takes the rate from the definition.
TCData QRV_MainWindowController::operandRecord(const Operand& operand) const {
    TCData record{};
    record.time.hours = static_cast<std::uint8_t>(operand[0]->intValue());
    record.time.minutes = static_cast<std::uint8_t>(operand[1]->intValue());
    record.time.seconds = static_cast<std::uint8_t>(operand[2]->intValue());
    record.time.frames = static_cast<std::uint8_t>(operand[3]->intValue());
    record.dropFrame = _ui->dropFrameCheckbox->isChecked() ? 1 : 0;
    return record;
}

// Drop-frame comes from the box itself: incoming 29.97 timecode ticks it at any stored rate.
TimeCodeDef QRV_MainWindowController::calculationDef() const {
    TimeCodeDef def{};
    def.flags = _ui->dropFrameCheckbox->isChecked() ? kTimeCodeDropFrameFlag : 0;
    def.fTimeScale = _frameRate;
    def.frameDuration = 1;
    def.numFrames = static_cast<std::uint8_t>(_frameRate);
    return def;
}

QRV_MainWindowController::Operand QRV_MainWindowController::incoming() const {
    return {_ui->TF_IncTC_hours, _ui->TF_IncTC_minutes, _ui->TF_IncTC_seconds,
            _ui->TF_IncTC_frames};
}

namespace {

// A notification without its record, or with a record of another type, is ignored.
bool recordFrom(const platform::Notification& notification, const char* key, TCData* record) {
    const platform::Value* box = notification.valueForKey(key);
    return box != nullptr && box->getValue(record, kTCDataObjCType);
}

} // namespace

void QRV_MainWindowController::onExternalTCChanged(const platform::Notification& notification) {
    if (_firstIncTC) {
        _firstIncTC = false;
        return;
    }
    TCData record{};
    if (recordFrom(notification, ZK_MTCRecordKey, &record)) {
        setTCValueToUserInterface(record);
    }
}

void QRV_MainWindowController::onMMCLocateTargetMsgReceived(
    const platform::Notification& notification) {
    TCData record{};
    if (recordFrom(notification, ZK_MMCTargetTimeKey, &record)) {
        setTCValueToUserInterface(record);
    }
}

void QRV_MainWindowController::setTCValueToUserInterface(TCData record) {
    if (!_ui) {
        return;
    }
    // Queued with this as context: dropped, not run, if the controller is gone by then.
    QMetaObject::invokeMethod(
        this, [this, record] { showIncoming(record); }, Qt::QueuedConnection);
    followIncomingRate(record.rateCode);
    _ui->frameRateRadioGrp->setEnabled(false);
    if (_counterRunning && _incomingTCStoppedTimer.isActive()) {
        _incomingTCStoppedTimer.stop();
    }
    _incomingTCStoppedTimer.start();
    _counterRunning = true;
}

void QRV_MainWindowController::showIncoming(const TCData& record) {
    const Operand fields = incoming();
    const std::array<std::uint8_t, 4> units{record.time.hours, record.time.minutes,
                                            record.time.seconds, record.time.frames};
    for (std::size_t unit = 0; unit < fields.size(); ++unit) {
        fields[unit]->setStringValue(QString::asprintf("%02i", static_cast<int>(units[unit])));
    }
}

// 24, 25 and 30 are followed as they are. 29.97 drop-frame, and any code that names no
// rate, stand at 30 with the box ticked, so Calculate counts drop-frame on a 30 grid.
void QRV_MainWindowController::followIncomingRate(std::int32_t rateCode) {
    switch (rateCode) {
    case 0:
        setFrameRate(24);
        break;
    case 1:
        setFrameRate(25);
        break;
    default:
        setFrameRate(30);
        break;
    }
    const bool dropFrame = rateCode != 0 && rateCode != 1 && rateCode != 3;
    _ui->dropFrameCheckbox->setEnabled(false);
    _ui->dropFrameCheckbox->setChecked(dropFrame);
}

void QRV_MainWindowController::onExternalTCStopped() {
    platform::Log::write("External TC Stopped");
    _ui->frameRateRadioGrp->setEnabled(true);
    if (_ui->frameRateRadioGrp->selectedRow() == 2) {
        setFrameRate(30);
    }
    _firstIncTC = true;
    _counterRunning = false;
}

void QRV_MainWindowController::changeMTCSourceIndex() {
    if (!_ui || _tcReceiver == nullptr) {
        return;
    }
    QComboBox* menu = _ui->MIDIPortDropDownMenu;
    const int index = menu->currentIndex();
    try {
        _tcReceiver->openMidiConnectionWithPort(index);
        _ui->statusbar->showMessage(tr("Listening to %1.").arg(menu->currentText()));
    } catch (const RtMidiError& error) {
        _ui->statusbar->showMessage(
            tr("Could not open the MIDI source \u201c%1\u201d: %2")
                .arg(menu->currentText(), QString::fromStdString(error.getMessage())));
    }
}

void QRV_MainWindowController::onCaptureToTCAddr1Clicked() {
    captureIncomingInto(operand1());
}

void QRV_MainWindowController::onCaptureToTCAddr2Clicked() {
    captureIncomingInto(operand2());
}

void QRV_MainWindowController::captureIncomingInto(const Operand& target) {
    if (!_ui) {
        return;
    }
    const Operand source = incoming();
    for (platform::TextField* field : source) {
        if (field->stringValue() == QLatin1String(kNoValue)) {
            return;
        }
    }
    for (std::size_t unit = 0; unit < target.size(); ++unit) {
        target[unit]->setIntValue(source[unit]->intValue());
    }
}
