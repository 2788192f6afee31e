#include "MidiOutput.h"

namespace mtcgen {

MidiOutput::~MidiOutput() = default;

} // namespace mtcgen
