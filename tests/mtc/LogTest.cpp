// The log: exact lines, repeats collapsed, and a writer of its own, so that a destination
// that stops taking lines never stops the threads that log.

#include "Log.h"

#include "LogCapture.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using platform::Log;

// Only bounds how long a failing test waits.
constexpr auto kBound = 10s;

// Runs write with stderr redirected into a pipe and returns what reached it.
template <class Write> std::string stderrOf(Write write) {
    int fds[2];
    if (pipe(fds) != 0) {
        return "pipe failed";
    }
    const int saved = dup(STDERR_FILENO);
    dup2(fds[1], STDERR_FILENO);
    write();
    Log::flush(kBound);
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(fds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    return text;
}

TEST(LogTest, WritesTheTextAndOneLineEnd) {
    EXPECT_EQ(stderrOf([] { Log::write("%s", "\t\t\tMessage received but not recognized"); }),
              "\t\t\tMessage received but not recognized\n");
    EXPECT_EQ(stderrOf([] { Log::write("### ZK_MTCReceiver -- Different length : %i", 3); }),
              "### ZK_MTCReceiver -- Different length : 3\n");
}

TEST(LogTest, SinkTakesTheLinesAndEmptySinkRestoresStderr) {
    const std::string written = stderrOf([] {
        quorvel_test::LogCapture capture;
        Log::write("External TC Stopped");
        EXPECT_EQ(capture.lines(), Lines{"External TC Stopped"});
    });
    EXPECT_EQ(written, "");
    EXPECT_EQ(stderrOf([] { Log::write("back"); }), "back\n");
}

// ---- Repeats ----

struct CollapseCase {
    const char* label;
    Lines written;
    Lines expected; // after a flush
};

std::ostream& operator<<(std::ostream& out, const CollapseCase& c) {
    return out << c.label;
}

class CollapseTest : public ::testing::TestWithParam<CollapseCase> {};

TEST_P(CollapseTest, WritesTheFirstAndCountsTheRepeats) {
    quorvel_test::LogCapture log;
    for (const std::string& line : GetParam().written) {
        Log::write("%s", line.c_str());
    }
    EXPECT_EQ(log.lines(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CollapseTest,
    ::testing::Values(
        CollapseCase{"RepeatsThenAnotherLine",
                     {"a", "a", "a", "b"},
                     {"a", "last message repeated 2 times", "b"}},
        CollapseCase{"RepeatsUntilTheFlush", {"a", "a"}, {"a", "last message repeated 1 times"}},
        CollapseCase{"AlternatingLines", {"a", "b", "a", "b"}, {"a", "b", "a", "b"}},
        CollapseCase{
            "TwoRuns",
            {"a", "b", "b", "a", "a"},
            {"a", "b", "last message repeated 1 times", "a", "last message repeated 1 times"}},
        CollapseCase{"EmptyLines", {"", "", ""}, {"", "last message repeated 2 times"}}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- The writer's own destination, watched without flushing ----

// A sink that can be held shut, as a stderr pipe nobody reads would be.
class LogSinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        Log::setSink([this](const std::string& line) {
            std::unique_lock lock(mutex_);
            entered_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return !held_; });
            seen_.push_back(line);
            changed_.notify_all();
        });
    }
    void TearDown() override {
        release();
        Log::setSink({});
    }

    void hold() {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    void release() {
        const std::lock_guard lock(mutex_);
        held_ = false;
        changed_.notify_all();
    }
    bool waitUntilEntered() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kBound, [this] { return entered_; });
    }
    bool waitUntilSeen(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kBound, [&] { return seen_.size() >= count; });
    }
    Lines seen() {
        const std::lock_guard lock(mutex_);
        return seen_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool entered_ = false;
    Lines seen_;
};

class RepeatTimeoutTest : public LogSinkTest, public ::testing::WithParamInterface<bool> {};

