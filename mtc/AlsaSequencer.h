#pragma once

// Opening the ALSA sequencer without libasound's own error lines on stderr. Without a
// sequencer (no /dev/snd/seq, or ALSA configured without one) libasound prints "ALSA lib
// seq_hw.c:...: open /dev/snd/seq failed" and RtMidi prints its own line before it throws;
// the caller reports that failure in its own words instead, or falls back to JACK.

// Keeps libasound's error lines off stderr while it lives. The handler is process-wide, as
// JACK's is: construct it only around opening, where no other thread uses ALSA.
class QuietAlsaErrors {
public:
    QuietAlsaErrors();
    ~QuietAlsaErrors();
    QuietAlsaErrors(const QuietAlsaErrors&) = delete;
    QuietAlsaErrors& operator=(const QuietAlsaErrors&) = delete;

private:
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    Handler previous_;
};

// Throws RtMidiError with libasound's reason when the sequencer cannot be opened, so that RtMidi
// is only asked for a sequencer that is there. Call with QuietAlsaErrors in scope.
void requireAlsaSequencer();
