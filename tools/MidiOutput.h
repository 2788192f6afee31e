#pragma once

// Where the generator's MIDI messages go: a virtual output port that other programs connect to.
//
// Threading: sendMessage is called from one thread at a time; implementations say which
// thread that may be.

#include "MTCMessages.h"

namespace mtcgen {

class MidiOutput {
public:
    MidiOutput() = default;
    virtual ~MidiOutput();
    MidiOutput(const MidiOutput&) = delete;
    MidiOutput& operator=(const MidiOutput&) = delete;

    // One whole MIDI message (a SysEx with its F0 and F7).
    virtual void sendMessage(const Message& message) = 0;
};

} // namespace mtcgen
