#include "AlsaSequencer.h"

#include <alsa/asoundlib.h>
#include <rtmidi/RtMidi.h>
#include <string>

namespace {

void silent(const char*, int, const char*, int, const char*, ...) {}

} // namespace

QuietAlsaErrors::QuietAlsaErrors()
    : previous_(snd_lib_error) {
    snd_lib_error_set_handler(&silent);
}

QuietAlsaErrors::~QuietAlsaErrors() {
    snd_lib_error_set_handler(previous_);
}

void requireAlsaSequencer() {
    snd_seq_t* sequencer = nullptr;
    const int result = snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
    if (result < 0) {
        throw RtMidiError(snd_strerror(result), RtMidiError::DRIVER_ERROR);
    }
    snd_seq_close(sequencer);
}
