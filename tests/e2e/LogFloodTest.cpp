// A busy port logs a line for every message it cannot use. With stderr a pipe that nobody
// reads, the window must go on answering, and close when asked.

#include "LiveWindowFixture.h"
#include "Log.h"

#include <QTimer>
#include <fcntl.h>
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

} // namespace
