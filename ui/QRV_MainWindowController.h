#pragma once

// Controller of the main window "MainWindow": the calculator's state (frame rate, operation,
// drop-frame), the starting state of every control, the MIDI source menu, operand
// validation, Calculate and Swap, and the live incoming timecode with its capture.
//
// The window is made on the first showWindow(); until then the setters change only the
// stored values. The controls are reached through the uic form class. Main thread only;
// no locks: the receiver's notifications arrive on the main thread, and the stop timer
// fires there.

#include "QRV_Quorvel.h"
#include "TextFieldDelegate.h"
#include "ZK_TCInputFormatter.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <deque>
#include <functional>
#include <memory>

class QAction;
class QMainWindow;
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
    // Where the shared receiver comes from; it may give nullptr (no MIDI system).
    using ReceiverSource = std::function<ZK_MTCReceiver*()>;

    // Frame rate 24, drop-frame off, addition; no window yet.
    explicit QRV_MainWindowController(ReceiverSource receiverSource = defaultReceiverSource());
    ~QRV_MainWindowController() override;

    static ReceiverSource defaultReceiverSource();

    // Loads the window on the first call (windowDidLoad runs then), and shows it.
    void showWindow();
    // nullptr until the window is loaded.
    QMainWindow* window() const { return _window.get(); }
    ZK_MTCReceiver* tcReceiver() const { return _tcReceiver; }

    int frameRate() const { return _frameRate; }
    // Clears and (at 30 and 60 only) enables the drop-frame box, stores the rate, wraps both
    // operands' frames to it and shows it in the rate group. Rate is 24, 25, 30, 48, 50 or 60.
    void setFrameRate(int rate);

    // The user's NTSC choice: at 24, 30, 48 and 60 the rate runs 1000/1001 slower (23.976,
    // 29.97, 47.952, 59.94). Labels and frame counts stay; only real durations change.
    void setNTSCSelected(bool ntsc);
    // The NTSC box as shown: the user's choice, or ticked by drop-frame.
    bool isNTSCRate() const;

    bool isSignMinusSelected() const { return _signMinusSelected; }
    // On a change only: clears the negative-results box and enables it for subtraction.
    void setSignMinusSelected(bool minus);

    bool isDropFrameSelected() const { return _dropFrameSelected; }
    // Stores the value and revalidates the operands, also when it is unchanged.
    void setDropFrameSelected(bool dropFrame);

    // Reduces the operand field that ends its edit, then revalidates both operands. Refuses
    // (false, nothing changed) for any field that is not an operand field.
    bool controlTextShouldEndEditing(platform::TextField* control) override;
    // Brings all eight operand fields into range; with drop-frame on, moves an operand off a
    // skipped address to frame 2 (at 60, frame 4) of its minute.
    void validateTextFieldValues();

    // A whole timecode pasted into an operand field fills that operand (see pasteTimecode);
    // other text is pasted into the field as typed text is.
    bool controlShouldTakePastedText(platform::TextField* control, const QString& text) override;

    // Fills operand 1 or 2 from a whole timecode ("HH:MM:SS:FF", ";" "." or "," before the
    // frames, or "HHMMSSFF") and validates it as ending an edit does. false for other text.
    // A drop-frame timecode pasted while the calculator is not at 29.97 drop-frame is counted
    // at the current rate, and the status bar says so.
    bool pasteTimecode(int operand, const QString& text);
    // "HH:MM:SS:FF" with ";" before the frames at drop-frame and "-" for a negative result.
    QString resultText() const;
    QString operandText(int operand) const;
    // Empty while the incoming fields show "--".
    QString incomingText() const;

public slots:
    // Shows operand 1 + operand 2, or operand 1 - operand 2, at the chosen rate; operands
    // are read after validation, so the result agrees with the fields on screen.
    void onCalculateBtnClicked();
    // Validates, then exchanges the two operands.
    void onSwapTCAddressesBtnClicked();

    // Opens the source chosen in the MIDI popup, by its name, also when it is the one already
    // open. A source that has gone, or cannot be opened, is named in the status bar; no
    // source is open then and the popup keeps the choice.
    void changeMTCSourceIndex();
    // Picks, as the user would, the first listed source whose name begins with prefix. False,
    // with the reason in the status bar, when no such source is listed.
    bool chooseSourceNamed(const QString& prefix);
    // Copy the shown incoming timecode into operand 1 or 2; nothing while a field shows "--".
    void onCaptureToTCAddr1Clicked();
    void onCaptureToTCAddr2Clicked();
    // Puts resultText() on the clipboard.
    void onCopyResultClicked();
    // The clipboard's timecode into operand 1 or 2; the status bar says when there is none.
    void pasteClipboardIntoOperand1();
    void pasteClipboardIntoOperand2();

