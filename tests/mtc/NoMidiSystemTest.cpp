// Neither an ALSA sequencer nor a JACK server: the receiver cannot be made, says why, and the
// next request tries again. Runs without the test server, with ALSA configured to no devices.

#include "LogCapture.h"
#include "ZK_MTCReceiver.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <iostream>
#include <unistd.h>

namespace {

// What reaches file descriptor 2 while it lives: libasound and RtMidi write there directly,
// past the log.
class StderrCapture {
public:
    StderrCapture()
        : file_(std::tmpfile())
        , saved_(dup(STDERR_FILENO)) {
        std::fflush(stderr);
        dup2(fileno(file_), STDERR_FILENO);
    }
    ~StderrCapture() {
        restore();
        std::fclose(file_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string text() {
        restore();
        std::string text;
        std::rewind(file_);
        for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_)) {
            text.push_back(static_cast<char>(c));
        }
        return text;
    }

private:
    void restore() {
        if (saved_ >= 0) {
            std::cerr.flush();
            std::fflush(stderr);
            dup2(saved_, STDERR_FILENO);
            close(saved_);
            saved_ = -1;
        }
    }

    std::FILE* file_;
    int saved_;
};

constexpr char kPrefix[] = "Error when initializing Midi system. \nError message ";

TEST(NoMidiSystemTest, CreationFailsWithTheLogLineAndIsRetried) {
    quorvel_test::LogCapture log;
    EXPECT_EQ(ZK_MTCReceiver::sharedObjectInstance(), nullptr);
    EXPECT_EQ(ZK_MTCReceiver::sharedObjectInstance(), nullptr);
    const auto lines = log.expandedLines();
    ASSERT_EQ(lines.size(), 2U);
    for (const std::string& line : lines) {
        EXPECT_TRUE(line.starts_with(kPrefix)) << line;
        EXPECT_GT(line.size(), std::string(kPrefix).size()) << "no library message";
    }
}

// The failure is the log's to report, in its words; a terminal shows nothing else.
TEST(NoMidiSystemTest, NoLibraryWritesToTheTerminal) {
    quorvel_test::LogCapture log;
    StderrCapture terminal;
    EXPECT_EQ(ZK_MTCReceiver::sharedObjectInstance(), nullptr);
    EXPECT_EQ(terminal.text(), "");
    EXPECT_EQ(log.lines().size(), 1U);
}

} // namespace
