// Whole timecodes in and out of the window, through the clipboard and real key and mouse
// events; the drop-frame separator; the result's readouts and its stale mark; the menu.

#include "MainWindowFixture.h"
#include "QRV_TimecodeText.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace {

// ---- Text forms, without a window ----

struct ParseCase {
    const char* text;
    std::optional<Timecode> units;
    bool dropFrameMark;
};

TEST(TimecodeText, ReadsWholeTimecodesOnly) {
    const ParseCase cases[] = {
        {"01:02:03:04", Timecode{1, 2, 3, 4}, false},
        {" 01:00:00;00 ", Timecode{1, 0, 0, 0}, true},
        {"\t10:20:30.15\n", Timecode{10, 20, 30, 15}, true},
        {"10:20:30,15", Timecode{10, 20, 30, 15}, true},
        {"01020304", Timecode{1, 2, 3, 4}, false},
        {"99:99:99:99", Timecode{99, 99, 99, 99}, false}, // brought into range by the window
        {"hello", std::nullopt, false},
        {"1:02:03:04", std::nullopt, false},
        {"01;02;03;04", std::nullopt, false},
        {"0102030", std::nullopt, false},
        {"01:02:03:04:05", std::nullopt, false},
        {"-01:02:03:04", std::nullopt, false},
    };
    for (const ParseCase& c : cases) {
        const auto pasted = QRV_TimecodeText::parse(c.text);
        ASSERT_EQ(pasted.has_value(), c.units.has_value()) << c.text;
        if (pasted) {
            EXPECT_EQ(pasted->units, *c.units) << c.text;
            EXPECT_EQ(pasted->dropFrameMark, c.dropFrameMark) << c.text;
        }
    }
}

TEST(TimecodeText, ReadoutGivesFramesAndRealDuration) {
    struct Case {
        std::int64_t frames;
        int fps;
        bool ntsc, negative;
        const char* expected;
    };
    const Case cases[] = {
        {90000, 25, false, false, "90\u00A0000 frames \u00B7 1 h 00 min 00.000 s"},
        {107892, 30, true, false, "107\u00A0892 frames \u00B7 59 min 59.996 s"},
        {1, 30, true, true, "-1 frames \u00B7 -0.033 s"},
        {2589407, 30, true, false, "2\u00A0589\u00A0407 frames \u00B7 23 h 59 min 59.880 s"},
        {0, 24, false, false, "0 frames \u00B7 0.000 s"},
        // Leading zero units are left out; the next one down keeps two digits.
        {1798, 30, true, false, "1\u00A0798 frames \u00B7 59.993 s"},
        {1500, 25, false, false, "1\u00A0500 frames \u00B7 1 min 00.000 s"},
        {35637, 25, false, false, "35\u00A0637 frames \u00B7 23 min 45.480 s"},
        {90000, 25, false, true, "-90\u00A0000 frames \u00B7 -1 h 00 min 00.000 s"},
        {93085, 25, false, false, "93\u00A0085 frames \u00B7 1 h 02 min 03.400 s"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QRV_TimecodeText::readout(c.frames, c.fps, c.ntsc, c.negative), c.expected)
            << c.frames;
    }
}

// ---- In the window ----

class Entry : public MainWindowFixture {
protected:
    static QClipboard* clipboard() { return QGuiApplication::clipboard(); }

    static void pasteInto(platform::TextField* target, const QString& text) {
        clipboard()->setText(text);
        target->setFocus();
        target->selectAll(); // as tabbing in leaves it
        QTest::keySequence(target, QKeySequence::Paste);
    }
    static QString copyFrom(platform::TextField* source) {
        clipboard()->clear();
        source->setFocus();
        QTest::keySequence(source, QKeySequence::Copy);
        return clipboard()->text();
    }
    QString status() const { return controller.window()->statusBar()->currentMessage(); }
    QString separator(const char* group) const {
        return control<QLabel>(QString("colon_%1_3").arg(group))->text();
    }
    bool resultDimmed() const { return field("TCResult", 0)->property("dimmed").toBool(); }
    void calculate(const Timecode& a, const Timecode& b) {
        set("TCAddr1", a);
        set("TCAddr2", b);
        controller.onCalculateBtnClicked();
    }
};

