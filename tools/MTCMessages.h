#pragma once

// Byte builders for the MIDI Time Code and MIDI Machine Control messages that Quorvel reads:
// quarter frames, full frames and the MMC Stop, Start and Locate commands. Rates are the
// two-bit MTC rate code (0 = 24, 1 = 25, 2 = 29.97 drop-frame, 3 = 30 fps).
//
// Threading: pure functions; any thread.

#include "QRV_Quorvel.h"

#include <vector>

namespace mtcgen {

using Message = std::vector<unsigned char>;

// MMC device identity that every device answers to.
inline constexpr unsigned char kAllDevices = 0x7F;

TimeCodeDef timeCodeDef(int rateCode);
double framesPerSecond(int rateCode);

// time advanced by frames (>= 0) at the rate, drop-frame numbering at 29.97; wraps at 24 h.
TimeCodeTime addFrames(const TimeCodeTime& time, int rateCode, int frames);

// One quarter frame (piece 0-7) of the cycle that carries time.
Message quarterFrame(const TimeCodeTime& time, int rateCode, int piece);
std::vector<Message> quarterFrameCycle(const TimeCodeTime& time, int rateCode);

Message fullFrame(const TimeCodeTime& time, int rateCode);

Message mmcCommand(unsigned char command, unsigned char device = kAllDevices);
Message mmcStop(unsigned char device = kAllDevices);
Message mmcStart(unsigned char device = kAllDevices);
Message mmcLocate(const TimeCodeTime& time, int rateCode, unsigned char device = kAllDevices,
                  unsigned char subframes = 0);

} // namespace mtcgen
