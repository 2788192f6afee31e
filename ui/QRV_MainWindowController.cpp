#include "QRV_MainWindowController.h"

#include "Log.h"
#include "NotificationCenter.h"
#include "QRV_MenuBar.h"
#include "QRV_Quorvel.h"
#include "QRV_TimecodeText.h"
#include "TextField.h"
#include "ZK_MTCReceiver.h"
#include "ui_MainWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <rtmidi/RtMidi.h>

namespace {

// Rows of the rate group; row 2 is the 30 fps cell that incoming drop-frame timecode selects,
// and incoming timecode only ever selects rows 0 to 2.
constexpr std::array<int, 6> kRateOfRow{24, 25, 30, 48, 50, 60};

bool hasDropFrame(int rate) {
    return rate == 30 || rate == 60;
}

// The rates that also run 1000/1001 slower: 23.976, 29.97, 47.952 and 59.94.
bool hasNTSCVariant(int rate) {
    return rate == 24 || rate == 30 || rate == 48 || rate == 60;
}

// Labels that drop-frame numbering skips at the start of each minute but every tenth.
int skippedLabels(int rate) {
    return rate / 15;
}

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

// Display updates that may wait before the latest record replaces the newest of them.
constexpr std::size_t kMaxWaitingDisplayUpdates = 8;

// A failed MIDI system is looked for again this often.
constexpr std::chrono::seconds kMIDIRetryInterval{2};

// Each source item keeps its source's name; its position may change as sources come and go.
constexpr int kSourceNameRole = Qt::UserRole + 1;

// The MIDI library prefixes its messages with its own class and function ("Api::call: ...");
// users read the rest.
QString userText(const RtMidiError& error) {
    static const QRegularExpression kLibraryPrefix(QStringLiteral("^\\w+::\\w+: *"));
    return QString::fromStdString(error.getMessage()).remove(kLibraryPrefix);
}

constexpr char kFormatterProperty[] = "formatter";
constexpr char kTwoDigitFormatterName[] = "ZK_TCInputFormatter";

// Shown in the disabled text colour, and so marked for assistive technology and tests.
void setDimmed(QWidget* widget, bool dimmed) {
    widget->setProperty("dimmed", dimmed);
    QPalette palette; // nothing resolved: the widget inherits its parent's colours again
    if (dimmed) {
        palette.setColor(QPalette::Text,
                         QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text));
        palette.setColor(QPalette::WindowText, QGuiApplication::palette().color(
                                                   QPalette::Disabled, QPalette::WindowText));
    }
    widget->setPalette(palette);
}

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
    _midiRetryTimer.setInterval(kMIDIRetryInterval);
    connect(&_midiRetryTimer, &QTimer::timeout, this, &QRV_MainWindowController::retryMIDISystem);
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
    _captureActions = QRV_MenuBar::install(*_window, *this);
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
            field->setSelectsAllOnClick(true);
            connect(field, &platform::TextField::returnCommitted, this,
                    &QRV_MainWindowController::onCalculateBtnClicked);
            connect(field, &QLineEdit::textChanged, this,
                    &QRV_MainWindowController::markResultStale);
        }
    }
    attachCopyTexts();
    connect(_ui->negResultsCheckbox, &QCheckBox::toggled, this,
            &QRV_MainWindowController::markResultStale);
    connect(_ui->copyResultBtn, &QToolButton::clicked, this,
            &QRV_MainWindowController::onCopyResultClicked);
    connect(_ui->frameRateRadioGrp, &platform::RadioGroup::rowActivated, this,
            [this](int row) { setFrameRate(kRateOfRow.at(static_cast<std::size_t>(row))); });
    _ui->frameRateRadioGrp->selectCellAtRow(rowForFrameRate(_frameRate), 0);
    connect(_ui->signDropdownMenu, &QComboBox::currentIndexChanged, this,
            [this](int index) { setSignMinusSelected(index != 0); });
    // Every change of the box, by the user or by code, so the stored value follows it.
    connect(_ui->dropFrameCheckbox, &QCheckBox::toggled, this,
            &QRV_MainWindowController::setDropFrameSelected);
    connect(_ui->ntscCheckbox, &QCheckBox::toggled, this,
            &QRV_MainWindowController::setNTSCSelected);
    connect(_ui->calculateBtn, &QPushButton::clicked, this,
            &QRV_MainWindowController::onCalculateBtnClicked);
    connect(_ui->swapTCAddressesBtn, &QPushButton::clicked, this,
            &QRV_MainWindowController::onSwapTCAddressesBtnClicked);
    // activated, not currentIndexChanged: picking the item already shown re-opens it.
    connect(_ui->MIDIPortDropDownMenu, &QComboBox::activated, this,
            &QRV_MainWindowController::changeMTCSourceIndex);
    connect(_ui->MIDIPortDropDownMenu, &platform::PopUpButton::menuWillOpen, this,
            &QRV_MainWindowController::refreshMIDISources);
    // Queued: the item the user clicked is handled before the menu changes under it.
    connect(_ui->MIDIPortDropDownMenu, &platform::PopUpButton::menuDidClose, this,
            &QRV_MainWindowController::rebuildMIDISourceMenu, Qt::QueuedConnection);
    connect(_ui->captureToTCAddr1Btn, &QPushButton::clicked, this,
            &QRV_MainWindowController::onCaptureToTCAddr1Clicked);
    connect(_ui->captureToTCAddr2Btn, &QPushButton::clicked, this,
            &QRV_MainWindowController::onCaptureToTCAddr2Clicked);
}

