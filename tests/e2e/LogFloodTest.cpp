// A busy port logs a line for every message it cannot use. With stderr a pipe that nobody
// reads, the window must go on answering, and close when asked.

#include "LiveWindowFixture.h"
#include "Log.h"

#include <QTimer>
#include <fcntl.h>
#include <iostream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

using namespace quorvel_test;

// Points stderr at a pipe that nobody reads, for the life of the object; then drains it so
// that a write still pending finishes before stderr is given back.
class UnreadStderr {
public:
    UnreadStderr() {
        EXPECT_EQ(pipe(fds_), 0);
        saved_ = dup(STDERR_FILENO);
        dup2(fds_[1], STDERR_FILENO);
    }
    ~UnreadStderr() {
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        close(fds_[1]);
        fcntl(fds_[0], F_SETFL, O_NONBLOCK);
        char buffer[4096];
        for (int idle = 0; idle < 20;) {
            idle = read(fds_[0], buffer, sizeof buffer) > 0 ? 0 : idle + 1;
            std::this_thread::sleep_for(10ms);
        }
        close(fds_[0]);
    }
    UnreadStderr(const UnreadStderr&) = delete;
    UnreadStderr& operator=(const UnreadStderr&) = delete;

private:
    int fds_[2] = {-1, -1};
    int saved_ = -1;
};

class LogFlood : public LiveWindowFixture {};

TEST_F(LogFlood, AnUnreadStderrNeverFreezesTheWindow) {
    auto source = makeSource("quorvel-flood");
    showWindow();
    pick("quorvel-flood");
    platform::Log::setSink({}); // to stderr, as in the app
    const UnreadStderr unread;

    // Clock ticks, notes and odd system-exclusive messages, each logged as unrecognised.
    std::atomic<bool> flooding = true;
    std::jthread flood([&] {
        const std::vector<mtcgen::Message> junk = {
            {0xF8}, {0x90, 0x40, 0x7F}, {0xF0, 0x01, 0x02, 0x03, 0x04, 0x05, 0xF7}};
        const auto end = std::chrono::steady_clock::now() + 10s;
        for (unsigned i = 0; std::chrono::steady_clock::now() < end; ++i) {
            source->sendMessage(junk[i % junk.size()]);
            if (i % 20 == 0) {
                std::this_thread::sleep_for(1ms);
            }
        }
        flooding = false;
    });

    // The window answers: its timer keeps firing and typing reaches the fields.
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(50);
    for (int second = 0; flooding; ++second) {
        platform::TextField* target = field("TCAddr1", second % 4);
        target->setIntValue(0);
        target->setFocus();
        target->selectAll();
        QTest::keyClicks(target, "1");
        EXPECT_EQ(target->text(), "01");
        runEvents(1s);
    }
    EXPECT_GT(ticks, 20); // a frozen loop would show none

    controller.window()->close();
    EXPECT_FALSE(controller.window()->isVisible());
}

// ---- How much reaches stderr ----

// Clock, notes, quarter frames and odd system-exclusive messages, at 50,000 a second.
void floodMixed(mtcgen::MidiOutput& out, std::chrono::seconds length) {
    const std::vector<mtcgen::Message> mixed = {
        {0xF8}, {0x90, 0x40, 0x7F}, {0xF1, 0x00}, {0xF0, 0x01, 0x02, 0x03, 0x04, 0xF7},
        {0xF8}, {0x80, 0x40, 0x00}, {0xF1, 0x10}, {0xF0, 0x01, 0x02, 0x03, 0x04, 0x05, 0xF7}};
    const auto start = std::chrono::steady_clock::now();
    for (std::uint64_t sent = 0;;) {
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (elapsed >= length) {
            return;
        }
        const auto due =
            static_cast<std::uint64_t>(std::chrono::duration<double>(elapsed).count() * 50'000);
        for (; sent < due; ++sent) {
            out.sendMessage(mixed[sent % mixed.size()]);
        }
        std::this_thread::sleep_for(1ms);
    }
}

// Points stderr at a pipe for the life of the object; text() reads what arrived, without
// waiting. The pipe holds 64 KiB, past which the log's writer waits for a read.
class StderrPipe {
public:
    StderrPipe() {
        EXPECT_EQ(pipe(fds_), 0);
        fcntl(fds_[0], F_SETFL, O_NONBLOCK);
        saved_ = dup(STDERR_FILENO);
        dup2(fds_[1], STDERR_FILENO);
    }
    // With the read end closed, a write still waiting fails instead of hanging.
    ~StderrPipe() {
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        close(fds_[1]);
        close(fds_[0]);
    }
    StderrPipe(const StderrPipe&) = delete;
    StderrPipe& operator=(const StderrPipe&) = delete;

    const std::string& text() {
        char buffer[4096];
        for (ssize_t n; (n = read(fds_[0], buffer, sizeof buffer)) > 0;) {
            text_.append(buffer, static_cast<std::size_t>(n));
        }
        return text_;
    }

private:
    int fds_[2] = {-1, -1};
    int saved_ = -1;
    std::string text_;
};

bool isSummary(const std::string& line) {
    return line.starts_with("… and ");
}

// The log's seconds: each stretch of lines up to and including the summaries that end it;
// the last stretch has not ended yet.
std::vector<std::vector<std::string>> secondsOf(const std::string& text) {
    std::vector<std::vector<std::string>> seconds(1);
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!isSummary(line) && !seconds.back().empty() && isSummary(seconds.back().back())) {
            seconds.emplace_back();
        }
        seconds.back().push_back(line);
    }
    if (!seconds.back().empty() && isSummary(seconds.back().back())) {
        seconds.emplace_back();
    }
    return seconds;
}

std::string withoutDigits(std::string line) {
    std::erase_if(line, [](char c) { return c >= '0' && c <= '9'; });
    return line;
}

TEST_F(LogFlood, MixedFloodStaysWithinTheBytesOfEachSecond) {
    auto source = makeSource("quorvel-flood");
    showWindow();
    pick("quorvel-flood");
    platform::Log::setSink({});
    StderrPipe stderrText;
    constexpr auto kFlood = 5s;
    std::jthread flood([&] { floodMixed(*source, kFlood); });
    runEvents(kFlood);
    flood.join();
    std::cout << "mixed flood: " << stderrText.text().size() / kFlood.count()
              << " bytes a second on stderr\n";

    // The second going on when the flood stops is summed up without another line.
    ASSERT_TRUE(NotificationRecorder::waitUntil(
        [&] {
            const auto seconds = secondsOf(stderrText.text());
            return seconds.size() > 1 && std::ranges::none_of(seconds.back(), [](const auto& l) {
                       return l.find("Different length") != std::string::npos;
                   });
        },
        10s));

    // Any second of the wall clock spans at most two of the log's seconds.
    const auto seconds = secondsOf(stderrText.text());
    EXPECT_GE(seconds.size(), 3U);
    for (const auto& second : seconds) {
        std::size_t bytes = 0;
        std::map<std::string, int> kinds;
        for (const std::string& line : second) {
            bytes += line.size() + 1;
            const bool note = isSummary(line) || line.starts_with("last message repeated");
            EXPECT_LE(note ? 1 : ++kinds[withoutDigits(line)], 10) << line;
        }
        EXPECT_LT(bytes, 10'000U);
    }
}

} // namespace
