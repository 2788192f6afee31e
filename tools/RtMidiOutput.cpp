#include "RtMidiOutput.h"

#include "AlsaSequencer.h"

#include <algorithm>
#include <rtmidi/RtMidi.h>

namespace mtcgen {

namespace {

// RtMidiOut falls back to any other compiled backend, JACK included, when the one asked for is
// not compiled; that fallback must not happen here.
void requireAlsa() {
    std::vector<RtMidi::Api> compiled;
    RtMidi::getCompiledApi(compiled);
    if (std::ranges::find(compiled, RtMidi::LINUX_ALSA) == compiled.end()) {
        throw RtMidiError("this RtMidi has no ALSA sequencer support", RtMidiError::INVALID_DEVICE);
    }
}

} // namespace

RtMidiOutput::RtMidiOutput(const std::string& client, const std::string& port) {
    requireAlsa();
    const QuietAlsaErrors quiet;
    requireAlsaSequencer();
    out_ = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, client);
    out_->openVirtualPort(port);
}

RtMidiOutput::~RtMidiOutput() = default;

void RtMidiOutput::sendMessage(const Message& message) {
    out_->sendMessage(&message);
}

} // namespace mtcgen