TEST_F(Entry, PastingAWholeTimecodeFillsTheOperandFromAnyOfItsFields) {
    struct Case {
        const char* text;
        Timecode expected;
    };
    for (const Case& c : {Case{"01:02:03:04", {1, 2, 3, 4}}, Case{" 01:00:00;00 ", {1, 0, 0, 0}},
                          Case{"01020304", {1, 2, 3, 4}}}) {
        for (const char* group : {"TCAddr1", "TCAddr2"}) {
            const char* other = group == std::string("TCAddr1") ? "TCAddr2" : "TCAddr1";
            for (int unit = 0; unit < 4; ++unit) {
                set("TCAddr1", {9, 9, 9, 9});
                set("TCAddr2", {9, 9, 9, 9});
                pasteInto(field(group, unit), c.text);
                EXPECT_EQ(read(group), c.expected) << c.text << " into " << group << unit;
                EXPECT_EQ(read(other), (Timecode{9, 9, 9, 9})) << c.text;
            }
        }
    }
}

TEST_F(Entry, PastedValuesAreValidatedAndADropFrameMarkAtAnotherRateIsReported) {
    const QString reported = "A drop-frame timecode was pasted; it is counted at 24 fps.";
    pasteInto(field("TCAddr1", 0), "25:61:00:30"); // at 24 fps
    EXPECT_EQ(read("TCAddr1"), (Timecode{1, 1, 0, 6}));
    EXPECT_NE(status(), reported);

    pasteInto(field("TCAddr2", 3), "00:01:00;00");
    EXPECT_EQ(read("TCAddr2"), (Timecode{0, 1, 0, 0}));
    EXPECT_EQ(status(), reported);

    chooseRate(30);
    clickIndicator(dropFrameBox());
    controller.window()->statusBar()->clearMessage();
    pasteInto(field("TCAddr2", 3), "00:01:00;00"); // moved off the skipped label
    EXPECT_EQ(read("TCAddr2"), (Timecode{0, 1, 0, 2}));
    EXPECT_NE(status(), reported);
}

TEST_F(Entry, OtherPastedTextGoesThroughTheFormatterAsBefore) {
    set("TCAddr1", {1, 2, 3, 4});
    pasteInto(field("TCAddr1", 1), "hello");
    EXPECT_EQ(field("TCAddr1", 1)->text(), "02");
    pasteInto(field("TCAddr1", 1), "1234"); // not two digits: refused
    EXPECT_EQ(field("TCAddr1", 1)->text(), "02");
    EXPECT_EQ(read("TCAddr2"), (Timecode{0, 0, 0, 0}));
}

TEST_F(Entry, CopyGivesOneTimecodeWithItsSignAndDropFrameMark) {
    calculate({1, 2, 3, 4}, {0, 0, 0, 0});
    EXPECT_EQ(copyFrom(field("TCResult", 2)), "01:02:03:04");

    chooseSubtraction(true);
    calculate({0, 0, 0, 0}, {0, 0, 0, 1});
    EXPECT_EQ(copyFrom(field("TCResult", 0)), "-00:00:00:01");
    EXPECT_EQ(field("TCResult", 3)->accessibleDescription(), "Result -00:00:00:01");

    chooseRate(30);
    clickIndicator(dropFrameBox());
    calculate({1, 0, 0, 0}, {0, 0, 0, 0});
    clipboard()->clear();
    QTest::mouseClick(control<QToolButton>("copyResultBtn"), Qt::LeftButton);
    EXPECT_EQ(clipboard()->text(), "01:00:00;00");

    set("TCAddr2", {0, 0, 10, 5});
    EXPECT_EQ(copyFrom(field("TCAddr2", 1)), "00:00:10;05"); // the whole field: the operand
    field("TCAddr2", 3)->setSelection(1, 1);
    QTest::keySequence(field("TCAddr2", 3), QKeySequence::Copy);
    EXPECT_EQ(clipboard()->text(), "5"); // part of it copies as always
}

// The field's context menu, opened with the mouse; its Paste item chosen once it shows.
TEST_F(Entry, TheContextMenusPasteTakesAWholeTimecode) {
    clipboard()->setText("02:03:04:05");
    platform::TextField* target = field("TCAddr2", 2);
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith("&Paste")) {
                action->trigger();
            }
        }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                            target->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(target, &event);
    EXPECT_EQ(read("TCAddr2"), (Timecode{2, 3, 4, 5}));
}

