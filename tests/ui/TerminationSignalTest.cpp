// The real executable, asked to terminate as a session or a shell would: it closes its window
// and ends normally with status 0.

#include <QElapsedTimer>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// Only bound how long a failing test waits (sanitizer builds start slowly).
constexpr int kStartBoundMs = 60'000;
constexpr int kEndBoundMs = 30'000;

// With no MIDI system the window logs the failed start as it loads.
constexpr char kWindowLoaded[] = "Error when initializing Midi system.";

struct SignalCase {
    const char* name;
    int signal;
};

std::ostream& operator<<(std::ostream& out, const SignalCase& c) {
    return out << c.name;
}

class TerminationSignalTest : public ::testing::TestWithParam<SignalCase> {
protected:
    // Bounded: false if the process ended or stayed silent.
    bool waitForWindow(QProcess& app, QByteArray& output) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (!output.contains(kWindowLoaded)) {
            if (app.state() != QProcess::Running || elapsed.hasExpired(kStartBoundMs)) {
                return false;
            }
            app.waitForReadyRead(100);
            output += app.readAll();
        }
        return true;
    }
};

TEST_P(TerminationSignalTest, ClosesTheWindowAndExitsWithZero) {
    QProcess app;
    app.setProcessChannelMode(QProcess::MergedChannels);
    app.start(QStringLiteral(QUORVEL_EXECUTABLE), {});
    ASSERT_TRUE(app.waitForStarted(kStartBoundMs)) << app.errorString().toStdString();
    QByteArray output;
    ASSERT_TRUE(waitForWindow(app, output)) << output.toStdString();

    ASSERT_EQ(::kill(static_cast<pid_t>(app.processId()), GetParam().signal), 0);
    ASSERT_TRUE(app.waitForFinished(kEndBoundMs)) << "still running";
    output += app.readAll();
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(app.exitCode(), 0) << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignalTest,
                         ::testing::Values(SignalCase{"SIGTERM", SIGTERM},
                                           SignalCase{"SIGINT", SIGINT}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
