#pragma once

// Controller of the main window "MainWindow". It makes the window and its rooms, wires them
// together and keeps the names callers use; the rooms do the work:
// - QRV_Calculator: operands, validation, Calculate, Swap, the result row, copy and paste;
// - QRV_LiveDisplay: the incoming timecode, its status, rate following, the stop timer,
//   capture; QRV_LargeTimecodeWindow shows the same in a window of its own;
// - QRV_SourceMenu with QRV_MidiSystem: the MIDI sources and the MIDI system's comings and
//   goings;
// - QRV_Settings: what is remembered between runs;
// - QRV_QuickEntry, QRV_TapePanel, QRV_ConvertPanel, QRV_ReadoutMenu: the quick entry, the tape,
//   conversions between rates, the film and audio readouts (wired in
//   QRV_MainWindowController.cpp and QRV_ConvertWiring.cpp).
//
// The window is made on the first showWindow(); until then the setters change only the
// stored values. Main thread only; no locks: the receiver's notifications arrive on the main
// thread, and the timers fire there.

#include "QRV_Calculator.h"
#include "QRV_MidiSystem.h"
#include "QRV_Quorvel.h"
#include "TextFieldDelegate.h"
#include "ZK_TCInputFormatter.h"

#include <QObject>
#include <QString>
#include <memory>

class QMainWindow;
class QRV_DigitScaler;
class QRV_LargeDisplay;
class QRV_LargeTimecodeWindow;
class QRV_LiveDisplay;
class QRV_LtcSystem;
class QRV_QuickEntry;
class QRV_ConvertPanel;
class QRV_ReadoutMenu;
class QRV_TapeModel;
class QRV_TapePanel;
class QDockWidget;
class QRV_Settings;
class QRV_SourceMenu;
class ZK_MTCReceiver;

namespace Ui {
class MainWindow;
}

namespace platform {
class TextField;
struct Notification;
} // namespace platform

class QRV_MainWindowController : public QObject, public platform::TextFieldDelegate {
    Q_OBJECT

public:
    using ReceiverSource = QRV_MidiSystem::ReceiverSource;

    // Frame rate 24, drop-frame off, addition; no window yet.
    explicit QRV_MainWindowController(ReceiverSource receiverSource = defaultReceiverSource());
    ~QRV_MainWindowController() override;

    static ReceiverSource defaultReceiverSource();

    // Loads the window on the first call (windowDidLoad runs then), and shows it.
    void showWindow();
    // nullptr until the window is loaded.
    QMainWindow* window() const { return _window.get(); }
    ZK_MTCReceiver* tcReceiver() const;
    // nullptr until View ▸ Large Timecode first opens it.
    QRV_LargeTimecodeWindow* largeTimecodeWindow() const;

    int frameRate() const { return _calculator->frameRate(); }
    void setFrameRate(int rate) { _calculator->setFrameRate(rate); }
    void setNTSCSelected(bool ntsc) { _calculator->setNTSCSelected(ntsc); }
    bool isNTSCRate() const { return _calculator->isNTSCRate(); }
    bool isSignMinusSelected() const { return _calculator->isSignMinusSelected(); }
    void setSignMinusSelected(bool minus) { _calculator->setSignMinusSelected(minus); }
    bool isDropFrameSelected() const { return _calculator->isDropFrameSelected(); }
    void setDropFrameSelected(bool dropFrame) { _calculator->setDropFrameSelected(dropFrame); }

    bool controlTextShouldEndEditing(platform::TextField* control) override {
        return _calculator->controlTextShouldEndEditing(control);
    }
    void validateTextFieldValues() { _calculator->validateTextFieldValues(); }
    bool controlShouldTakePastedText(platform::TextField* control, const QString& text) override {
        return _calculator->controlShouldTakePastedText(control, text);
    }
    bool pasteTimecode(int operand, const QString& text) {
        return _calculator->pasteTimecode(operand, text);
    }
    QString resultText() const { return _calculator->resultText(); }
    QString operandText(int operand) const { return _calculator->operandText(operand); }
    // Empty while the incoming fields show "--".
    QString incomingText() const;

public slots:
    void onCalculateBtnClicked() { _calculator->calculate(); }
    void onSwapTCAddressesBtnClicked() { _calculator->swapOperands(); }
    void changeMTCSourceIndex();
    bool chooseSourceNamed(const QString& prefix);
    void onCaptureToTCAddr1Clicked();
    void onCaptureToTCAddr2Clicked();
    void onCopyResultClicked() { _calculator->copyResult(); }
    void pasteClipboardIntoOperand1() { _calculator->pasteClipboardInto(1); }
    void pasteClipboardIntoOperand2() { _calculator->pasteClipboardInto(2); }
    // Opens the large display, or closes it when it is open.
    void toggleLargeTimecode();

public:
    void onExternalTCChanged(const platform::Notification& notification);
    void onMMCLocateTargetMsgReceived(const platform::Notification& notification);
    void onMTCFullFrameReceived(const platform::Notification& notification);
    void setTCValueToUserInterface(TCData record);
    void onExternalTCStopped();

protected:
    // Puts every control into its starting state (then what was remembered), takes the
    // receiver, fills the MIDI source menu and subscribes to the timecode notifications.
    void windowDidLoad();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadWindow();
    void attachFormatters();
    void connectRooms();
    void makeEntryAndTape();
    void makeConvertAndReadouts();
    void restoreSettings();
    void saveCalculatorSettings();
    void saveWindowSettings();
    void showStatus(const QString& message);

    ReceiverSource _receiverSource;
    // Declared before the window so that it outlives the fields that use it.
    ZK_TCInputFormatter _twoDigitFormatter;
    std::unique_ptr<QRV_Settings> _settings;
    std::unique_ptr<QRV_Calculator> _calculator;
    // Before the window: the tape list shows it until the window goes.
    std::unique_ptr<QRV_TapeModel> _tape;
    std::unique_ptr<Ui::MainWindow> _ui;
    std::unique_ptr<QMainWindow> _window;
    std::unique_ptr<QRV_MidiSystem> _midi;
    std::unique_ptr<QRV_LtcSystem> _ltc;
    std::unique_ptr<QRV_LiveDisplay> _live;
    std::unique_ptr<QRV_SourceMenu> _sources;
    std::unique_ptr<QRV_DigitScaler> _digitScaler;
    std::unique_ptr<QRV_LargeDisplay> _large;
    std::unique_ptr<QRV_QuickEntry> _entry;
    QRV_TapePanel* _tapePanel = nullptr; // owned by its dock, which the window owns
    QDockWidget* _tapeDock = nullptr;
    std::unique_ptr<QRV_ReadoutMenu> _readouts;
    QRV_ConvertPanel* _convertPanel = nullptr; // owned by its dock, which the window owns
    QDockWidget* _convertDock = nullptr;
};
