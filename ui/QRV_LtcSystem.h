#pragma once

// LTC input as the window sees it: the LTC receiver, open while a JACK server runs. Without a
// server, or after losing it, it tries again every 2 s, so a server started later, or one that
// comes back, is found without a restart. Sources are named as the popup shows them ("LTC from
// system:capture_1").
//
// Owns the receiver and the retry timer. Emits arrived() when the input opened after it was
// not (and once at start() if it is), lost() when the server went away, back() when a lost
// server returned, sourcesChanged() when audio ports came, went or were renamed.
// Main thread only.

#include "QRV_LtcState.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>

class QRV_LtcReceiver;

class QRV_LtcSystem : public QObject {
    Q_OBJECT

public:
    explicit QRV_LtcSystem(QObject* parent = nullptr);
    ~QRV_LtcSystem() override;

    void start();
    bool isAvailable() const;
    // The receiver, for the live room to listen to; it lives as long as this object.
    const void* sender() const;

    QStringList sourceNames() const;
    static bool isLtcSource(const QString& name);
    // Throws QRV_JackError with a reason a user can read.
    void open(const QString& name);
    void close();
    QRV_LtcState state() const;

signals:
    void arrived();
    void lost();
    void back();
    void sourcesChanged();

private:
    void retry();
    void onLost();

    std::unique_ptr<QRV_LtcReceiver> _receiver;
    QTimer _retryTimer;
    bool _wasLost = false;
};
