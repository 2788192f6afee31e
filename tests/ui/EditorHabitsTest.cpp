// What an editor meets in the first minutes: every keystroke counts, the fields only ever hold
// digits, validation says what it changed, Return calculates from anywhere in the calculator,
// the window keeps its size, and assistive technology hears the texts that change.

#include "MainWindowFixture.h"
#include "QRV_LargeTimecodeWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <functional>

namespace {

class EditorHabits : public MainWindowFixture {
protected:
    QString status() const { return controller.window()->statusBar()->currentMessage(); }
    QComboBox* operation() const { return control<QComboBox>("signDropdownMenu"); }
    // Keys as a user types them, into whichever widget has the focus.
    static void typeIntoFocus(const QString& keys) {
        QTest::keyClicks(QApplication::focusWidget(), keys);
    }
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
};

// However the focus arrives, the field's two digits are selected, so "12" gives 12.
TEST_F(EditorHabits, TheFirstDigitTypedCountsHoweverTheFocusArrived) {
    const std::pair<const char*, std::function<void()>> arrivals[] = {
        {"start-up",
         [] {
         }},
        {"Return",
         [this] {
             field("TCAddr1", 0)->setFocus();
             typeIntoFocus("5");
             press(Qt::Key_Return);
         }},
        {"Swap",
         [this] {
             field("TCAddr1", 0)->setFocus();
             controller.onSwapTCAddressesBtnClicked();
         }},
        {"click",
         [this] {
             QTest::mouseClick(field("TCAddr1", 0), Qt::LeftButton);
         }},
        {"code",
         [this] {
             field("TCAddr1", 0)->setFocus();
         }},
    };
    for (const auto& [how, arrive] : arrivals) {
        SCOPED_TRACE(how);
        arrive();
        ASSERT_EQ(QApplication::focusWidget(), field("TCAddr1", 0));
        typeIntoFocus("12");
        EXPECT_EQ(field("TCAddr1", 0)->text(), "12");
    }
}

TEST_F(EditorHabits, PlusAndMinusInAnOperandChooseTheOperation) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int operation;
    };
    const Case cases[] = {{Qt::Key_Minus, {}, 1},
                          {Qt::Key_Plus, {}, 0},
                          {Qt::Key_Minus, Qt::KeypadModifier, 1},
                          {Qt::Key_Plus, Qt::KeypadModifier, 0}};
    field("TCAddr2", 2)->setFocus();
    for (const Case& c : cases) {
        press(c.key, c.modifiers);
        EXPECT_EQ(operation()->currentIndex(), c.operation) << c.key;
        EXPECT_EQ(controller.isSignMinusSelected(), c.operation == 1);
        EXPECT_EQ(field("TCAddr2", 2)->text(), "00");
    }
}

TEST_F(EditorHabits, PastesThatAreNotATimecodeOrTwoDigitsAreRefused) {
    set("TCAddr1", {1, 2, 3, 4});
    for (const char* text : {":00", "567", "3:4", "hello", "1+2"}) {
        SCOPED_TRACE(text);
        controller.window()->statusBar()->clearMessage();
        QGuiApplication::clipboard()->setText(text);
        field("TCAddr1", 1)->setFocus();
        QTest::keySequence(field("TCAddr1", 1), QKeySequence::Paste);
        EXPECT_EQ(read("TCAddr1"), (Timecode{1, 2, 3, 4}));
        EXPECT_EQ(status(), "The clipboard holds no timecode.");
    }
    QGuiApplication::clipboard()->setText(" 7 "); // as typed: shifts in from the right
    QTest::keySequence(field("TCAddr1", 1), QKeySequence::Paste);
    EXPECT_EQ(field("TCAddr1", 1)->text(), "27");
}

TEST_F(EditorHabits, ValidationSaysWhatItChanged) {
    struct Case {
        const char* what;
        std::function<void()> act;
        const char* message;
    };
    const Case cases[] = {
        {"frames past the rate",
         [this] {
             chooseRate(30);
             type(field("TCAddr1", 3), "50");
             press(Qt::Key_Tab);
         },
         "Operand 1 frames 50 is past 29 at 30 fps: now 20."},
        {"hours past the day",
         [this] {
             type(field("TCAddr2", 0), "31");
             press(Qt::Key_Tab);
         },
         "Operand 2 hours 31 is past 23: now 07."},
        {"a rate that has fewer frames",
         [this] {
             chooseRate(30);
             set("TCAddr2", {0, 0, 0, 29});
             chooseRate(24);
         },
         "At 24 fps, operand 2 frames 29 became 05."},
        {"a label drop-frame skips",
         [this] {
             chooseRate(30);
             clickIndicator(dropFrameBox());
             set("TCAddr1", {0, 1, 0, 0});
             controller.onCalculateBtnClicked();
         },
         "00:01:00;00 does not exist in drop-frame: now 00:01:00;02."},
        {"several at once",
         [this] {
             set("TCAddr1", {31, 0, 0, 0});
             set("TCAddr2", {0, 75, 0, 0});
             controller.onCalculateBtnClicked();
         },
         "Operand 1 hours 31 is past 23: now 07. 1 other value changed too."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        chooseRate(25);
        set("TCAddr1", {0, 0, 0, 0});
        set("TCAddr2", {0, 0, 0, 0});
        controller.window()->statusBar()->clearMessage();
        c.act();
        EXPECT_EQ(status(), c.message);
    }
}

TEST_F(EditorHabits, ReturnCalculatesFromEveryControlOfTheCalculatorOnly) {
    const std::pair<const char*, bool> controls[] = {
        {"TF_TCAddr2_frames", true}, {"signDropdownMenu", true}, {"negResultsCheckbox", true},
        {"dropFrameCheckbox", true}, {"ntscCheckbox", true},     {"MIDIPortDropDownMenu", false},
    };
    chooseSubtraction(true); // enables the negative-results box
    chooseRate(30);          // enables drop-frame and NTSC
    for (const auto& [name, calculates] : controls) {
        SCOPED_TRACE(name);
        set("TCAddr1", {1, 0, 0, 0});
        set("TCResult", {0, 0, 0, 0});
        auto* widget = control<QWidget>(name);
        widget->setEnabled(true);
        widget->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), widget);
        press(Qt::Key_Return);
        EXPECT_EQ(read("TCResult")[0], calculates ? 1 : 0);
    }
    set("TCResult", {0, 0, 0, 0});
    control<platform::RadioGroup>("frameRateRadioGrp")->cellAtRow(2)->setFocus();
    press(Qt::Key_Enter);
    EXPECT_EQ(read("TCResult")[0], 1);
}

