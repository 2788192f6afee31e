// libFuzzer target: sequences of MIDI messages into the MTC/MMC decoder, called as the MIDI
// input thread calls it, without any MIDI system.
//
// Input: messages one after another, each as [length] [delta ms] [length bytes]. A last message
// cut short by the end of the input is passed as far as it goes (a truncated system-exclusive
// message, say). Each notification the decoder queues must carry a record that unboxes, with a
// rate code of 0-3.

#include "Log.h"
#include "NotificationCenter.h"
#include "ZK_MTCReceiver.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// 00:00:00:00 at 24 fps. Fed before every input, so the decoder's memory between messages is the
// same at the start of each input and any finding reproduces from its input alone.
const std::vector<std::vector<unsigned char>> kStartingCycle = {
    {0xF1, 0x00}, {0xF1, 0x10}, {0xF1, 0x20}, {0xF1, 0x30},
    {0xF1, 0x40}, {0xF1, 0x50}, {0xF1, 0x60}, {0xF1, 0x70},
};

void requireRecord(const platform::Notification& notification, const char* key) {
    const platform::Value* box = notification.valueForKey(key);
    TCData record{};
    if (box == nullptr || !box->getValue(&record, kTCDataObjCType) || record.rateCode < 0 ||
        record.rateCode > 3) {
        __builtin_trap();
    }
}

void observeDecoder() {
    auto& center = platform::NotificationCenter::defaultCenter();
    static const int observer = 0;
    center.addObserver(
        &observer, [](const platform::Notification& n) { requireRecord(n, ZK_MTCRecordKey); },
        MTCTimeChangedNotification);
    center.addObserver(
        &observer, [](const platform::Notification& n) { requireRecord(n, ZK_MMCTargetTimeKey); },
        MMCLocateTargetMsgRxNotification);
}

void feed(std::vector<unsigned char> message, double deltaSeconds) {
    newMidiEventCallback(deltaSeconds, &message, nullptr);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    static int qtArgc = 1;
    static char name[] = "quorvel_decoder_fuzzer";
    static char* qtArgv[] = {name, nullptr};
    // The main queue needs an application; never destroyed, as tasks may still be queued at exit.
    new QCoreApplication(qtArgc, qtArgv);
    // Every unrecognised message is logged; at fuzzing rates that is all the time spent.
    platform::Log::setSink([](const std::string&) {});
    // Published without init, so posting finds the receiver without opening a MIDI system.
    ZK_MTCReceiver::alloc();
    observeDecoder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const auto& message : kStartingCycle) {
        feed(message, 0.0);
    }
    std::size_t at = 0;
    while (at + 2 <= size) {
        const std::size_t length = data[at];
        const double deltaSeconds = data[at + 1] / 1000.0;
        at += 2;
        const std::size_t end = std::min(size, at + length);
        feed(std::vector<unsigned char>(data + at, data + end), deltaSeconds);
        at = end;
    }
    // Runs the queued notifications, so the observers check them and the queue stays bounded.
    QCoreApplication::sendPostedEvents();
    return 0;
}
