// The Convert panel and the film and audio readouts in the real window, through real key and
// mouse events: values typed, pasted or taken from the calculator convert between rates, copy,
// go to an operand and onto the tape; the readouts follow the menu; both are remembered.

#include "MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

class ConvertPanel : public MainWindowFixture {
protected:
    template <class Widget> Widget* named(const QString& accessibleName) const {
        for (auto* widget : controller.window()->findChildren<Widget*>()) {
            if (widget->accessibleName() == accessibleName) {
                return widget;
            }
        }
        ADD_FAILURE() << "nothing is called " << accessibleName.toStdString();
        return nullptr;
    }
    platform::TextField* valueField(int unit) const {
        static const std::array<QString, 4> units{"hours", "minutes", "seconds", "frames"};
        return named<platform::TextField>("Convert " + units.at(static_cast<std::size_t>(unit)));
    }
    QString converted() const { return named<platform::TextField>("Converted")->text(); }
    QString details() const { return control<QLabel>("convertDetails")->text(); }
    QPushButton* button(const QString& text) const {
        for (auto* found : controller.window()->findChildren<QPushButton*>()) {
            if (found->text().remove('&') == text) {
                return found;
            }
        }
        ADD_FAILURE() << "no button " << text.toStdString();
        return nullptr;
    }
    static QList<QAction*> menuItems(const QList<QAction*>& actions) {
        QList<QAction*> all;
        for (QAction* action : actions) {
            all << action;
            if (action->menu() != nullptr) {
                all << menuItems(action->menu()->actions());
            }
        }
        return all;
    }
    QAction* menuItem(const QString& text) const {
        for (QAction* action : menuItems(controller.window()->menuBar()->actions())) {
            if (action->text().remove('&') == text) {
                return action;
            }
        }
        ADD_FAILURE() << "no menu item " << text.toStdString();
        return nullptr;
    }
    // Ctrl+R, then the rates and mode, then the value typed field by field with Tab.
    void convert(const QStringList& keys, const QString& from, const QString& to, bool realTime) {
        if (valueField(0)->isVisible()) {
            valueField(0)->setFocus();
        } else {
            QTest::keyClick(controller.window(), Qt::Key_R, Qt::ControlModifier);
        }
        ASSERT_EQ(QApplication::focusWidget(), valueField(0));
        for (auto [name, text] : {std::pair{"Convert from", from}, std::pair{"Convert to", to}}) {
            auto* box = named<QComboBox>(name);
            box->setCurrentIndex(box->findText(text));
            ASSERT_EQ(box->currentText(), text);
        }
        clickIndicator(named<QRadioButton>(realTime ? "Same real time" : "Same frame count"));
        for (int unit = 0; unit < keys.size(); ++unit) {
            type(valueField(unit), keys.at(unit));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
};

struct Conversion {
    QStringList keys;
    const char* from;
    const char* to;
    bool realTime;
    const char* converted;
    const char* detail;
};

const Conversion kConversions[] = {
    {{"01", "00", "00", "00"},
     "24 fps",
     "25 fps",
     false,
     "00:57:36:00",
     "86\u00A0400 frames \u00B7 57 min 36.000 s"},
    {{"86400f"}, "24 fps", "25 fps", false, "00:57:36:00", "86\u00A0400 frames"},
    {{"01", "00", "00", "00"},
     "25 fps",
     "29.97 fps drop-frame",
     true,
     "01:00:00;00",
     "rounded down by 0.108 of a frame, 3.600 ms"},
    {{"00", "10", "00", "00"}, "23.976 fps", "25 fps", true, "00:10:00:15", "exact"},
    {{"00", "44", "00", "00"},
     "25 fps",
     "29.97 fps drop-frame",
     true,
     "00:43:59;29",
     "rounded up by 0.121 of a frame, 4.033 ms"},
    {{"23", "00", "00", "00"},
     "60 fps",
     "24 fps",
     false,
     "09:30:00:00",
     "past 24 hours, taken round the day"},
    // Out of range as typed: brought into range as an operand is.
    {{"01", "00", "00", "99"}, "24 fps", "48 fps", false, "00:30:00:23", "86\u00A0423 frames"},
};

TEST_F(ConvertPanel, ConvertsWhatIsTypedAndSaysHow) {
    for (const auto& row : kConversions) {
        SCOPED_TRACE(row.keys.join(' ').toStdString() + " " + row.from + " -> " + row.to);
        convert(row.keys, row.from, row.to, row.realTime);
        EXPECT_EQ(converted(), row.converted);
        EXPECT_TRUE(details().contains(row.detail)) << details().toStdString();
    }
}

TEST_F(ConvertPanel, CopiesSendsToAnOperandAndGoesOnTheTape) {
    convert({"01", "00", "00", "00"}, "25 fps", "29.97 fps drop-frame", true);
    QApplication::clipboard()->clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "01:00:00;00");
    named<QComboBox>("Convert to")->setFocus();
    QApplication::clipboard()->clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "01:00:00;00");

    QTest::mouseClick(button("To Operand 2"), Qt::LeftButton);
    EXPECT_EQ(controller.operandText(2), "01:00:00;00");
    EXPECT_EQ(controller.frameRate(), 30);
    EXPECT_TRUE(controller.isDropFrameSelected());