// Copy in a result field gives the whole result; in an operand field with nothing selected,
// that operand; in an incoming field, the incoming value.
void QRV_MainWindowController::attachCopyTexts() {
    for (platform::TextField* field : result()) {
        field->setCopyTextSource([this] { return resultText(); });
    }
    _ui->TF_TCResultSign->setCopyTextSource([this] { return resultText(); });
    for (platform::TextField* field : incoming()) {
        field->setCopyTextSource([this] { return incomingText(); });
    }
    for (int operand : {1, 2}) {
        for (platform::TextField* field : operandAt(operand)) {
            field->setCopyTextSource([this, field, operand] {
                return field->hasSelectedText() ? QString() : operandText(operand);
            });
        }
    }
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
    updateNTSCBox();
    setCaptureEnabled(false);
    updateIncomingStatus();
    updateSeparators();

    _tcReceiver = _receiverSource ? _receiverSource() : nullptr;
    rebuildMIDISourceMenu();
    reportMIDIState();
    registerForTimecodeNotifications();
    registerForMIDISystemNotifications();
}

// Items are the receiver's sources, tagged with their position and keeping their name; a
// chosen source that is not there now stays in the menu, marked, so the choice stays visible.
// An open menu is left as the user sees it, and brought up to date when it closes; otherwise
// the items are only rewritten when they change.
void QRV_MainWindowController::rebuildMIDISourceMenu() {
    if (_ui->MIDIPortDropDownMenu->isMenuOpen()) {
        return;
    }
    QList<std::pair<QString, QString>> items; // title, source name
    if (_tcReceiver != nullptr) {
        for (const std::string& name : _tcReceiver->midiPortNames()) {
            items.append({QString::fromStdString(name), QString::fromStdString(name)});
        }
    }
    if (!_chosenSource.isEmpty() && !chosenSourceIsListed()) {
        items.append({tr("%1 (disconnected)").arg(_chosenSource), _chosenSource});
    }
    QComboBox* menu = _ui->MIDIPortDropDownMenu;
    bool same = menu->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i) {
        same = menu->itemText(i) == items[i].first &&
               menu->itemData(i, kSourceNameRole).toString() == items[i].second;
    }
    if (!same) {
        const QSignalBlocker quiet(menu);
        menu->clear();
        for (int i = 0; i < items.size(); ++i) {
            menu->addItem(items[i].first, i);
            menu->setItemData(i, items[i].second, kSourceNameRole);
        }
    }
    // No source is chosen, and none opened, until the user picks one.
    const int chosen =
        _chosenSource.isEmpty() ? -1 : menu->findData(_chosenSource, kSourceNameRole);
    if (menu->currentIndex() != chosen) {
        const QSignalBlocker quiet(menu);
        menu->setCurrentIndex(chosen);
    }
    // Open while there is a MIDI system: opening the menu looks for sources again.
    menu->setEnabled(_tcReceiver != nullptr);
    menu->setPlaceholderText(menu->count() > 0 ? tr("Choose a MIDI source") : tr("No MIDI source"));
}

void QRV_MainWindowController::refreshMIDISources() {
    if (_tcReceiver != nullptr && _tcReceiver->isMidiSystemAvailable()) {
        _tcReceiver->refreshMidiPortNames();
    }
    rebuildMIDISourceMenu();
}