public:
    // Observers of the receiver's notifications. The first "MTCTimeChanged" after a stop is
    // dropped; a locate is always shown.
    void onExternalTCChanged(const platform::Notification& notification);
    void onMMCLocateTargetMsgReceived(const platform::Notification& notification);
    // A full-frame message is shown as a locate is.
    void onMTCFullFrameReceived(const platform::Notification& notification);
    // Shows a record (the fields update from a queued task), follows its rate, disables the
    // rate controls and restarts the 0.5 s stop timer.
    void setTCValueToUserInterface(TCData record);
    // The stop timer: no record for 0.5 s. Enables the rate controls again; after a
    // drop-frame stream the calculator stays at 29.97 drop-frame.
    void onExternalTCStopped();

    // Sources came or went: the menu follows; the chosen source, when it comes back, is
    // connected again by itself.
    void onMIDISourcesChanged();
    // The MIDI system went away: said in the status bar, and tried again every 2 s.
    void onMIDISystemLost();

protected:
    // Puts every control into its starting state, takes the receiver, fills the MIDI source
    // menu and subscribes to the receiver's timecode notifications.
    void windowDidLoad();

private:
    using Operand = std::array<platform::TextField*, 4>; // hours, minutes, seconds, frames

    void loadWindow();
    void attachFormatters();
    void connectControls();
    void attachCopyTexts();
    void rebuildMIDISourceMenu();
    void refreshMIDISources();
    bool openChosenSource();
    bool chosenSourceIsListed() const;
    void retryMIDISystem();
    void showStatus(const QString& message);
    static QString noSourceMessage() { return tr("No MIDI source was found."); }
    void reportMIDIState();
    void registerForTimecodeNotifications();
    void registerForMIDISystemNotifications();

    Operand operand1() const;
    Operand operand2() const;
    Operand result() const;
    TCData operandRecord(const Operand& operand) const;
    TimeCodeDef calculationDef() const;
    void correctSkippedDropFrameAddress(const Operand& operand);
    Operand incoming() const;
    void showIncoming(const TCData& record);
    void followIncomingRate(std::int32_t rateCode);
    void captureIncomingInto(const Operand& target);
    int operandHolding(const platform::TextField* control) const;
    Operand operandAt(int operand) const;
    static QString unitsText(const Operand& fields, bool dropFrame, bool negative = false);
    void pasteClipboardInto(int operand);
    void showResultReadout(const TCData& shown, bool negative);
    void markResultStale();
    void setResultCurrent(bool current);
    QList<QWidget*> resultRow() const;
    void updateSeparators();
    void updateNTSCBox();
    void updateIncomingStatus();
    void setCaptureEnabled(bool enabled);

    enum class IncomingState { None, Running, Stopped };

    ReceiverSource _receiverSource;
    // Declared before the window so that it outlives the fields that use it.
    ZK_TCInputFormatter _twoDigitFormatter;
    std::unique_ptr<Ui::MainWindow> _ui;
    std::unique_ptr<QMainWindow> _window;

    int _frameRate = 24;
    bool _signMinusSelected = false;
    bool _dropFrameSelected = false;
    bool _ntscSelected = false;
    ZK_MTCReceiver* _tcReceiver = nullptr; // not owned

    QTimer _incomingTCStoppedTimer; // single-shot; pending while isActive()
    bool _firstIncTC = false;       // drop the next "MTCTimeChanged"
    bool _counterRunning = false;   // incoming timecode is running

    // Records waiting to be shown, oldest first; a few at most, then the newest is replaced.
    std::deque<TCData> _pendingIncoming;

    QString _chosenSource;          // the name the user picked; empty while none is
    bool _sourceOpen = false;       // the chosen source is connected
    bool _chosenSourceGone = false; // it was missing when last looked for
    QTimer _midiRetryTimer;         // while the MIDI system is lost

    IncomingState _incomingState = IncomingState::None;
    std::int32_t _incomingRateCode = -1; // of the record shown last
    bool _resultCurrent = false;         // the result matches the inputs on screen
    QList<QAction*> _captureActions;     // menu twins of the Capture buttons
};
