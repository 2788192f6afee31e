#pragma once

// Reading and writing the fields of libltc's LTCFrame: the time, which must be a real address
// (BCD digits in range, no skipped drop-frame label), and the user bits in our order (first
// binary group in the high nibble; libltc keeps it in the low one). Pure; any thread.

#include "QRV_Quorvel.h"

#include <cstdint>
#include <ltc.h>
#include <optional>

namespace QRV_LtcFrameBits {

// The frame's time, or nothing when a digit is out of range, the address does not exist in a
// day (frames 30 and over included) or it is a label drop-frame skips.
std::optional<TimeCodeTime> timeOf(const LTCFrame& frame);

std::uint32_t userBitsOf(const LTCFrame& frame);

// True when the frame took twice as long as its bits did: its last edge came only after a
// silence (a dropout, a jump, the end of a stream). Its bits are all there, but it would be
// reported that much late, as if it had just been played.
bool wasInterrupted(const LTCFrameExt& frame);

// libltc's value for ltc_encoder_set_user_bits.
unsigned long libltcUserBits(std::uint32_t userBits);

} // namespace QRV_LtcFrameBits
