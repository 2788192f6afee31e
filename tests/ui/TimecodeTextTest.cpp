// The result readout as text, without a window.

#include "QRV_TimecodeText.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct ReadoutCase {
    std::int64_t frames;
    int fps;
    bool ntsc, negative;
    const char* expected;
};

TEST(TimecodeTextReadout, LeavesOutLeadingZeroUnits) {
    const ReadoutCase cases[] = {
        {0, 24, false, false, "0 frames \u00B7 0.000 s"},
        {1798, 30, true, false, "1\u00A0798 frames \u00B7 59.993 s"},
        {24, 24, true, false, "24 frames \u00B7 1.001 s"},
        {1, 30, true, true, "-1 frames \u00B7 -0.033 s"},
        {1500, 25, false, false, "1\u00A0500 frames \u00B7 1 min 00.000 s"},
        {35637, 25, false, false, "35\u00A0637 frames \u00B7 23 min 45.480 s"},
        {107892, 30, true, false, "107\u00A0892 frames \u00B7 59 min 59.996 s"},
        {90000, 25, false, true, "-90\u00A0000 frames \u00B7 -1 h 00 min 00.000 s"},
        {93085, 25, false, false, "93\u00A0085 frames \u00B7 1 h 02 min 03.400 s"},
        {2589407, 30, true, false, "2\u00A0589\u00A0407 frames \u00B7 23 h 59 min 59.880 s"},
    };
    for (const ReadoutCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.frames) + " at " + std::to_string(c.fps) +
                     (c.ntsc ? " NTSC" : ""));
        EXPECT_EQ(QRV_TimecodeText::readout(c.frames, c.fps, c.ntsc, c.negative),
                  QString::fromUtf8(c.expected));
    }
}

} // namespace
