#pragma once

// A loaded main window without MIDI (the receiver source gives none), and access to its
// controls by objectName, so every test also checks the window description's names.

#include "QRV_MainWindowController.h"
#include "QRV_TapeStore.h"
#include "QtPrinters.h"
#include "RadioGroup.h"
#include "TextField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMainWindow>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>

using Timecode = std::array<int, 4>; // hours, minutes, seconds, frames

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).clear(); // a first run
        QFile::remove(QRV_TapeStore::defaultPath());
        controller.showWindow();
        // Mouse clicks need the laid-out, exposed window.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(controller.window()));
    }

    template <class Control = platform::TextField> Control* control(const QString& name) const {
        auto* found = controller.window()->findChild<Control*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    platform::TextField* field(const QString& group, int unit) const {
        static const std::array<QString, 4> units{"hours", "minutes", "seconds", "frames"};
        return control(QString("TF_%1_%2").arg(group, units.at(static_cast<std::size_t>(unit))));
    }

    void set(const QString& group, const Timecode& time) {
        for (int unit = 0; unit < 4; ++unit) {
            field(group, unit)->setIntValue(time[static_cast<std::size_t>(unit)]);
        }
    }

    Timecode read(const QString& group) const {
        Timecode time{};
        for (int unit = 0; unit < 4; ++unit) {
            time[static_cast<std::size_t>(unit)] = field(group, unit)->intValue();
        }
        return time;
    }

    // Types into a field as a user would: all of it selected first.
    static void type(platform::TextField* target, const QString& keys) {
        target->setFocus();
        target->selectAll();
        QTest::keyClicks(target, keys);
    }

    // A click on the indicator of a radio button or checkbox, as the user makes it (the
    // widget's centre may lie beyond its label).
    static void clickIndicator(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    // The rate as the user sets it: a click on its row of the rate group.
    void chooseRate(int rate) {
        static const std::array<int, 6> kRates{24, 25, 30, 48, 50, 60};
        const auto row = std::find(kRates.begin(), kRates.end(), rate) - kRates.begin();
        clickIndicator(
            control<platform::RadioGroup>("frameRateRadioGrp")->cellAtRow(static_cast<int>(row)));
    }

    void chooseSubtraction(bool negativeResults) {
        control<QComboBox>("signDropdownMenu")->setCurrentIndex(1);
        control<QCheckBox>("negResultsCheckbox")->setChecked(negativeResults);
    }

    QCheckBox* dropFrameBox() const { return control<QCheckBox>("dropFrameCheckbox"); }
    QString resultSign() const { return control("TF_TCResultSign")->text(); }

    QRV_MainWindowController controller{[] {
        return nullptr;
    }};
};
