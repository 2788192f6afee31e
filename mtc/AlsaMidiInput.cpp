#include "AlsaMidiInput.h"

#include "AlsaSequencer.h"

#include <algorithm>
#include <rtmidi/RtMidi.h>

namespace {

std::unique_ptr<RtMidiIn> openInput(const std::string& clientName) {
    const QuietAlsaErrors quiet;
    requireAlsaSequencer();
    return std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, clientName);
}

} // namespace

AlsaMidiInput::AlsaMidiInput(const std::string& clientName, std::string portName)
    : input_(openInput(clientName))
    , portName_(std::move(portName)) {
    // Nothing is filtered: system exclusive, quarter frames, clock and sensing all arrive.
    input_->ignoreTypes(false, false, false);
}

AlsaMidiInput::~AlsaMidiInput() = default;

std::vector<std::string> AlsaMidiInput::sourceNames() {
    std::vector<std::string> names;
    const unsigned int count = input_->getPortCount();
    for (unsigned int i = 0; i < count; ++i) {
        names.push_back(input_->getPortName(i));
    }
    return names;
}

void AlsaMidiInput::openSource(const std::string& name) {
    const std::vector<std::string> names = sourceNames();
    const auto found = std::ranges::find(names, name);
    if (found == names.end()) {
        throw RtMidiError("the source is no longer there", RtMidiError::INVALID_PARAMETER);
    }
    input_->openPort(static_cast<unsigned int>(found - names.begin()), portName_);
}

void AlsaMidiInput::closeSource() {
    input_->closePort();
}

void AlsaMidiInput::setCallback(Callback callback, void* userData) {
    input_->setCallback(callback, userData);
    hasCallback_ = true;
}

// RtMidi warns on stderr when asked to cancel a callback it does not have.
void AlsaMidiInput::cancelCallback() {
    if (hasCallback_) {
        input_->cancelCallback();
        hasCallback_ = false;
    }
}
