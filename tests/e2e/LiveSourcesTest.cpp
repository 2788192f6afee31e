// Sources as users meet them: they quit while the menu is open, come back, start after
// Quorvel; streams carry junk before the timecode; the user types while timecode runs.

#include "LiveWindowFixture.h"
#include "MTCMessages.h"

#include <QProcess>
#include <QSignalSpy>

namespace {

using namespace quorvel_test;

class LiveSources : public LiveWindowFixture {
protected:
    // Plays at the stream's pace on a thread of its own until the object goes.
    static std::jthread playInBackground(mtcgen::MidiOutput& out, const TimeCodeTime& start) {
        return std::jthread([&out, start](const std::stop_token& stop) {
            mtcgen::MTCStream stream(start, 1);
            mtcgen::PacedSender paced(out, stream.quarterFrameInterval());
            while (!stop.stop_requested()) {
                paced.send(stream.next());
            }
        });
    }

    static std::string quoted(const std::string& client) {
        return "\u201c" + sourceName(client) + "\u201d";
    }
    std::string statusText() const { return status().toStdString(); }
};

// A quits while the menu that lists it is open. Picking A says so; picking B then plays B,
// not C, which now stands where B stood.
TEST_F(LiveSources, APickIsMadeByNameNotByPosition) {
    auto a = makeSource("quorvel-abc-a");
    auto b = makeSource("quorvel-abc-b");
    auto c = makeSource("quorvel-abc-c");
    showWindow();
    openMenu();
    a.reset();
    ASSERT_TRUE(JackGraph().waitForCycles(3, 30s));
    runEvents(200ms);
    clickItem(sources()->findText(QString::fromStdString(sourceName("quorvel-abc-a"))));
    EXPECT_EQ(statusText(), quoted("quorvel-abc-a") + " is no longer available.");

    pick("quorvel-abc-b");
    EXPECT_EQ(statusText(), "Listening to " + quoted("quorvel-abc-b") + ".");
    EXPECT_FALSE(menuItems().contains(QString::fromStdString(sourceName("quorvel-abc-a"))));
    QSignalSpy hoursShown(field("IncTC", 0), &QLineEdit::textChanged);
    const std::jthread fromC = playInBackground(*c, {3, 0, 0, 0});
    const TimeCodeTime last = play(*b, {2, 0, 0, 0}, 1, 12);
    EXPECT_EQ(read("IncTC"), timecodeOf(last));
    for (const QList<QVariant>& shown : hoursShown) {
        EXPECT_NE(shown.at(0).toString(), "03") << "C was heard";
    }
}

TEST_F(LiveSources, ASourceStartedLaterIsListedWithoutOpeningTheMenu) {
    showWindow();
    EXPECT_TRUE(menuItems().isEmpty());
    auto late = makeSource("quorvel-late");
    EXPECT_TRUE(NotificationRecorder::waitUntil(
        [this] { return menuItems().contains(QString::fromStdString(sourceName("quorvel-late"))); },
        10s));
    pick("quorvel-late");
    expectHeard(*late, {4, 0, 0, 0});
}

// As the command line's --source does: the first source whose name begins with the text.
TEST_F(LiveSources, ASourceChosenByTheStartOfItsNameIsHeard) {
    auto source = makeSource("quorvel-named-source");
    showWindow();
    EXPECT_FALSE(controller.chooseSourceNamed("quorvel-no-such"));
    EXPECT_EQ(statusText(), "No MIDI source named \u201cquorvel-no-such\u201d was found; it will "
                            "be heard as soon as it appears.");
    ASSERT_TRUE(controller.chooseSourceNamed("quorvel-named"));
    EXPECT_EQ(statusText(), "Listening to " + quoted("quorvel-named-source") + ".");
    expectHeard(*source, {5, 0, 0, 0});
}

// The generator program as a user runs it: its full-frame message is shown at once and can
// be captured, with no quarter frame after it.
TEST_F(LiveSources, TheGeneratorsFullFrameIsShownAndCaptured) {
    showWindow();
    QProcess generator;
    generator.start(QUORVEL_MTC_SEND,
                    {"--client", "quorvel-generator", "--full-frame", "--rate", "30", "--from",
                     "03:04:05:06", "--seconds", "0", "--delay", "5"});
    // It plays once the delay has passed; its port is listed as soon as it is open.
    ASSERT_TRUE(NotificationRecorder::waitUntil(
        [this] {
            return menuItems().contains(QString::fromStdString(sourceName("quorvel-generator")));
        },
        10s));
    pick("quorvel-generator");
    EXPECT_TRUE(NotificationRecorder::waitUntil(
        [this] {
            return read("IncTC") == Timecode{3, 4, 5, 6};
        },
        15s));
    QTest::mouseClick(control<QPushButton>("captureToTCAddr1Btn"), Qt::LeftButton);
    EXPECT_EQ(read("TCAddr1"), (Timecode{3, 4, 5, 6}));
    ASSERT_TRUE(generator.waitForFinished(10000));
    EXPECT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
}

TEST_F(LiveSources, ASourceThatQuitsAndComesBackIsHeardAgainByItself) {
    auto source = makeSource("quorvel-comeback");
    showWindow();
    pick("quorvel-comeback");
    play(*source, {1, 0, 0, 0}, 1, 4);

    source.reset();
    const QString disconnected =
        QString::fromStdString(sourceName("quorvel-comeback")) + " (disconnected)";
    EXPECT_TRUE(NotificationRecorder::waitUntil(
        [&] { return sources()->currentText() == disconnected; }, 10s));
    EXPECT_EQ(statusText(), quoted("quorvel-comeback") + " was disconnected.");

    source = makeSource("quorvel-comeback");
    EXPECT_TRUE(NotificationRecorder::waitUntil(
        [this] { return status().endsWith("is back: listening to it again."); }, 10s))
        << status().toStdString();
    EXPECT_EQ(sources()->currentText(), QString::fromStdString(sourceName("quorvel-comeback")));
    ASSERT_TRUE(JackGraph().waitForCycles(3, 30s));
    expectHeard(*source, {5, 0, 0, 0});
}

// A system-exclusive message cut off before its end must not swallow what follows.
TEST_F(LiveSources, ATruncatedSysExDoesNotSilenceTheStreamAfterIt) {
    auto source = makeSource("quorvel-sysex");
    showWindow();
    pick("quorvel-sysex");
    source->sendMessage({0xF0, 0x7E, 0x7F, 0x06, 0x01});
    source->sendMessage({0xF8});
    expectHeard(*source, {6, 0, 0, 0});
}

class TypingDuringAStream : public LiveSources, public ::testing::WithParamInterface<int> {};

// Every operand field takes two typed digits while timecode at that rate is shown.
TEST_P(TypingDuringAStream, EveryOperandFieldTakesTypedDigits) {
    auto source = makeSource("quorvel-typing");
    showWindow();
    pick("quorvel-typing");
    play(*source, {0, 0, 10, 0}, GetParam(), 40, [this] {
        for (const char* group : {"TCAddr1", "TCAddr2"}) {
            for (int unit = 0; unit < 4; ++unit) {
                platform::TextField* target = field(group, unit);
                QTest::mouseClick(target, Qt::LeftButton);
                target->selectAll();
                QTest::keyClicks(target, "12");
                EXPECT_EQ(target->text(), "12") << group << " " << unit;
                runEvents(30ms); // records keep coming meanwhile
                EXPECT_EQ(target->text(), "12") << group << " " << unit;
            }
        }
    });
    EXPECT_EQ(read("TCAddr1"), (Timecode{12, 12, 12, 12}));
    EXPECT_EQ(read("TCAddr2"), (Timecode{12, 12, 12, 12}));
}

std::string rateName(const ::testing::TestParamInfo<int>& info) {
    static const char* const kNames[] = {"fps24", "fps25", "fps29_97DropFrame"};
    return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(Rates, TypingDuringAStream, ::testing::Values(0, 1, 2), rateName);

// Captured values stay counted as they were shown: 29.97 drop-frame, the box free again.
TEST_F(LiveSources, ADropFrameStreamThatStopsLeavesDropFrameTicked) {
    auto source = makeSource("quorvel-dropframe");
    showWindow();
    pick("quorvel-dropframe");
    // Cycles are two frames apart: the last of 20 carries 00:00:59;00 + 38 frames.
    const TimeCodeTime last = play(*source, {0, 0, 59, 0}, 2, 20);
    ASSERT_EQ(timecodeOf(last), (Timecode{0, 1, 0, 10}));
    waitForStop(1);
    EXPECT_TRUE(dropFrameBox()->isChecked());
    EXPECT_TRUE(dropFrameBox()->isEnabled());
    EXPECT_TRUE(controller.isDropFrameSelected());
    EXPECT_EQ(controller.frameRate(), 30);
    click("captureToTCAddr1Btn");
    set("TCAddr2", {0, 0, 59, 28});
    controller.setSignMinusSelected(true);
    click("calculateBtn");
    EXPECT_EQ(read("TCAddr1"), timecodeOf(last));
    EXPECT_EQ(read("TCResult"), (Timecode{0, 0, 0, 10})); // 12 on a 30 non-drop grid
}

} // namespace
