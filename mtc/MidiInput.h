#pragma once

// One MIDI input port of the process, connected to at most one source at a time; the seam
// between the receiver and a MIDI system (the ALSA sequencer through RtMidi, or JACK through
// our own client).
//
// Threading:
// - Every member function runs on the main thread.
// - The message callback runs on the input's own thread, one complete message per call, in
//   arrival order; never on a thread of the MIDI system itself.
// - The two Events handlers run on the input's own thread too; they must not block.
// - Once closeSource or cancelCallback has returned, the callback is not called again with a
//   message of the source that was open before.
// Failures are thrown as RtMidiError, with a message a user can read.

#include <functional>
#include <string>
#include <vector>

class MidiInput {
public:
    using Callback = void (*)(double deltaSeconds, std::vector<unsigned char>* message,
                              void* userData);

    struct Events {
        std::function<void()> sourcesChanged; // a source appeared, went or was renamed
        std::function<void()> systemLost;     // the MIDI system went away; nothing arrives now
    };

    virtual ~MidiInput() = default;

    // Display names of the sources present now, in the system's order.
    virtual std::vector<std::string> sourceNames() = 0;
    // Connects the source of that name; throws when it is not there or cannot be connected.
    virtual void openSource(const std::string& name) = 0;
    // Disconnects the open source, if any.
    virtual void closeSource() = 0;
    virtual void setCallback(Callback callback, void* userData) = 0;
    virtual void cancelCallback() = 0;
};
