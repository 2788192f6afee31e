#include "QRV_MainWindowController.h"

#include "QRV_Calculator.h"
#include "QRV_DigitScaler.h"
#include "QRV_LargeDisplay.h"
#include "QRV_LiveDisplay.h"
#include "QRV_LtcSystem.h"
#include "QRV_MenuBar.h"
#include "QRV_QuickEntry.h"
#include "QRV_ReadoutMenu.h"
#include "QRV_Settings.h"
#include "QRV_SourceMenu.h"
#include "QRV_TapeModel.h"
#include "QRV_TapePanel.h"
#include "TextField.h"
#include "ZK_MTCReceiver.h"
#include "ui_MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMainWindow>
#include <QStatusBar>
#include <utility>

namespace {

constexpr char kFormatterProperty[] = "formatter";
constexpr char kTwoDigitFormatterName[] = "ZK_TCInputFormatter";

} // namespace

// The first look logs why there is no MIDI system; the retries every 2 s do not.
QRV_MainWindowController::ReceiverSource QRV_MainWindowController::defaultReceiverSource() {
    return [asked = false]() mutable {
        return std::exchange(asked, true) ? ZK_MTCReceiver::sharedObjectInstanceQuietly()
                                          : ZK_MTCReceiver::sharedObjectInstance();
    };
}

QRV_MainWindowController::QRV_MainWindowController(ReceiverSource receiverSource)
    : _receiverSource(std::move(receiverSource))
    , _settings(std::make_unique<QRV_Settings>())
    , _calculator(std::make_unique<QRV_Calculator>()) {
    setFrameRate(24);
    setDropFrameSelected(false);
}

QRV_MainWindowController::~QRV_MainWindowController() {
    if (_window) {
        saveWindowSettings();
    }
}

void QRV_MainWindowController::showWindow() {
    if (!_window) {
        loadWindow();
    }
    _window->show();
    _window->raise();
    _window->activateWindow();
    if (_settings->isLargeTimecodeShown() && !_large->window()) {
        _large->toggle();
    }
}

void QRV_MainWindowController::loadWindow() {
    _window = std::make_unique<QMainWindow>();
    _ui = std::make_unique<Ui::MainWindow>();
    _ui->setupUi(_window.get());
    attachFormatters();
    _calculator->attach(*_ui, *this);
    _midi = std::make_unique<QRV_MidiSystem>(_receiverSource);
    _live = std::make_unique<QRV_LiveDisplay>(*_ui, nullptr);
    _ltc = std::make_unique<QRV_LtcSystem>();
    _sources = std::make_unique<QRV_SourceMenu>(*_ui, *_midi, *_ltc, nullptr);
    _large = std::make_unique<QRV_LargeDisplay>(*_live, nullptr);
    _digitScaler = std::make_unique<QRV_DigitScaler>(
        _ui->midiGroup,
        QList<QWidget*>{_ui->TF_IncTC_hours, _ui->colon_IncTC_1, _ui->TF_IncTC_minutes,
                        _ui->colon_IncTC_2, _ui->TF_IncTC_seconds, _ui->colon_IncTC_3,
                        _ui->TF_IncTC_frames},
        nullptr);
    makeEntryAndTape();
    makeConvertAndReadouts();
    QRV_MenuBar::install(
        *_window,
        {_calculator->calculateAction(), _calculator->swapAction(), _calculator->copyResultAction(),
         _calculator->pasteActions(1), _calculator->pasteActions(2), _live->captureAction(1),
         _live->captureAction(2), _large->action(), _entry->focusAction(),
         _tapeDock->toggleViewAction(), _tapePanel->undoAction(), _tapePanel->clearAction(),
         _tapePanel->exportAction(), _convertDock->toggleViewAction(), _readouts->menuAction()});
    connectRooms();
    _window->installEventFilter(this);
    windowDidLoad();
}

// The quick entry reads at the calculator's rate and shows its result there; every result
// shown, from either, goes on the tape.
void QRV_MainWindowController::makeEntryAndTape() {
    _entry = std::make_unique<QRV_QuickEntry>(
        *_ui->quickEntry,
        [this] {
            return QRV_QuickEntry::Context{frameRate(), _calculator->isDropFrameShown(),
                                           _calculator->shownResultFrames()};
        },
        nullptr);
    connect(_entry.get(), &QRV_QuickEntry::evaluated, _calculator.get(),
            &QRV_Calculator::showEntryResult);
    connect(_entry.get(), &QRV_QuickEntry::message, this, &QRV_MainWindowController::showStatus);
    _tape = std::make_unique<QRV_TapeModel>(QRV_TapeStore::defaultPath());
    _tapePanel = new QRV_TapePanel(*_tape);
    _tapeDock = _tapePanel->dockInto(*_window);
    _tapeDock->setVisible(_settings->isTapeShown());
    connect(_tapeDock->toggleViewAction(), &QAction::toggled, this,
            [this](bool shown) { _settings->setTapeShown(shown); });
    connect(_calculator.get(), &QRV_Calculator::calculated, this,
            [this](const QString& calculation, const QString& result, qint64 frames) {
                _tapePanel->record(calculation, result, frames,
                                   {frameRate(), _calculator->isDropFrameShown(), isNTSCRate()});
            });
    connect(_tapePanel, &QRV_TapePanel::useLine, this, [this](const QRV_TapeLine& line) {
        _calculator->applyRate(line.rate.fps, line.rate.dropFrame, line.rate.ntsc);
        pasteTimecode(1, QString(line.result).remove(QLatin1Char('-')));
    });
    connect(_tapePanel, &QRV_TapePanel::message, this, &QRV_MainWindowController::showStatus);
}