bool QRV_MainWindowController::chosenSourceIsListed() const {
    if (_tcReceiver == nullptr) {
        return false;
    }
    const auto& names = _tcReceiver->midiPortNames();
    return std::ranges::find(names, _chosenSource.toStdString()) != names.end();
}

void QRV_MainWindowController::showStatus(const QString& message) {
    _ui->statusbar->showMessage(message);
}

void QRV_MainWindowController::reportMIDIState() {
    if (_tcReceiver == nullptr) {
        _ui->statusbar->showMessage(
            tr("MIDI input is unavailable: the MIDI system could not be started."));
    } else if (_ui->MIDIPortDropDownMenu->count() == 0) {
        _ui->statusbar->showMessage(noSourceMessage());
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
    center.addObserver(
        this, [this](const platform::Notification& n) { onMTCFullFrameReceived(n); },
        MTCFullFrameMsgRxNotification, _tcReceiver);
}

void QRV_MainWindowController::registerForMIDISystemNotifications() {
    if (_tcReceiver == nullptr) {
        return; // no MIDI system to come or go
    }
    auto& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(
        this, [this](const platform::Notification&) { onMIDISourcesChanged(); },
        MIDISourcesChangedNotification, _tcReceiver);
    center.addObserver(
        this, [this](const platform::Notification&) { onMIDISystemLost(); },
        MIDISystemLostNotification, _tcReceiver);
}

void QRV_MainWindowController::setFrameRate(int rate) {
    if (_ui) {
        _ui->dropFrameCheckbox->setChecked(false);
        _ui->dropFrameCheckbox->setEnabled(hasDropFrame(rate));
        _ui->dropFrameCheckbox->setText(rate == 60 ? tr("&Drop frame (59.94)")
                                                   : tr("&Drop frame (29.97)"));
    }
    _frameRate = rate;
    if (_ui) {
        updateNTSCBox();
        reduce(_ui->TF_TCAddr1_frames, rate);
        reduce(_ui->TF_TCAddr2_frames, rate);
        _ui->frameRateRadioGrp->selectCellAtRow(rowForFrameRate(rate), 0);
        markResultStale();
    }
}

void QRV_MainWindowController::setSignMinusSelected(bool minus) {
    if (minus == _signMinusSelected) {
        return;
    }
    _signMinusSelected = minus;
    if (_ui) {
        markResultStale();
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
    if (_ui) {
        updateSeparators();
        updateNTSCBox();
        markResultStale();
    }
}

void QRV_MainWindowController::setNTSCSelected(bool ntsc) {
    _ntscSelected = ntsc;
    if (_ui) {
        markResultStale();
    }
}

bool QRV_MainWindowController::isNTSCRate() const {
    return _ui && _ui->ntscCheckbox->isChecked();
}

// Ticked and fixed while drop-frame is ticked (drop-frame is an NTSC rate); otherwise the
// user's choice, where the rate has an NTSC variant.
void QRV_MainWindowController::updateNTSCBox() {
    QCheckBox* box = _ui->ntscCheckbox;
    const bool dropFrame = _ui->dropFrameCheckbox->isChecked();
    const bool allowed = hasNTSCVariant(_frameRate);
    const QSignalBlocker quiet(box); // shows the state; only the user's clicks choose it
    box->setChecked(dropFrame || (allowed && _ntscSelected));
    box->setEnabled(allowed && !dropFrame);
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

// Drop-frame counting skips frames 0 and 1 (at 60, 0 to 3) at the start of every minute but
// each tenth; such an address moves to the first label its minute has.
void QRV_MainWindowController::correctSkippedDropFrameAddress(const Operand& operand) {
    const int totalMinutes = operand[0]->intValue() * 60 + operand[1]->intValue();
    const int frames = operand[3]->intValue();
    const int skipped = skippedLabels(_frameRate);
    if (operand[2]->intValue() == 0 && frames >= 0 && frames < skipped && totalMinutes % 10 != 0) {
        operand[3]->setIntValue(skipped);
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
    std::uint8_t resultNeg = 0;
    if (_ui->signDropdownMenu->currentIndex() == 0) {
        sum = Quorvel::addTimecodeData(a, b, def);
    } else if (_ui->negResultsCheckbox->isChecked()) {
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
    showResultReadout(sum, resultNeg != 0);
    setResultCurrent(true);
}

// The result's frame count and real length: 29.97 drop-frame runs at 30000/1001 frames a
// second, so its hour of labels lasts 3 599.996 s.
void QRV_MainWindowController::showResultReadout(const TCData& shown, bool negative) {
    const bool dropFrame = _ui->dropFrameCheckbox->isChecked();
    const std::int32_t frames =
        dropFrame ? Quorvel::dropFrameCount(shown.time, static_cast<std::uint8_t>(_frameRate))
                  : Quorvel::frameCount(shown.time, static_cast<std::uint8_t>(_frameRate));
    _ui->resultReadout->setText(
        QRV_TimecodeText::readout(frames, _frameRate, dropFrame || isNTSCRate(), negative));
    const QString description = tr("Result %1").arg(resultText());
    for (QWidget* widget : resultRow()) {
        widget->setAccessibleDescription(description);
    }
}

void QRV_MainWindowController::markResultStale() {
    if (_resultCurrent) {
        setResultCurrent(false);
    }
}

// A result whose operands, rate, drop-frame, operation or sign option changed since it was
// calculated is dimmed until the next Calculate.
void QRV_MainWindowController::setResultCurrent(bool current) {
    _resultCurrent = current;
    for (QWidget* widget : resultRow()) {
        setDimmed(widget, !current);
    }
}

QList<QWidget*> QRV_MainWindowController::resultRow() const {
    return {_ui->TF_TCResultSign,     _ui->TF_TCResult_hours,  _ui->colon_TCResult_1,
            _ui->TF_TCResult_minutes, _ui->colon_TCResult_2,   _ui->TF_TCResult_seconds,
            _ui->colon_TCResult_3,    _ui->TF_TCResult_frames, _ui->resultReadout};
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

void QRV_MainWindowController::onMTCFullFrameReceived(const platform::Notification& notification) {
    TCData record{};
    if (recordFrom(notification, ZK_MTCRecordKey, &record)) {
        setTCValueToUserInterface(record);
    }
}

void QRV_MainWindowController::setTCValueToUserInterface(TCData record) {
    if (!_ui) {
        return;
    }
    // Queued with this as context: dropped, not run, if the controller is gone by then. Each
    // record gets its own update while few wait; once the window has fallen that far behind,
    // the newest waiting one takes the latest record instead.
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
    _incomingRateCode = record.rateCode;
    _incomingState = IncomingState::Running;
    updateIncomingStatus();
    updateSeparators();
    setCaptureEnabled(true);
}

// "no timecode yet" until the first record; then the rate heard and whether it still runs.
// Stopped timecode stays readable, dimmed.
void QRV_MainWindowController::updateIncomingStatus() {
    QString text = tr("no timecode yet");
    if (_incomingState != IncomingState::None) {
        text = tr("%1 \u00B7 %2")
                   .arg(QRV_TimecodeText::rateName(_incomingRateCode),
                        _incomingState == IncomingState::Running ? tr("running") : tr("stopped"));
    }
    _ui->incomingStatus->setText(text);
    const bool stopped = _incomingState == IncomingState::Stopped;
    for (platform::TextField* field : incoming()) {
        setDimmed(field, stopped);
    }
}

// ";" before the frames marks drop-frame: in the calculator while the box is ticked, in the
// incoming row while the timecode heard is 29.97 drop-frame.
void QRV_MainWindowController::updateSeparators() {
    const QString calculator =
        _ui->dropFrameCheckbox->isChecked() ? QStringLiteral(";") : QStringLiteral(":");
    for (QLabel* label : {_ui->colon_TCAddr1_3, _ui->colon_TCAddr2_3, _ui->colon_TCResult_3}) {
        label->setText(calculator);
    }
    _ui->colon_IncTC_3->setText(_incomingRateCode == 2 ? QStringLiteral(";") : QStringLiteral(":"));
}

void QRV_MainWindowController::setCaptureEnabled(bool enabled) {
    _ui->captureToTCAddr1Btn->setEnabled(enabled);
    _ui->captureToTCAddr2Btn->setEnabled(enabled);
    for (QAction* action : _captureActions) {
        action->setEnabled(enabled);
    }
}

// 24, 25 and 30 are followed as they are. 29.97 drop-frame, and any code that names no
// rate, stand at 30 with the box ticked, so Calculate counts drop-frame on a 30 grid.
// The controls change only when the stream's rate differs from what they show: each change
// rewrites the operand fields, which would take the text from under the user's typing.
void QRV_MainWindowController::followIncomingRate(std::int32_t rateCode) {
    const int rate = rateCode == 0 ? 24 : rateCode == 1 ? 25 : 30;
    const bool dropFrame = rateCode != 0 && rateCode != 1 && rateCode != 3;
    if (_frameRate != rate || _ui->frameRateRadioGrp->selectedRow() != rowForFrameRate(rate)) {
        setFrameRate(rate);
    }
    _ui->dropFrameCheckbox->setEnabled(false);
    if (_ui->dropFrameCheckbox->isChecked() != dropFrame) {
        _ui->dropFrameCheckbox->setChecked(dropFrame);
    }
}

void QRV_MainWindowController::onExternalTCStopped() {
    platform::Log::write("External TC Stopped");
    _ui->frameRateRadioGrp->setEnabled(true);
    if (_ui->frameRateRadioGrp->selectedRow() == 2) {
        // After a drop-frame stream the calculator stays at 29.97 drop-frame, so captured
        // values are counted as they were shown; the box is free again.
        if (_ui->dropFrameCheckbox->isChecked()) {
            _ui->dropFrameCheckbox->setEnabled(true);
        } else {
            setFrameRate(30);
        }
    }
    _firstIncTC = true;
    _counterRunning = false;
    _incomingState = IncomingState::Stopped;
    updateIncomingStatus();
}

void QRV_MainWindowController::changeMTCSourceIndex() {
    if (!_ui || _tcReceiver == nullptr) {
        return;
    }
    QComboBox* menu = _ui->MIDIPortDropDownMenu;
    _chosenSource = menu->itemData(menu->currentIndex(), kSourceNameRole).toString();
    if (!_tcReceiver->isMidiSystemAvailable()) {
        _chosenSourceGone = true;
        showStatus(
            tr("\u201c%1\u201d will be heard once the JACK server is back.").arg(_chosenSource));
        return;
    }
    if (openChosenSource()) {
        showStatus(tr("Listening to \u201c%1\u201d.").arg(_chosenSource));
    }
}

bool QRV_MainWindowController::chooseSourceNamed(const QString& prefix) {
    if (!_ui) {
        return false;
    }
    refreshMIDISources();
    QComboBox* menu = _ui->MIDIPortDropDownMenu;
    for (int i = 0; i < menu->count(); ++i) {
        if (menu->itemData(i, kSourceNameRole).toString().startsWith(prefix)) {
            menu->setCurrentIndex(i);
            changeMTCSourceIndex();
            return true;
        }
    }
    showStatus(tr("No MIDI source named \u201c%1\u201d was found.").arg(prefix));
    return false;
}

// Looks the chosen name up among the sources present now, so the source heard is always the
// one named, and says in the status bar why it could not be opened.
bool QRV_MainWindowController::openChosenSource() {
    _tcReceiver->refreshMidiPortNames();
    const auto& names = _tcReceiver->midiPortNames();
    const auto found = std::ranges::find(names, _chosenSource.toStdString());
    _chosenSourceGone = !_chosenSource.isEmpty() && found == names.end();
    _sourceOpen = false;
    if (_chosenSourceGone) {
        _tcReceiver->closeMidiConnection();
        showStatus(tr("\u201c%1\u201d is no longer available.").arg(_chosenSource));
    } else {
        try {
            _tcReceiver->openMidiConnectionWithPort(static_cast<int>(found - names.begin()));
            _sourceOpen = true;
        } catch (const RtMidiError& error) {
            showStatus(tr("Could not open the MIDI source \u201c%1\u201d: %2")
                           .arg(_chosenSource, userText(error)));
        }
    }
    rebuildMIDISourceMenu();
    return _sourceOpen;
}

void QRV_MainWindowController::onMIDISourcesChanged() {
    if (!_ui || _tcReceiver == nullptr || !_tcReceiver->isMidiSystemAvailable()) {
        return;
    }
    _tcReceiver->refreshMidiPortNames();
    const bool listed = chosenSourceIsListed();
    if (_sourceOpen && !listed) {
        _sourceOpen = false;
        _chosenSourceGone = true;
        showStatus(tr("\u201c%1\u201d was disconnected.").arg(_chosenSource));
    } else if (!_sourceOpen && listed && _chosenSourceGone) {
        if (openChosenSource()) {
            showStatus(tr("\u201c%1\u201d is back: listening to it again.").arg(_chosenSource));
        }
    } else if (_chosenSource.isEmpty() && !_tcReceiver->midiPortNames().empty() &&
               _ui->statusbar->currentMessage() == noSourceMessage()) {
        _ui->statusbar->clearMessage();
    }
    rebuildMIDISourceMenu();
}

void QRV_MainWindowController::onMIDISystemLost() {
    if (!_ui || _tcReceiver == nullptr) {
        return;
    }
    _sourceOpen = false;
    _chosenSourceGone = !_chosenSource.isEmpty();
    showStatus(tr("MIDI input lost: the JACK server stopped."));
    // At once: libjack shares its view of a server among all clients of a process, and keeps
    // the dead server's while any client of it is open, so a new server would be misread.
    _tcReceiver->closeMidiSystem();
    rebuildMIDISourceMenu();
    _midiRetryTimer.start();
}

// The old connection is closed before a new one is opened; the chosen source, if it is
// there, is heard again.
void QRV_MainWindowController::retryMIDISystem() {
    if (!_tcReceiver->restartMidiSystem()) {
        return;
    }
    _midiRetryTimer.stop();
    if (chosenSourceIsListed() && openChosenSource()) {
        showStatus(tr("MIDI input is back: listening to \u201c%1\u201d.").arg(_chosenSource));
    } else {
        showStatus(tr("MIDI input is back."));
    }
    rebuildMIDISourceMenu();
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

void QRV_MainWindowController::onCopyResultClicked() {
    if (_ui) {
        QGuiApplication::clipboard()->setText(resultText());
    }
}

void QRV_MainWindowController::pasteClipboardIntoOperand1() {
    pasteClipboardInto(1);
}

void QRV_MainWindowController::pasteClipboardIntoOperand2() {
    pasteClipboardInto(2);
}

void QRV_MainWindowController::pasteClipboardInto(int operand) {
    if (_ui && !pasteTimecode(operand, QGuiApplication::clipboard()->text())) {
        showStatus(tr("The clipboard holds no timecode."));
    }
}

QRV_MainWindowController::Operand QRV_MainWindowController::operandAt(int operand) const {
    return operand == 1 ? operand1() : operand2();
}

// 1 or 2 for a field of that operand, 0 for any other field.
int QRV_MainWindowController::operandHolding(const platform::TextField* control) const {
    for (int operand : {1, 2}) {
        const Operand fields = operandAt(operand);
        if (std::ranges::find(fields, control) != fields.end()) {
            return operand;
        }
    }
    return 0;
}

bool QRV_MainWindowController::pasteTimecode(int operand, const QString& text) {
    if (!_ui) {
        return false;
    }
    const auto pasted = QRV_TimecodeText::parse(text);
    if (!pasted) {
        return false;
    }
    const Operand fields = operandAt(operand);
    for (std::size_t unit = 0; unit < fields.size(); ++unit) {
        fields[unit]->setIntValue(pasted->units[unit]);
    }
    validateTextFieldValues(); // brings every field into range, as ending an edit does
    const bool atDropFrame = hasDropFrame(_frameRate) && _ui->dropFrameCheckbox->isChecked();
    if (pasted->dropFrameMark && !atDropFrame) {
        showStatus(
            tr("A drop-frame timecode was pasted; it is counted at %1 fps.").arg(_frameRate));
    }
    return true;
}

bool QRV_MainWindowController::controlShouldTakePastedText(platform::TextField* control,
                                                           const QString& text) {
    const int operand = operandHolding(control);
    if (operand == 0 || !pasteTimecode(operand, text)) {
        return false;
    }
    control->selectAll();
    return true;
}

QString QRV_MainWindowController::unitsText(const Operand& fields, bool dropFrame, bool negative) {
    return QRV_TimecodeText::format({fields[0]->intValue(), fields[1]->intValue(),
                                     fields[2]->intValue(), fields[3]->intValue()},
                                    dropFrame, negative);
}

QString QRV_MainWindowController::resultText() const {
    if (!_ui) {
        return {};
    }
    return unitsText(result(), _ui->dropFrameCheckbox->isChecked(),
                     _ui->TF_TCResultSign->stringValue() == QLatin1String("-"));
}

QString QRV_MainWindowController::operandText(int operand) const {
    return _ui ? unitsText(operandAt(operand), _ui->dropFrameCheckbox->isChecked()) : QString();
}

QString QRV_MainWindowController::incomingText() const {
    if (!_ui || _ui->TF_IncTC_hours->stringValue() == QLatin1String(kNoValue)) {
        return {};
    }
    return unitsText(incoming(), _incomingRateCode == 2);
}
