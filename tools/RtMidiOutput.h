#pragma once

// A virtual output port on the ALSA sequencer, through RtMidi.
//
// Threading: construct and destroy on one thread; sendMessage from one thread at a time, any
// thread (the sequencer queues the events).

#include "MidiOutput.h"

#include <memory>
#include <string>

class RtMidiOut;

namespace mtcgen {

class RtMidiOutput final : public MidiOutput {
public:
    // Throws RtMidiError when there is no ALSA sequencer (as on a headless machine).
    RtMidiOutput(const std::string& client, const std::string& port);
    ~RtMidiOutput() override;

    void sendMessage(const Message& message) override;

private:
    std::unique_ptr<RtMidiOut> out_;
};

} // namespace mtcgen