// The window description names the formatter of each field that wants one.
void QRV_MainWindowController::attachFormatters() {
    for (auto* field : _window->findChildren<platform::TextField*>()) {
        if (field->property(kFormatterProperty).toString() == kTwoDigitFormatterName) {
            field->setFormatter(&_twoDigitFormatter);
        }
    }
}

void QRV_MainWindowController::connectRooms() {
    connect(_calculator.get(), &QRV_Calculator::message, this,
            &QRV_MainWindowController::showStatus);
    connect(_calculator.get(), &QRV_Calculator::optionsChanged, this,
            &QRV_MainWindowController::saveCalculatorSettings);
    connect(_live.get(), &QRV_LiveDisplay::followRate, _calculator.get(),
            &QRV_Calculator::followIncomingRate);
    connect(_live.get(), &QRV_LiveDisplay::stopped, _calculator.get(),
            &QRV_Calculator::releaseRateControls);
    connect(_live.get(), &QRV_LiveDisplay::captureRequested, _calculator.get(),
            &QRV_Calculator::fillOperand);
    connect(_large.get(), &QRV_LargeDisplay::shownChanged, this,
            [this](bool shown) { _settings->setLargeTimecodeShown(shown); });
    connect(_midi.get(), &QRV_MidiSystem::arrived, _live.get(),
            [this](ZK_MTCReceiver* receiver) { _live->listenTo(receiver); });
    connect(_sources.get(), &QRV_SourceMenu::message, this, &QRV_MainWindowController::showStatus);
    connect(_sources.get(), &QRV_SourceMenu::chosenSourceChanged, this,
            [this](const QString& name) { _settings->setSource(name); });
}

void QRV_MainWindowController::windowDidLoad() {
    _live->listenTo(nullptr); // from any sender until a receiver is there
    _live->listenToLtc(_ltc->sender(), [this] { return _ltc->state(); });
    _sources->start();
    restoreSettings();
    _tapePanel->reportLoad(_tape->load()); // last: a damaged tape's message must stay in view
}

// Remembered choices replace the starting state; the source given on the command line
// (chooseSourceNamed) comes later and wins.
void QRV_MainWindowController::restoreSettings() {
    const QRV_Settings::Calculator choices = _settings->calculator();
    if (choices.frameRate) {
        setFrameRate(*choices.frameRate);
    }
    // Only where the rate allows it: the box is enabled at 30 and 60 alone.
    if (choices.dropFrame && _ui->dropFrameCheckbox->isEnabled()) {
        _ui->dropFrameCheckbox->setChecked(*choices.dropFrame);
    }
    if (choices.ntsc) {
        setNTSCSelected(*choices.ntsc);
    }
    if (choices.subtract) {
        setSignMinusSelected(*choices.subtract);
    }
    if (choices.negativeResults) {
        _calculator->setNegativeResultsSelected(*choices.negativeResults);
    }
    if (const auto source = _settings->source()) {
        _sources->restoreChosenSource(*source);
    }
    if (!_window->restoreGeometry(_settings->windowGeometry())) {
        _window->adjustSize();
    }
}

void QRV_MainWindowController::saveCalculatorSettings() {
    if (_ui) {
        _settings->setCalculator(
            {_calculator->frameRate(), _calculator->isDropFrameShown(),
             _ui->ntscCheckbox->isChecked() && !_calculator->isDropFrameShown(),
             _calculator->isSignMinusSelected(), _calculator->isNegativeResultsSelected()});
    }
}

void QRV_MainWindowController::saveWindowSettings() {
    _settings->setWindowGeometry(_window->saveGeometry());
}

bool QRV_MainWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _window.get() && event->type() == QEvent::Close) {
        saveWindowSettings();
        // Goes with the main window, so the application can end; it opens again next time.
        _large->closeQuietly();
    }
    return QObject::eventFilter(watched, event);
}

void QRV_MainWindowController::showStatus(const QString& message) {
    _ui->statusbar->showMessage(message);
}

QRV_LargeTimecodeWindow* QRV_MainWindowController::largeTimecodeWindow() const {
    return _large ? _large->window() : nullptr;
}

void QRV_MainWindowController::toggleLargeTimecode() {
    if (_large) {
        _large->toggle();
    }
}

ZK_MTCReceiver* QRV_MainWindowController::tcReceiver() const {
    return _midi ? _midi->receiver() : nullptr;
}

QString QRV_MainWindowController::incomingText() const {
    return _live ? _live->text() : QString();
}

void QRV_MainWindowController::changeMTCSourceIndex() {
    if (_sources) {
        _sources->changeMTCSourceIndex();
    }
}

bool QRV_MainWindowController::chooseSourceNamed(const QString& prefix) {
    return _sources && _sources->chooseSourceNamed(prefix);
}

void QRV_MainWindowController::onCaptureToTCAddr1Clicked() {
    if (_live) {
        _live->capture(1);
    }
}

void QRV_MainWindowController::onCaptureToTCAddr2Clicked() {
    if (_live) {
        _live->capture(2);
    }
}

void QRV_MainWindowController::onExternalTCChanged(const platform::Notification& notification) {
    if (_live) {
        _live->onExternalTCChanged(notification);
    }
}

void QRV_MainWindowController::onMMCLocateTargetMsgReceived(
    const platform::Notification& notification) {
    if (_live) {
        _live->onMMCLocateTargetMsgReceived(notification);
    }
}

void QRV_MainWindowController::onMTCFullFrameReceived(const platform::Notification& notification) {
    if (_live) {
        _live->onMTCFullFrameReceived(notification);
    }
}

void QRV_MainWindowController::setTCValueToUserInterface(TCData record) {
    if (_live) {
        _live->setTCValueToUserInterface(record);
    }
}

void QRV_MainWindowController::onExternalTCStopped() {
    if (_live) {
        _live->onExternalTCStopped();
    }
}
