// What the live status line says about an LTC signal: each row is a state a reader of the
// line must not misread (a speed that rounds to 1 but is not, a level sign, a weak signal).

#include "QRV_LtcStatusText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Signal = QRV_LtcState::Signal;

struct Row {
    const char* name;
    QRV_LtcState state;
    bool running;
    const char* expected;
};

const Row kRows[] = {
    {"nothing connected", {Signal::NoSource, -1, 0, -200, false}, false, "no timecode yet"},
    {"silence",
     {Signal::Silent, -1, 0, -std::numeric_limits<float>::infinity(), false},
     false,
     "signal too low"},
    {"sound without timecode",
     {Signal::NoTimecode, -1, 0, -12, false},
     false,
     "no LTC in this signal"},
    {"too quiet to decode", {Signal::NoTimecode, -1, 0, -50, false}, false, "signal too low"},
    {"before 40 frames", {Signal::Timecode, -1, 0, -18, false}, true, "detecting rate\u2026"},
    {"normal play",
     {Signal::Timecode, 1, 1.0, -18.2F, false},
     true,
     "25 fps \u00B7 running \u00B7 \u00D71.00 \u00B7 \u221218 dBFS"},
    {"backwards, slow",
     {Signal::Timecode, 2, 0.9, -20, true},
     true,
     "29.97 fps drop-frame \u00B7 running \u00B7 reverse \u00B7 \u00D70.90 \u00B7 \u221220 dBFS"},
    {"29.97 heard as 30",
     {Signal::Timecode, 3, 1000.0 / 1001.0, -6, false},
     true,
     "30 fps \u00B7 running \u00B7 \u00D70.999 \u00B7 \u22126 dBFS"},
    {"measured a hair off 1",
     {Signal::Timecode, 0, 1.0002, -6, false},
     false,
     "24 fps \u00B7 stopped \u00B7 \u00D71.00 \u00B7 \u22126 dBFS"},
    {"decoded but weak",
     {Signal::Timecode, 1, 1.1, -50, false},
     true,
     "25 fps \u00B7 running \u00B7 \u00D71.10 \u00B7 signal too low"},
    {"full scale",
     {Signal::Timecode, 1, 1.0, 0, false},
     true,
     "25 fps \u00B7 running \u00B7 \u00D71.00 \u00B7 0 dBFS"},
};

TEST(LtcStatusText, SaysWhatTheSignalIs) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(QRV_LtcStatusText::describe(row.state, row.running).toStdString(), row.expected);
    }
}

TEST(LtcStatusText, UserBitsAreEightHexadecimalDigits) {
    EXPECT_EQ(QRV_LtcStatusText::userBits(0x00AB0C1DU).toStdString(), "User bits: 00AB0C1D");
}

} // namespace
