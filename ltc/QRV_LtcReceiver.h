#pragma once

// LTC heard from a JACK audio port: opens the input while a JACK server runs, lists the audio
// sources, opens the one picked, and posts each decoded frame as "LTCTimeChanged" (the record
// under ZK_MTCRecordKey, as the MTC path posts it; the 32 user bits under LTCUserBitsKey),
// with the receiver as sender. "LTCSourcesChanged" when audio ports come, go or are renamed;
// "LTCSystemLost" when the JACK server went away (stop(), then start() again to get it back).
//
// Threading: member functions run on the main thread. Frames are decoded on the input's
// reader thread and posted through MainThreadPoster, in order; the reader never waits for the
// main thread.

#include "QRV_LtcState.h"

#include <memory>
#include <string>
#include <vector>

class QRV_LtcInput;
struct QRV_LtcFrame;

inline constexpr char LTCTimeChangedNotification[] = "LTCTimeChanged";
inline constexpr char LTCSourcesChangedNotification[] = "LTCSourcesChanged";
inline constexpr char LTCSystemLostNotification[] = "LTCSystemLost";
inline constexpr char LTCUserBitsKey[] = "LTCUserBits";
inline constexpr char kLtcUserBitsObjCType[] = "I";

class QRV_LtcReceiver {
public:
    QRV_LtcReceiver();
    ~QRV_LtcReceiver();
    QRV_LtcReceiver(const QRV_LtcReceiver&) = delete;
    QRV_LtcReceiver& operator=(const QRV_LtcReceiver&) = delete;

    // Opens the input on the JACK server, quietly; false while none runs.
    bool start();
    // Closes what is left of the input (after "LTCSystemLost"); nothing is listed or heard.
    void stop();
    bool isAvailable() const;

    // Full names of the JACK audio output ports there are now.
    std::vector<std::string> sourceNames() const;
    // Throws QRV_JackError when the port is not there or cannot be connected.
    void openSource(const std::string& name);
    void closeSource();
    QRV_LtcState state() const;

private:
    void post(const QRV_LtcFrame& frame, std::uint32_t sampleRate);

    std::unique_ptr<QRV_LtcInput> _input;
    // Reader thread only: where the previous frame ended, for the record's timestamp.
    std::int64_t _lastEnd = -1;
};