TEST_F(Entry, ClickingIntoAFieldKeepsTheFirstDigitTyped) {
    platform::TextField* minutes = field("TCAddr1", 1);
    QTest::mouseClick(minutes, Qt::LeftButton, {},
                      QPoint(minutes->width() - 2, minutes->height() / 2));
    QTest::keyClicks(minutes, "4");
    EXPECT_EQ(minutes->text(), "04");
    QTest::keyClicks(minutes, "7");
    EXPECT_EQ(minutes->text(), "47");
}

TEST_F(Entry, TheSeparatorBeforeTheFramesFollowsTheDropFrameBox) {
    for (const char* group : {"TCAddr1", "TCAddr2", "TCResult"}) {
        EXPECT_EQ(separator(group), ":");
    }
    chooseRate(30);
    clickIndicator(dropFrameBox());
    for (const char* group : {"TCAddr1", "TCAddr2", "TCResult"}) {
        EXPECT_EQ(separator(group), ";");
    }
    EXPECT_EQ(separator("IncTC"), ":"); // the incoming row follows the timecode heard
    clickIndicator(dropFrameBox());
    EXPECT_EQ(separator("TCResult"), ":");
}

TEST_F(Entry, ReadoutsGiveTheResultsFramesAndDuration) {
    auto* readout = control<QLabel>("resultReadout");
    chooseRate(25);
    calculate({1, 0, 0, 0}, {0, 0, 0, 0});
    EXPECT_EQ(readout->text(), "90\u00A0000 frames \u00B7 1 h 00 min 00.000 s");
    chooseRate(30);
    clickIndicator(dropFrameBox());
    calculate({1, 0, 0, 0}, {0, 0, 0, 0});
    EXPECT_EQ(readout->text(), "107\u00A0892 frames \u00B7 59 min 59.996 s");
}

TEST_F(Entry, AResultIsMarkedStaleWhenAnyInputChangesUntilRecalculated) {
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"operand typed",
         [this] {
             type(field("TCAddr2", 3), "7");
         }},
        {"rate",
         [this] {
             chooseRate(25);
         }},
        {"drop-frame",
         [this] {
             chooseRate(30);
             controller.onCalculateBtnClicked();
             clickIndicator(dropFrameBox());
         }},
        {"operation",
         [this] {
             chooseSubtraction(false);
         }},
        {"negative results",
         [this] {
             chooseSubtraction(false);
             controller.onCalculateBtnClicked();
             control<QCheckBox>("negResultsCheckbox")->setChecked(true);
         }},
    };
    EXPECT_FALSE(resultDimmed()); // nothing calculated yet
    for (const auto& [what, change] : changes) {
        controller.onCalculateBtnClicked();
        EXPECT_FALSE(resultDimmed()) << what;
        change();
        EXPECT_TRUE(resultDimmed()) << what;
        EXPECT_TRUE(control<QLabel>("resultReadout")->property("dimmed").toBool()) << what;
    }
    controller.onCalculateBtnClicked();
    EXPECT_FALSE(resultDimmed());
}

TEST_F(Entry, MenuCarriesTheCommandsAndQuitClosesTheWindow) {
    QStringList titles;
    for (QAction* menu : controller.window()->menuBar()->actions()) {
        for (QAction* action : menu->menu()->actions()) {
            if (!action->isSeparator()) {
                titles << action->text().remove('&') + " " + action->shortcut().toString();
            }
        }
    }
    EXPECT_EQ(titles,
              QStringList({"Export Tape… ", "Quit Ctrl+Q", "Copy Result Ctrl+Shift+C",
                           "Paste into Operand 1 ", "Paste into Operand 2 ",
                           "Undo Tape Change Ctrl+Z", "Clear Tape ", "Large Timecode F11",
                           "Tape Ctrl+T", "Convert Ctrl+R", "Readouts ", "Quick Entry Ctrl+L",
                           "Calculate Return", "Swap Operands ", "Capture to Operand 1 Ctrl+1",
                           "Capture to Operand 2 Ctrl+2", "About Quorvel "}));
    EXPECT_EQ(control<QComboBox>("signDropdownMenu")->accessibleName(), "Operation");
    QTest::keyClick(controller.window(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(controller.window()->isVisible());
}

} // namespace
