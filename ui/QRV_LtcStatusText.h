#pragma once

// The live status line while LTC is heard: "25 fps · running · ×1.00 · −18 dBFS", with
// "reverse" when the timecode runs backwards, "detecting rate…" until the rate is known, and
// "signal too low" / "no LTC in this signal" when there is nothing to decode. Pure; any thread.

#include "QRV_LtcState.h"

#include <QString>

namespace QRV_LtcStatusText {

// Below this the signal is too low to be read reliably.
inline constexpr float kLowestLevelDbfs = -36.0F;

QString describe(const QRV_LtcState& state, bool running);
// "×1.00"; three decimals when the speed is within 0.1 % of 1 but not 1 (e.g. "×0.999").
QString speed(double speed);
// "−18 dBFS", with a true minus sign.
QString level(float dbfs);
// "User bits: 0000ABCD".
QString userBits(std::uint32_t bits);

} // namespace QRV_LtcStatusText