TEST_F(EditorHabits, TabReachesCopyAndButtonsTakeTheFocus) {
    control<QPushButton>("calculateBtn")->setFocus();
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<QToolButton>("copyResultBtn"));
    EXPECT_FALSE(control<QPushButton>("calculateBtn")->isDefault()); // its frame hid the focus
    set("TCAddr1", {0, 0, 3, 0});
    press(Qt::Key_Return); // a focused button is pressed, as everywhere
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "00:00:00:00");
}

TEST_F(EditorHabits, CopyingAResultThatIsOutOfDateSaysSo) {
    set("TCAddr1", {0, 0, 1, 0});
    controller.onCalculateBtnClicked();
    controller.window()->statusBar()->clearMessage();
    controller.onCopyResultClicked();
    EXPECT_TRUE(status().isEmpty()); // a current result needs no word
    set("TCAddr1", {0, 0, 2, 0});
    controller.onCopyResultClicked();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "00:00:01:00");
    EXPECT_EQ(status(),
              "Copied 00:00:01:00, which is out of date: Calculate for the current result.");
}

TEST_F(EditorHabits, TheWindowKeepsItsSizeAndGivesSpaceToTheLiveDigits) {
    QMainWindow* window = controller.window();
    const QSize calculator = control<QWidget>("calculatorGroup")->size();
    const int digits = field("IncTC", 0)->font().pointSize();
    const QSize before = window->size();
    chooseSubtraction(true);
    set("TCAddr1", {0, 0, 0, 0});
    set("TCAddr2", {23, 59, 59, 23});
    controller.onCalculateBtnClicked();
    QApplication::processEvents();
    EXPECT_EQ(window->size(), before); // the longest readout fits from the start

    window->resize(before * 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->size() == before * 2; }));
    QApplication::processEvents();
    EXPECT_EQ(control<QWidget>("calculatorGroup")->size(), calculator);
    EXPECT_GT(field("IncTC", 0)->font().pointSize(), digits);
}

TEST_F(EditorHabits, LargeTimecodeOpensWithF11AndFollowsTheStream) {
    EXPECT_EQ(controller.largeTimecodeWindow(), nullptr);
    QTest::keyClick(controller.window(), Qt::Key_F11);
    QRV_LargeTimecodeWindow* large = controller.largeTimecodeWindow();
    ASSERT_NE(large, nullptr);
    EXPECT_TRUE(large->isVisible());
    TCData record{};
    record.time = {1, 2, 3, 4};
    record.rateCode = 2;
    controller.setTCValueToUserInterface(record);
    QApplication::processEvents();
    auto* digits = large->findChild<QLabel*>("largeTimecode");
    ASSERT_NE(digits, nullptr);
    EXPECT_EQ(digits->text(), "01:02:03;04");
    EXPECT_EQ(large->findChild<QLabel*>("largeTimecodeStatus")->text(),
              "29.97 fps drop-frame \u00B7 running");
}

TEST_F(EditorHabits, AssistiveTechnologyHearsTheTextsThatChange) {
    controller.onCalculateBtnClicked();
    for (const char* name : {"resultReadout", "incomingStatus"}) {
        auto* label = control<QLabel>(name);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label);
        ASSERT_NE(accessible, nullptr) << name;
        EXPECT_EQ(accessible->text(QAccessible::Name), label->text()) << name;
        EXPECT_FALSE(label->text().isEmpty()) << name;
    }
    QAccessibleInterface* popup = QAccessible::queryAccessibleInterface(operation());
    QStringList labels;
    for (const auto& [label, relation] : popup->relations(QAccessible::Label)) {
        labels << label->text(QAccessible::Name);
    }
    EXPECT_TRUE(labels.contains("Operation")) << labels.join(", ").toStdString();
    EXPECT_EQ(popup->text(QAccessible::Value), "+");
}

} // namespace
