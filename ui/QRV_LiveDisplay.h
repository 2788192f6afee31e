#pragma once

// The live room: the incoming timecode fields and their status line, following the stream's
// rate, the 0.5 s stop timer, and capture into an operand. It shows MTC ("MTCTimeChanged") and
// LTC ("LTCTimeChanged": every frame, with the user bits in the fields' tooltip and direction,
// speed and level in the status line) alike.
//
// Widgets it writes, from the form: TF_IncTC_*, colon_IncTC_*, incomingStatus,
// captureToTCAddr1Btn, captureToTCAddr2Btn (and the two Capture actions it makes).
// Emits followRate() as each record is shown (the calculator locks its rate controls to it),
// stopped() when no record came for 0.5 s, captureRequested() for the calculator to fill an
// operand, and changed() whenever what it shows changes (for the large display).
// Main thread only: notifications arrive on the main thread and the timer fires there.

#include "QRV_LtcState.h"
#include "QRV_Quorvel.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <deque>
#include <functional>

class QAction;

namespace Ui {
class MainWindow;
}

namespace platform {
struct Notification;
}

class QRV_LiveDisplay : public QObject {
    Q_OBJECT

public:
    using Units = std::array<int, 4>;

    QRV_LiveDisplay(Ui::MainWindow& form, QObject* parent);
    ~QRV_LiveDisplay() override;

    // Takes the receiver's timecode notifications; with no receiver, from any sender. A new
    // call replaces the earlier registration.
    void listenTo(const void* receiver);
    // Takes "LTCTimeChanged" from the LTC receiver, and reads what the LTC input hears from
    // state (polled a few times a second while a source is connected).
    void listenToLtc(const void* receiver, std::function<QRV_LtcState()> state);
    void onLtcTimeChanged(const platform::Notification& notification);

    void onExternalTCChanged(const platform::Notification& notification);
    void onMMCLocateTargetMsgReceived(const platform::Notification& notification);
    void onMTCFullFrameReceived(const platform::Notification& notification);
    void setTCValueToUserInterface(TCData record);
    void onExternalTCStopped();
    void capture(int operand);

    // "HH:MM:SS:FF" (";" at drop-frame), empty while nothing was shown.
    QString text() const;
    QString statusText() const;
    bool isStopped() const;

    QAction* captureAction(int operand) const;

signals:
    void followRate(std::int32_t rateCode);
    void stopped();
    void captureRequested(int operand, const Units& units);
    void changed();

private:
    // The two flags of the live side in one: whether the next "MTCTimeChanged" is dropped
    // (after a stop) and whether timecode runs.
    enum class State {
        NothingYet,         // at start
        Running,            // records arrive
        RunningAfterLocate, // a locate came while stopped: the next "MTCTimeChanged" is dropped
        Stopped,            // the stop timer fired: the next "MTCTimeChanged" is dropped
        StoppedIdle,        // that one was dropped; the next is shown
    };

    void takeRecord(const TCData& record, bool followsRate);
    void showIncoming(const TCData& record);
    void pollLtcState();
    void setUserBits(const QString& toolTip);
    void updateStatus();
    void setCaptureEnabled(bool enabled);
    bool isRunning() const;

    Ui::MainWindow& _form;
    QTimer _incomingTCStoppedTimer; // single-shot; pending while isActive()
    State _state = State::NothingYet;
    // Records waiting to be shown, oldest first; a few at most, then the newest is replaced.
    std::deque<TCData> _pendingIncoming;
    std::int32_t _incomingRateCode = -1; // of the record shown last
    std::array<QAction*, 2> _captureActions{};
    std::function<QRV_LtcState()> _ltcStateSource;
    QRV_LtcState _ltcState; // NoSource while MTC, or nothing, is heard
    QTimer _ltcStatePoll;
};
