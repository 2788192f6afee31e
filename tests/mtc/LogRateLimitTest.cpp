// What reaches stderr under floods: a few lines of each kind a second, then a summary, and
// never more bytes than a second's budget.

#include "QRV_LogRateLimit.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <regex>

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using platform::QRV_LogRateLimit;

constexpr QRV_LogRateLimit::Limits kLimits{
    .linesPerKind = 10, .bytesPerSecond = 8000, .kinds = 256};
const std::string kLength = "### ZK_MTCReceiver -- Different length : ";
const std::string kUnknown = "\t\t\tMessage received but not recognized";

// At atMs, the line is offered `times` times (0: time only passes); with repeats, the
// note that the last of them came that many more times follows.
struct Burst {
    int atMs;
    std::string line;
    int times = 1;
    std::uint64_t repeats = 0;
};

struct Out {
    std::string line;
    int times = 1;
};

struct LimitCase {
    const char* label;
    std::vector<Burst> bursts;
    std::vector<Out> expected;
};

std::ostream& operator<<(std::ostream& out, const LimitCase& c) {
    return out << c.label;
}

// As the log's writer drives it: a second that has ended is summed up before the next line.
Lines written(QRV_LogRateLimit& limit, const std::vector<Burst>& bursts) {
    const QRV_LogRateLimit::Clock::time_point start{1h};
    Lines out;
    for (const Burst& burst : bursts) {
        const Lines summaries = limit.rollOver(start + std::chrono::milliseconds(burst.atMs));
        out.insert(out.end(), summaries.begin(), summaries.end());
        for (int i = 0; i < burst.times; ++i) {
            if (limit.admit(burst.line)) {
                out.push_back(burst.line);
            }
        }
        const std::string note =
            "last message repeated " + std::to_string(burst.repeats) + " times";
        if (burst.repeats > 0 && limit.admitRepeats(note, burst.repeats)) {
            out.push_back(note);
        }
    }
    return out;
}

class LogRateLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(LogRateLimitTest, WritesUpToTheLimitAndSumsUpTheRest) {
    QRV_LogRateLimit limit(kLimits);
    Lines expected;
    for (const Out& out : GetParam().expected) {
        expected.insert(expected.end(), static_cast<std::size_t>(out.times), out.line);
    }
    EXPECT_EQ(written(limit, GetParam().bursts), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Floods, LogRateLimitTest,
    ::testing::Values(
        LimitCase{"TenASecondThenOneSummary",
                  {{0, kLength + "1", 607}, {0, kLength + "3", 607}, {1000, "", 0}},
                  {{kLength + "1", 10}, {"… and 1,204 more “Different length” lines"}}},
        LimitCase{"KindsAreIndependent",
                  {{0, kLength + "1", 12}, {0, kUnknown, 11}, {1000, "", 0}},
                  {{kLength + "1", 10},
                   {kUnknown, 10},
                   {"… and 2 more “Different length” lines"},
                   {"… and 1 more “Message received but not recognized” line"}}},
        LimitCase{"RareLineBetweenFloodsAtOnce",
                  {{0, kLength + "1", 50}, {400, "External TC Stopped"}, {500, kLength + "3", 50}},
                  {{kLength + "1", 10}, {"External TC Stopped"}}},
        LimitCase{"SecondEndsASecondAfterItsFirstLine",
                  {{0, kLength + "1", 10}, {999, kLength + "1"}, {1000, kLength + "1"}},
                  {{kLength + "1", 10}, {"… and 1 more “Different length” line"}, {kLength + "1"}}},
        LimitCase{
            "NothingHeldNoSummary", {{0, kLength + "1", 10}, {1000, "", 0}}, {{kLength + "1", 10}}},
        LimitCase{"RepeatsOfAWrittenLineNoted",
                  {{0, "tick", 1, 5}, {1000, "", 0}},
                  {{"tick"}, {"last message repeated 5 times"}}},
        LimitCase{"RepeatsOfAHeldLineCounted",
                  {{0, kLength + "1", 11, 5}, {1000, "", 0}},
                  {{kLength + "1", 10}, {"… and 6 more “Different length” lines"}}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(LogRateLimitTest, NamesAKindByItsWords) {
    const std::pair<std::string, std::string> cases[] = {
        {kLength + "3", "Different length"},
        {kUnknown, "Message received but not recognized"},
        {"1976 log lines dropped", "log lines dropped"},
        {"### ZK_MTCReceiver -- Impossible time ignored : 00:01:02:03, rate code 1",
         "Impossible time ignored rate code"},
        {"Error when initializing Midi system. \nNo JACK.",
         "Error when initializing Midi system. No JACK"},
        {"12:30:00", "(no words)"},
        {"x" + std::string(31, 'y') + "ä ää ää ää ää", "x" + std::string(31, 'y') + "ä ää ää ä…"},
    };
    for (const auto& [line, name] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(QRV_LogRateLimit::kindName(line), name);
    }
}

std::uint64_t countIn(const std::string& summary) {
    static const std::regex count("… and ([0-9,]+) more .*");
    std::smatch match;
    if (!std::regex_match(summary, match, count)) {
        return 0;
    }
    std::string digits = match[1].str();
    std::erase(digits, ',');
    return std::stoull(digits);
}

// Random words of 625 kinds, more than a second can track or name: the budget holds, and
// every line is written or counted.
TEST(LogRateLimitTest, ManyKindsStayWithinTheBytes) {
    QRV_LogRateLimit limit(kLimits);
    std::mt19937 rng(17);
    std::uniform_int_distribution<int> letter('a', 'e');
    std::uint64_t accounted = 0;
    for (int second = 0; second <= 3; ++second) {
        Lines out = limit.rollOver(QRV_LogRateLimit::Clock::time_point{1h + 1s * second});
        for (int i = 0; second < 3 && i < 5000; ++i) {
            std::string line = "unknown word ";
            std::generate_n(std::back_inserter(line), 4, [&] { return char(letter(rng)); });
            if (limit.admit(line)) {
                out.push_back(line);
            }
        }
        std::size_t bytes = 0;
        for (const std::string& line : out) {
            bytes += line.size() + 1;
            accounted += std::max<std::uint64_t>(countIn(line), 1);
        }
        EXPECT_LE(bytes, kLimits.bytesPerSecond) << "second " << second;
        EXPECT_TRUE(second == 0 || out.back().ends_with("more lines of other kinds")) << second;
    }
    EXPECT_EQ(accounted, 3 * 5000U);
}

} // namespace
