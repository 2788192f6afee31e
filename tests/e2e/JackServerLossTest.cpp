// The JACK server goes away while a source plays, and comes back: Quorvel says so, keeps
// calculating, and hears the source again by itself. The test runs a server of its own (the
// one named by JACK_DEFAULT_SERVER), since it stops it.

#include "LiveWindowFixture.h"

#include <QLabel>
#include <QSettings>
#include <cstdlib>

namespace {

using namespace quorvel_test;

// Started and stopped through the test fixture's script, which also stops a server of this
// name left over from an interrupted run.
class JackServerLoss : public LiveWindowFixture {
protected:
    void TearDown() override {
        LiveWindowFixture::TearDown();
        server("stop");
    }

    static bool server(const std::string& action) {
        const std::string command = std::string(QUORVEL_JACK_FIXTURE_SCRIPT) + " " + action + " " +
                                    std::getenv("JACK_DEFAULT_SERVER") + " " +
                                    QUORVEL_JACK_STATE_DIR;
        return std::system(command.c_str()) == 0;
    }
};

TEST_F(JackServerLoss, IsReportedAndAServerThatComesBackIsUsedAgain) {
    ASSERT_TRUE(server("start"));
    auto source = makeSource("quorvel-lost");
    showWindow();
    pick("quorvel-lost");
    play(*source, {1, 0, 0, 0}, 1, 4);

    source.reset();
    ASSERT_TRUE(server("stop"));
    EXPECT_TRUE(NotificationRecorder::waitUntil(
        [this] { return status() == "MIDI input lost: the JACK server stopped."; }, 10s))
        << status().toStdString();
    EXPECT_EQ(sources()->currentText(), "quorvel-lost:MTC out (disconnected)");

    // The calculator carries on, at the rate the stream left.
    set("TCAddr1", {0, 0, 1, 0});
    set("TCAddr2", {0, 0, 0, 24});
    click("calculateBtn");
    EXPECT_EQ(read("TCResult"), (Timecode{0, 0, 1, 24}));

    ASSERT_TRUE(server("start"));
    source = makeSource("quorvel-lost");
    EXPECT_TRUE(NotificationRecorder::waitUntil(
        [this] {
            return status() == "MIDI input is back: listening to \u201cquorvel-lost:MTC out\u201d.";
        },
        5s))
        << status().toStdString();
    ASSERT_TRUE(JackGraph().waitForCycles(3, 30s));
    const TimeCodeTime last = play(*source, {7, 0, 0, 0}, 1, 8);
    EXPECT_EQ(read("IncTC"), timecodeOf(last));
}

// Quorvel started before the JACK server: the panel says there is no MIDI system until a server
// appears, and the source remembered from the last run is heard as soon as it is there.
TEST_F(JackServerLoss, AServerStartedAfterTheWindowIsFoundAndTheRememberedSourceHeard) {
    ASSERT_TRUE(server("stop"));
    QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"))
        .setValue("midi/source", QString::fromStdString(sourceName("quorvel-late")));
    controller.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(controller.window()));
    EXPECT_EQ(controller.tcReceiver(), nullptr);
    EXPECT_TRUE(control<QLabel>("midiSystemNotice")->isVisible());
    EXPECT_EQ(sources()->currentText(), "quorvel-late:MTC out (disconnected)");

    ASSERT_TRUE(server("start"));
    auto source = makeSource("quorvel-late");
    EXPECT_TRUE(NotificationRecorder::waitUntil(
        [this] { return menuItems().contains("quorvel-late:MTC out"); }, 5s))
        << menuItems().join(", ").toStdString();
    EXPECT_FALSE(control<QLabel>("midiSystemNotice")->isVisible());
    // "ready: listening to …" or, when the source came after the server, "back: listening …".
    EXPECT_TRUE(status().contains("listening")) << status().toStdString();
    ASSERT_TRUE(JackGraph().waitForCycles(3, 30s));
    const TimeCodeTime last = play(*source, {2, 0, 0, 0}, 1, 8);
    EXPECT_EQ(read("IncTC"), timecodeOf(last));
}

} // namespace
