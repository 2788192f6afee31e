#include "ZK_MTCReceiver.h"

#include "Log.h"
#include "MainQueue.h"
#include "NotificationCenter.h"

#include <QString>
#include <rtmidi/RtMidi.h>
#include <stdexcept>
#include <sys/time.h>

namespace {

constexpr char kClientName[] = "RtMidi Input Client";
constexpr char kPortName[] = "RtMidi Input";

// Guarded by ZK_MTCReceiver::classLock().
ZK_MTCReceiver* instance = nullptr;

// RtMidi's JACK backend reports a missing server only as a warning (on construction and again
// on every call that needs its client) and then lists no sources; such a backend is as unusable
// as one that throws. While the callback is set, RtMidi reports instead of throwing.
bool warnsWhenUsed(RtMidiIn& input) {
    bool warned = false;
    input.setErrorCallback(
        [](RtMidiError::Type, const std::string&, void* flag) { *static_cast<bool*>(flag) = true; },
        &warned);
    input.getPortCount();
    input.setErrorCallback(nullptr, nullptr);
    return warned;
}

// RtMidi's default backend first. Where it cannot start (no ALSA sequencer on a headless
// machine), every other compiled backend is tried before the first error is passed on.
std::unique_ptr<RtMidiIn> makeMidiInput() {
    try {
        return std::make_unique<RtMidiIn>(RtMidi::UNSPECIFIED, kClientName);
    } catch (const RtMidiError& defaultError) {
        std::vector<RtMidi::Api> apis;
        RtMidi::getCompiledApi(apis);
        for (const RtMidi::Api api : apis) {
            try {
                auto input = std::make_unique<RtMidiIn>(api, kClientName);
                if (!warnsWhenUsed(*input)) {
                    return input;
                }
            } catch (const RtMidiError&) {
                // keep trying; the default backend's message is the one worth reporting
            }
        }
        throw defaultError;
    }
}

// A name that is not valid UTF-8 still needs its entry, so positions keep matching sources.
std::string lossyUtf8(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

} // namespace

std::recursive_mutex& ZK_MTCReceiver::classLock() {
    static std::recursive_mutex lock;
    return lock;
}

ZK_MTCReceiver* ZK_MTCReceiver::alloc() {
    const std::lock_guard lock(classLock());
    if (instance != nullptr) {
        throw std::logic_error("Attempted to allocate a second instance of a singleton.");
    }
    instance = new ZK_MTCReceiver();
    return instance;
}

ZK_MTCReceiver* ZK_MTCReceiver::sharedObjectInstance() {
    const std::lock_guard lock(classLock());
    if (instance == nullptr) {
        // Owned here until init succeeds, so a failed or throwing init leaves no half-built
        // receiver behind and the next call starts again.
        std::unique_ptr<ZK_MTCReceiver> allocated(alloc());
        try {
            instance = allocated->init() != nullptr ? allocated.release() : nullptr;
        } catch (...) {
            instance = nullptr;
            throw;
        }
    }
    return instance;
}

ZK_MTCReceiver* ZK_MTCReceiver::init() {
    try {
        _midiInput = makeMidiInput();
    } catch (const RtMidiError& error) {
        platform::Log::write("Error when initializing Midi system. \nError message %s",
                             error.what());
        return nullptr;
    }
    _portCount = _midiInput->getPortCount();
    _portNames.clear();
    _midiPortRef = 0;
    for (std::uint32_t i = 0; i < _portCount; ++i) {
        _portNames.push_back(lossyUtf8(_midiInput->getPortName(i)));
    }
    _midiInput->ignoreTypes(false, false, false);
    return this;
}

void ZK_MTCReceiver::openMidiConnectionWithPort(int index) {
    _midiInput->closePort();
    _midiInput->cancelCallback();
    const auto port = static_cast<unsigned int>(index);
    // Not every backend refuses a missing source (JACK connects to nothing and reports
    // success), so the index is checked against the sources present now.
    const unsigned int available = _midiInput->getPortCount();
    if (port >= available) {
        throw RtMidiError("ZK_MTCReceiver: no MIDI source " + std::to_string(port) + " (" +
                              std::to_string(available) + " available)",
                          available == 0 ? RtMidiError::NO_DEVICES_FOUND
                                         : RtMidiError::INVALID_PARAMETER);
    }
    _midiInput->openPort(port, kPortName);
    _midiInput->setCallback(&newMidiEventCallback, nullptr);
}

ZK_MTCReceiver::~ZK_MTCReceiver() = default;

// ---- Decoder and posting (MIDI input thread only) ----

namespace {

// The decoder's memory between messages; touched only on the MIDI input thread.
TCData tcRecord{};
TCData oldTCRecord{};

constexpr unsigned char kSysEx = 0xF0;
constexpr unsigned char kSysExEnd = 0xF7;
constexpr unsigned char kQuarterFrame = 0xF1;
constexpr unsigned char kRealTimeUniversal = 0x7F;
constexpr unsigned char kMMCCommand = 0x06;
constexpr unsigned char kMMCStop = 0x01;
constexpr unsigned char kMMCStart = 0x02;
constexpr unsigned char kMMCLocate = 0x44;
constexpr unsigned char kLocateInfoLength = 0x06;
constexpr unsigned char kLocateTarget = 0x01;

constexpr char kNotRecognized[] = "\t\t\tMessage received but not recognized";

TCWallClock wallClockNow() {
    timeval now{};
    gettimeofday(&now, nullptr);
    return {static_cast<std::int32_t>(now.tv_sec), static_cast<std::int32_t>(now.tv_usec)};
}

// The task owns its copy of the user information; the centre and the receiver live for
// the whole process.
void postOnMainQueue(const char* name, platform::UserInfo userInfo = {}) {
    const ZK_MTCReceiver* receiver = ZK_MTCReceiver::sharedObjectInstance();
    const platform::NotificationCenter* center = &platform::NotificationCenter::defaultCenter();
    platform::MainQueue::async([center, receiver, name, info = std::move(userInfo)]() mutable {
        center->postNotificationName(name, receiver, std::move(info));
    });
}

void postRecord(const char* name, const char* key, const TCData& record) {
    platform::UserInfo userInfo;
    userInfo.emplace(key, platform::Value::make(record, kTCDataObjCType));
    postOnMainQueue(name, std::move(userInfo));
}

std::uint8_t highNibble(std::uint8_t value) {
    return static_cast<std::uint8_t>(value << 4);
}

void completeCycle() {
    postMTCNotificationWithRecord(tcRecord);
    oldTCRecord = tcRecord;
    tcRecord = TCData{};
    tcRecord.rateCode = -1;
}

// Between posts this only stores bytes: no allocation, no lock.
void decodeQuarterFrame(double deltaSeconds, unsigned char status, unsigned char data) {
    if (status != kQuarterFrame || data >= 0x80) {
        return;
    }
    const int piece = data >> 4;
    const auto value = static_cast<std::uint8_t>(data & 0x0F);
    tcRecord.timestamp = deltaSeconds * 1000.0;
    TimeCodeTime& time = tcRecord.time;
    switch (piece) {
    case 0:
        time.frames = value;
        tcRecord.subframes = 25;
        break;
    case 1:
        time.frames |= highNibble(value);
        tcRecord.subframes = 50;
        break;
    case 2:
        time.seconds = value;
        tcRecord.subframes = 75;
        break;
    case 3:
        time.seconds |= highNibble(value);
        tcRecord.subframes = 0;
        addOneFrameAndPostMIDITimecode(oldTCRecord);
        break;
    case 4:
        time.minutes = value;
        tcRecord.subframes = 25;
        break;
    case 5:
        time.minutes |= highNibble(value);
        tcRecord.subframes = 50;
        break;
    case 6:
        time.hours = value;
        tcRecord.subframes = 75;
        break;
    default:
        time.hours |= highNibble(value & 0x01);
        tcRecord.rateCode = (value >> 1) & 0x03;
        tcRecord.subframes = 0;
        completeCycle();
        break;
    }
}

bool isMMCCommand(const std::vector<unsigned char>& m) {
    return m[0] == kSysEx && m[1] == kRealTimeUniversal && m[3] == kMMCCommand;
}

void decodeMMCCommand(const std::vector<unsigned char>& m) {
    if (!isMMCCommand(m)) {
        platform::Log::write("%s", kNotRecognized);
        return;
    }
    if (m[4] == kMMCStop) {
        platform::Log::write("MMC Stop Message Received");
        postOnMainQueue(MMCStopMsgRxNotification);
    } else if (m[4] == kMMCStart) {
        platform::Log::write("MMC Start Message Received");
        postOnMainQueue(MMCStartMsgRxNotification);
    }
}

// Only the published Locate layout is a Locate; other 13-byte system-exclusive messages
// from synthesizers and controllers must not move the display or the rate controls.
bool isMMCLocate(const std::vector<unsigned char>& m) {
    return isMMCCommand(m) && m[4] == kMMCLocate && m[5] == kLocateInfoLength &&
           m[6] == kLocateTarget && m[12] == kSysExEnd;
}

void decodeMMCLocate(const std::vector<unsigned char>& m) {
    if (!isMMCLocate(m)) {
        platform::Log::write("%s", kNotRecognized);
        return;
    }
    TCData target{};
    target.time = {static_cast<std::uint8_t>(m[7] & 0x1F), static_cast<std::uint8_t>(m[8] & 0x3F),
                   static_cast<std::uint8_t>(m[9] & 0x3F), static_cast<std::uint8_t>(m[10] & 0x1F)};
    target.rateCode = (m[7] >> 5) & 0x03;
    target.dropFrame = target.rateCode == 2 ? 1 : 0;
    target.wallClock = wallClockNow();
    postRecord(MMCLocateTargetMsgRxNotification, ZK_MMCTargetTimeKey, target);
}

} // namespace

void newMidiEventCallback(double deltaSeconds, std::vector<unsigned char>* message,
                          void* /*userData*/) {
    if (message == nullptr) {
        return;
    }
    const std::vector<unsigned char>& m = *message;
    switch (m.size()) {
    case 2:
        decodeQuarterFrame(deltaSeconds, m[0], m[1]);
        break;
    case 6:
        decodeMMCCommand(m);
        break;
    case 10:
        platform::Log::write("TC Full frame message!!!");
        break;
    case 13:
        decodeMMCLocate(m);
        break;
    default:
        platform::Log::write("### ZK_MTCReceiver -- Different length : %i",
                             static_cast<int>(m.size()));
        break;
    }
}

void addOneFrameAndPostMIDITimecode(TCData& record) {
    std::uint8_t frameCount = 0;
    switch (record.rateCode) {
    case 0:
        frameCount = 24;
        break;
    case 1:
        frameCount = 25;
        break;
    case 2:
    case 3:
        frameCount = 30;
        break;
    default:
        return;
    }
    TCData oneFrame{};
    oneFrame.time.frames = 1;
    oneFrame.rateCode = record.rateCode;
    oneFrame.dropFrame = record.dropFrame;
    const TimeCodeDef def{record.dropFrame != 0 ? kTimeCodeDropFrameFlag : 0, frameCount, 1,
                          frameCount, 0};
    record.time = Quorvel::addTimecodeData(record, oneFrame, def).time;
    record.wallClock = wallClockNow();
    postMTCNotificationWithRecord(record);
}

void postMTCNotificationWithRecord(TCData& record) {
    TCData posted = record;
    posted.wallClock = wallClockNow();
    if (record.rateCode == 2) {
        record.dropFrame = 1;
    }
    postRecord(MTCTimeChangedNotification, ZK_MTCRecordKey, posted);
}
