// The MTC/MMC decoder and its posting: runs on the MIDI input thread only, one message at a
// time (see ZK_MTCReceiver.h).

#include "Log.h"
#include "MainThreadPoster.h"
#include "ZK_MTCReceiver.h"

#include <sys/time.h>

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
constexpr unsigned char kMTCSubId = 0x01;       // real-time universal: MIDI Time Code
constexpr unsigned char kMTCFullFrameId = 0x01; // MTC: full message

constexpr char kNotRecognized[] = "\t\t\tMessage received but not recognized";

TCWallClock wallClockNow() {
    timeval now{};
    gettimeofday(&now, nullptr);
    return {static_cast<std::int32_t>(now.tv_sec), static_cast<std::int32_t>(now.tv_usec)};
}

void postOnMainQueue(const char* name, platform::UserInfo userInfo = {}) {
    MainThreadPoster::shared().post(name, ZK_MTCReceiver::sharedObjectInstance(),
                                    std::move(userInfo));
}

void postRecord(const char* name, const char* key, const TCData& record) {
    platform::UserInfo userInfo;
    userInfo.emplace(key, platform::Value::make(record, kTCDataObjCType));
    postOnMainQueue(name, std::move(userInfo));
}

// The high nibble of each field, cut to the bits MTC defines for it, so junk bytes can never
// make a field larger than its unit allows.
std::uint8_t highNibble(std::uint8_t value, std::uint8_t definedBits) {
    return static_cast<std::uint8_t>((value & definedBits) << 4);
}

int framesPerSecond(std::int32_t rateCode) {
    return rateCode == 0 ? 24 : rateCode == 1 ? 25 : 30;
}

// A time no clock shows: past the rate's last frame, past 59 seconds or minutes, past 23
// hours, or a label that drop-frame numbering skips.
bool isImpossible(const TCData& record) {
    const TimeCodeTime& t = record.time;
    const bool skipped =
        record.rateCode == 2 && t.seconds == 0 && t.frames < 2 && t.minutes % 10 != 0;
    return t.frames >= framesPerSecond(record.rateCode) || t.seconds >= 60 || t.minutes >= 60 ||
           t.hours >= 24 || skipped;
}

// One log line per run of impossible times, not one per record; touched on the MIDI thread.
bool impossibleTimeReported = false;

bool rejectImpossible(const TCData& record) {
    if (!isImpossible(record)) {
        impossibleTimeReported = false;
        return false;
    }
    if (!impossibleTimeReported) {
        impossibleTimeReported = true;
        platform::Log::write("### ZK_MTCReceiver -- Impossible time ignored : "
                             "%02i:%02i:%02i:%02i, rate code %i",
                             record.time.hours, record.time.minutes, record.time.seconds,
                             record.time.frames, static_cast<int>(record.rateCode));
    }
    return true;
}

void completeCycle() {
    if (!rejectImpossible(tcRecord)) {
        postMTCNotificationWithRecord(tcRecord);
        oldTCRecord = tcRecord;
    }
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
        time.frames |= highNibble(value, 0x01);
        tcRecord.subframes = 50;
        break;
    case 2:
        time.seconds = value;
        tcRecord.subframes = 75;
        break;
    case 3:
        time.seconds |= highNibble(value, 0x03);
        tcRecord.subframes = 0;
        addOneFrameAndPostMIDITimecode(oldTCRecord);
        break;
    case 4:
        time.minutes = value;
        tcRecord.subframes = 25;
        break;
    case 5:
        time.minutes |= highNibble(value, 0x03);
        tcRecord.subframes = 50;
        break;
    case 6:
        time.hours = value;
        tcRecord.subframes = 75;
        break;
    default:
        time.hours |= highNibble(value, 0x01);
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
// hr mn sc fr as MMC Locate and MTC full frames carry them (the rate in bits 5 and 6 of hr),
// masked to their widths; a time that cannot exist at its rate is not posted.
void postTimeFromBytes(const char* name, const char* key, const unsigned char* bytes) {
    TCData record{};
    record.time = {
        static_cast<std::uint8_t>(bytes[0] & 0x1F), static_cast<std::uint8_t>(bytes[1] & 0x3F),
        static_cast<std::uint8_t>(bytes[2] & 0x3F), static_cast<std::uint8_t>(bytes[3] & 0x1F)};
    record.rateCode = (bytes[0] >> 5) & 0x03;
    record.dropFrame = record.rateCode == 2 ? 1 : 0;
    record.wallClock = wallClockNow();
    if (!rejectImpossible(record)) {
        postRecord(name, key, record);
    }
}

bool isMMCLocate(const std::vector<unsigned char>& m) {
    return isMMCCommand(m) && m[4] == kMMCLocate && m[5] == kLocateInfoLength &&
           m[6] == kLocateTarget && m[12] == kSysExEnd;
}

void decodeMMCLocate(const std::vector<unsigned char>& m) {
    if (!isMMCLocate(m)) {
        platform::Log::write("%s", kNotRecognized);
        return;
    }
    postTimeFromBytes(MMCLocateTargetMsgRxNotification, ZK_MMCTargetTimeKey, &m[7]);
}

// F0 7F channel 01 01 hr mn sc fr F7, the rate in bits 5 and 6 of hr.
bool isMTCFullFrame(const std::vector<unsigned char>& m) {
    return m[0] == kSysEx && m[1] == kRealTimeUniversal && m[3] == kMTCSubId &&
           m[4] == kMTCFullFrameId && m[9] == kSysExEnd;
}

void decodeMTCFullFrame(const std::vector<unsigned char>& m) {
    platform::Log::write("TC Full frame message!!!");
    if (!isMTCFullFrame(m)) {
        return;
    }
    postTimeFromBytes(MTCFullFrameMsgRxNotification, ZK_MTCRecordKey, &m[5]);
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
        decodeMTCFullFrame(m);
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
