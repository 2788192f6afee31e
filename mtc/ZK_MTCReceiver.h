#pragma once

// The process-wide MIDI input: owns the one MIDI input (the ALSA sequencer where there is one,
// else JACK), lists the sources, opens the one the user picks, and decodes its MTC and MMC
// messages into notifications. It also announces sources that come and go
// ("MIDISourcesChanged") and the loss of the MIDI system ("MIDISystemLost").
//
// Threading:
// - alloc and sharedObjectInstance take the class-wide recursive lock and may be called
//   from any thread (the decoder calls sharedObjectInstance on the MIDI input thread).
// - init, openMidiConnectionWithPort, closeMidiConnection, refreshMidiPortNames and
//   restartMidiSystem run on the main thread only.
// - The accessors take no lock; the list and count are written only on the main thread.
// - newMidiEventCallback, addOneFrameAndPostMIDITimecode and postMTCNotificationWithRecord
//   run on the MIDI input thread only, one message at a time; they never wait for the main
//   thread. Every notification is posted on the main thread (MainThreadPoster), in decoding
//   order, with the receiver as sender.

#include "QRV_Quorvel.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class MidiInput;

// Notification names and user-information keys.
inline constexpr char MTCTimeChangedNotification[] = "MTCTimeChanged";
inline constexpr char MMCLocateTargetMsgRxNotification[] = "MMCLocateTargetMsgRx";
inline constexpr char MMCStartMsgRxNotification[] = "MMCStartMsgRx";
inline constexpr char MMCStopMsgRxNotification[] = "MMCStopMsgRx";
// An MTC full-frame message (a jump): its time under ZK_MTCRecordKey, posted at once.
inline constexpr char MTCFullFrameMsgRxNotification[] = "MTCFullFrameMsgRx";
inline constexpr char ZK_MTCRecordKey[] = "MTCRecord";
inline constexpr char ZK_MMCTargetTimeKey[] = "MMCTargetTime";
// Sources appeared, went or were renamed; refreshMidiPortNames reads the new list.
inline constexpr char MIDISourcesChangedNotification[] = "MIDISourcesChanged";
// The MIDI system (the JACK server) went away; restartMidiSystem tries to get it back.
inline constexpr char MIDISystemLostNotification[] = "MIDISystemLost";
// Logged the first time JACK stands in for a missing ALSA sequencer, not on every retry.
inline constexpr char MIDIUsingJackLogLine[] = "ALSA sequencer unavailable; using JACK";

class ZK_MTCReceiver {
public:
    // Platform MIDI endpoint reference; 0 is none. Kept for the record, never used.
    using MIDIPortRef = std::uint32_t;

    // Allocates the one receiver and publishes it before init runs. A second call throws
    // std::logic_error("Attempted to allocate a second instance of a singleton.").
    static ZK_MTCReceiver* alloc();

    // The shared receiver, created on first use; nullptr when the MIDI system could not be
    // initialised (the next call tries again).
    static ZK_MTCReceiver* sharedObjectInstance();
    // The same for a caller that keeps trying while there is no MIDI system: a failure is not
    // logged again.
    static ZK_MTCReceiver* sharedObjectInstanceQuietly();

    // Creates the MIDI input and takes the source list. On failure logs the library's
    // message and returns nullptr; the caller then owns and deletes the object.
    ZK_MTCReceiver* init();

    // Closes any open source, then opens source index (taken as unsigned) of midiPortNames,
    // by its name, and registers the decoder. Throws RtMidiError when the index names no
    // listed source or that source cannot be opened (it may have gone since the list was
    // read); the receiver is then left idle (no source open, no callback).
    void openMidiConnectionWithPort(int index);
    // Closes any open source; the receiver is idle afterwards.
    void closeMidiConnection();
    // Reads the list of sources afresh.
    void refreshMidiPortNames();
    // After "MIDISystemLost": closes what is left of the connection to the MIDI system; the
    // list is empty and no source can be opened until restartMidiSystem succeeds.
    void closeMidiSystem();
    // Closes what is left of the old connection to the MIDI system, then tries to open a new
    // one (silently). True when one is open; the list is then
    // refreshed and no source is open.
    bool restartMidiSystem();
    bool isMidiSystemAvailable() const { return _midiInput != nullptr; }

    std::uint32_t portCount() const { return _portCount; }
    const std::vector<std::string>& midiPortNames() const { return _portNames; }
    MIDIPortRef midiPortRef() const { return _midiPortRef; }
    void setMidiPortRef(MIDIPortRef ref) { _midiPortRef = ref; }

    ~ZK_MTCReceiver();
    ZK_MTCReceiver(const ZK_MTCReceiver&) = delete;
    ZK_MTCReceiver& operator=(const ZK_MTCReceiver&) = delete;

private:
    ZK_MTCReceiver() = default;

    static std::recursive_mutex& classLock();
    std::unique_ptr<MidiInput> makeMidiInput();

    std::uint32_t _portCount = 0;
    std::unique_ptr<MidiInput> _midiInput;
    std::vector<std::string> _portNames;
    MIDIPortRef _midiPortRef = 0;
};

// The decoder: the MIDI input's callback for the open source. One complete message per call;
// deltaSeconds is the time since the previous message. userData is ignored.
void newMidiEventCallback(double deltaSeconds, std::vector<unsigned char>* message, void* userData);

// Advances record by one frame at its own rate (in place) and posts it. Skips records
// whose rateCode is outside 0-3.
void addOneFrameAndPostMIDITimecode(TCData& record);

// Posts a stamped copy of record as "MTCTimeChanged"; sets record.dropFrame for rate code 2.
void postMTCNotificationWithRecord(TCData& record);
