#pragma once

// MidiInput on the ALSA sequencer, through RtMidiIn. Source changes are not announced; the
// source list is read afresh whenever it is asked for.
//
// Threading: as MidiInput; the callback runs on RtMidi's input thread.

#include "MidiInput.h"

#include <memory>

class RtMidiIn;

class AlsaMidiInput final : public MidiInput {
public:
    // Throws RtMidiError when there is no ALSA sequencer.
    AlsaMidiInput(const std::string& clientName, std::string portName);
    ~AlsaMidiInput() override;

    std::vector<std::string> sourceNames() override;
    void openSource(const std::string& name) override;
    void closeSource() override;
    void setCallback(Callback callback, void* userData) override;
    void cancelCallback() override;

private:
    std::unique_ptr<RtMidiIn> input_;
    std::string portName_;
    bool hasCallback_ = false;
};
