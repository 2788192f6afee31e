#pragma once

// The MIDI system as the window sees it: the shared receiver, or none while the MIDI system
// cannot be started or has been lost. Either way it is tried again every 2 s, so a JACK
// server started after Quorvel, or one that comes back, is found without a restart.
//
// Owns the retry timer; the receiver is process-wide and not owned. Emits arrived() when a
// receiver is there after none was (and once at start() if there is one), lost() when the
// system went away, and back() when a lost system returned. Main thread only.

#include <QObject>
#include <QTimer>
#include <functional>

class ZK_MTCReceiver;

class QRV_MidiSystem : public QObject {
    Q_OBJECT

public:
    // Where the shared receiver comes from; it may give nullptr (no MIDI system).
    using ReceiverSource = std::function<ZK_MTCReceiver*()>;

    explicit QRV_MidiSystem(ReceiverSource source, QObject* parent = nullptr);
    ~QRV_MidiSystem() override;

    // Takes the receiver for the first time; tries again every 2 s while there is none.
    void start();
    ZK_MTCReceiver* receiver() const { return _receiver; }
    // A receiver with its connection to the MIDI system open.
    bool isAvailable() const;
    bool isRetrying() const { return _retryTimer.isActive(); }

signals:
    void arrived(ZK_MTCReceiver* receiver);
    void lost();
    void back();
    void sourcesChanged();

private:
    void retry();
    void onLost();
    void observe();

    ReceiverSource _source;
    ZK_MTCReceiver* _receiver = nullptr; // not owned
    QTimer _retryTimer;
};