// Without a flush or another line, the count still comes out: after the last repeat, and
// while repeats keep coming.
TEST_P(RepeatTimeoutTest, SummaryComesWithoutAFlush) {
    const bool flood = GetParam();
    Log::write("tick");
    Log::write("tick");
    std::atomic<bool> summarised = false;
    std::thread flooding([&] {
        while (flood && !summarised) {
            Log::write("tick");
            std::this_thread::sleep_for(1ms);
        }
    });
    const bool arrived = waitUntilSeen(2);
    summarised = true;
    flooding.join();
    ASSERT_TRUE(arrived);
    const Lines lines = seen();
    EXPECT_EQ(lines[0], "tick");
    unsigned long repeats = 0;
    EXPECT_EQ(std::sscanf(lines[1].c_str(), "last message repeated %lu times", &repeats), 1)
        << lines[1];
    EXPECT_GE(repeats, 1U);
    if (!flood) {
        EXPECT_EQ(lines, (Lines{"tick", "last message repeated 1 times"}));
    }
}

INSTANTIATE_TEST_SUITE_P(Repeats, RepeatTimeoutTest, ::testing::Bool(), [](const auto& info) {
    return info.param ? "DuringAFlood" : "AfterTheLastRepeat";
});

TEST_F(LogSinkTest, BlockedDestinationDropsLinesAndCountsThem) {
    hold();
    Log::write("first");
    ASSERT_TRUE(waitUntilEntered()); // the writer is stuck in the sink

    constexpr std::size_t kWritten = 3000;
    auto writing = std::async(std::launch::async, [] {
        for (std::size_t i = 0; i < kWritten; ++i) {
            Log::write("line %zu", i);
        }
    });
    const bool returned = writing.wait_for(kBound) == std::future_status::ready;
    const bool flushedWhileHeld = Log::flush(100ms);
    release();
    ASSERT_TRUE(returned) << "write waited for the destination";
    EXPECT_FALSE(flushedWhileHeld);
    ASSERT_TRUE(Log::flush(kBound));

    // The lines that fitted, in order, then how many did not.
    const Lines lines = seen();
    ASSERT_GE(lines.size(), 2U);
    EXPECT_EQ(lines.front(), "first");
    const std::size_t kept = lines.size() - 2;
    for (std::size_t i = 0; i < kept; ++i) {
        ASSERT_EQ(lines[i + 1], "line " + std::to_string(i));
    }
    std::size_t dropped = 0;
    ASSERT_EQ(std::sscanf(lines.back().c_str(), "%zu log lines dropped", &dropped), 1)
        << lines.back();
    EXPECT_EQ(lines.back(), std::to_string(dropped) + " log lines dropped");
    EXPECT_GT(dropped, 0U);
    EXPECT_EQ(kept + dropped, kWritten);

    Log::write("after");
    ASSERT_TRUE(Log::flush(kBound));
    EXPECT_EQ(seen().back(), "after");
}

TEST_F(LogSinkTest, LinesFromManyThreadsArriveWholeAndInOrder) {
    constexpr int kThreads = 4;
    constexpr int kLines = 200; // all fit in the queue
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kLines; ++i) {
                Log::write("thread %d line %d", t, i);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    ASSERT_TRUE(Log::flush(kBound));
    int next[kThreads] = {};
    for (const std::string& line : seen()) {
        int t = -1;
        int i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d", &t, &i), 2) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        EXPECT_EQ(i, next[t]++) << line;
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(next[t], kLines) << "thread " << t;
    }
}

// ---- Exit ----

// A pipe whose buffer is full and which nobody reads: a write to it blocks.
void blockStderr() {
    int fds[2];
    if (pipe(fds) != 0) {
        std::_Exit(3);
    }
    fcntl(fds[1], F_SETFL, O_NONBLOCK);
    const char chunk[4096] = {};
    while (::write(fds[1], chunk, sizeof chunk) > 0) {
    }
    fcntl(fds[1], F_SETFL, 0);
    dup2(fds[1], STDERR_FILENO);
}

TEST(LogDeathTest, WritesReturnAndExitEndsWhileStderrIsBlocked) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            alarm(60); // a hang ends as SIGALRM, not as a clean exit
            blockStderr();
            for (int i = 0; i < 5000; ++i) {
                Log::write("line %d", i);
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