    convert({"01", "00", "00", "00"}, "24 fps", "25 fps", false);
    auto* tape = control<QListView>("tapeList");
    const int rows = tape->model()->rowCount();
    ASSERT_EQ(rows, 2);
    EXPECT_EQ(tape->model()->index(0, 0).data().toString(),
              "01:00:00:00 \u00B7 25 fps \u2192 01:00:00;00 \u00B7 29.97 fps drop-frame, same "
              "real time");
    EXPECT_EQ(tape->model()->index(1, 0).data().toString(),
              "01:00:00:00 \u00B7 24 fps \u2192 00:57:36:00 \u00B7 25 fps, same frames");
}

TEST_F(ConvertPanel, TakesAPastedTimecodeOrTheCalculatorsValues) {
    QTest::keyClick(controller.window(), Qt::Key_R, Qt::ControlModifier);
    QApplication::clipboard()->setText("01:02:03:04");
    QTest::keyClick(valueField(0), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(valueField(1)->text(), "02");
    EXPECT_EQ(valueField(3)->text(), "04");

    chooseRate(25);
    type(field("TCAddr1", 0), "02");
    QTest::keyClick(field("TCAddr1", 0), Qt::Key_Return);
    QTest::mouseClick(button("Use Result"), Qt::LeftButton);
    EXPECT_EQ(named<QComboBox>("Convert from")->currentText(), "25 fps");
    EXPECT_EQ(valueField(0)->text(), "02");
    QTest::mouseClick(button("Use Operand 1"), Qt::LeftButton);
    EXPECT_EQ(valueField(0)->text(), "02");
}

struct Readout {
    bool feet35mm;
    bool feet16mm;
    bool samples;
    const char* sampleRate; // the menu item, or nullptr to leave it
    bool negative;
    const char* secondLine; // empty: no second line
};

const Readout kReadouts[] = {
    {false, false, false, nullptr, false, ""},
    {true, false, false, nullptr, false, "5400+00 (35 mm)"},
    {false, true, false, nullptr, false, "2160+00 (16 mm)"},
    {false, false, true, nullptr, false, "172\u00A0800\u00A0000 samples (48 kHz)"},
    {false, false, true, "Samples at 44.1 kHz", false, "158\u00A0760\u00A0000 samples (44.1 kHz)"},
    {false, false, true, "Samples at 96 kHz", false, "345\u00A0600\u00A0000 samples (96 kHz)"},
    {true, true, true, "Samples at 48 kHz", true,
     "-5400+00 (35 mm) \u00B7 -2160+00 (16 mm) \u00B7 -172\u00A0800\u00A0000 samples (48 kHz)"},
};

TEST_F(ConvertPanel, ReadoutsFollowTheMenuAndCarryTheSign) {
    for (const auto& row : kReadouts) {
        SCOPED_TRACE(row.secondLine);
        if (row.negative) {
            chooseSubtraction(true);
            set("TCAddr1", {0, 0, 0, 0});
            set("TCAddr2", {1, 0, 0, 0});
        } else {
            set("TCAddr1", {1, 0, 0, 0});
        }
        QTest::keyClick(field("TCAddr1", 0), Qt::Key_Return);
        const std::pair<const char*, bool> wanted[] = {{"Feet+Frames, 35 mm", row.feet35mm},
                                                       {"Feet+Frames, 16 mm", row.feet16mm},
                                                       {"Samples", row.samples}};
        for (const auto& [item, on] : wanted) {
            if (menuItem(item)->isChecked() != on) {
                menuItem(item)->trigger();
            }
        }
        if (row.sampleRate != nullptr) {
            menuItem(row.sampleRate)->trigger();
        }
        const QString sign = row.negative ? "-" : "";
        const QString second = *row.secondLine ? QString('\n') + row.secondLine : QString();
        EXPECT_EQ(control<QLabel>("resultReadout")->text(),
                  sign + "86\u00A0400 frames \u00B7 " + sign + "1 h 00 min 00.000 s" + second);
    }
}

TEST_F(ConvertPanel, ChoicesAreRememberedInANewWindow) {
    menuItem("Feet+Frames, 16 mm")->trigger();
    menuItem("Samples")->trigger();
    menuItem("Samples at 96 kHz")->trigger();
    convert({"01", "00", "00", "00"}, "59.94 fps drop-frame", "24 fps", true);

    QRV_MainWindowController again{[] {
        return nullptr;
    }};
    again.showWindow();
    auto find = [&](const QString& name) {
        for (auto* box : again.window()->findChildren<QComboBox*>()) {
            if (box->accessibleName() == name) {
                return box->currentText();
            }
        }
        return QString();
    };
    EXPECT_EQ(find("Convert from"), "59.94 fps drop-frame");
    EXPECT_EQ(find("Convert to"), "24 fps");
    EXPECT_TRUE(again.window()->findChild<QDockWidget*>("convertDock")->isVisible());
    QStringList checked;
    for (auto* action : menuItems(again.window()->menuBar()->actions())) {
        if (action->isCheckable() && action->isChecked()) {
            checked << action->text().remove('&');
        }
    }
    EXPECT_TRUE(checked.contains("Feet+Frames, 16 mm"));
    EXPECT_TRUE(checked.contains("Samples at 96 kHz"));
    EXPECT_FALSE(checked.contains("Feet+Frames, 35 mm"));
}

} // namespace
