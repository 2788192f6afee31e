// What Quorvel remembers between runs: the window is destroyed and made again as at a restart,
// and a damaged settings file is ignored value by value.

#include "MainWindowFixture.h"
#include "QRV_LargeTimecodeWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <memory>

namespace {

using Controller = std::unique_ptr<QRV_MainWindowController>;

Controller openWindow() {
    auto made = std::make_unique<QRV_MainWindowController>([] { return nullptr; });
    made->showWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(made->window()));
    return made;
}

template <class Control> Control* find(const Controller& controller, const char* name) {
    return controller->window()->findChild<Control*>(name);
}

QString settingsFile() {
    return QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).fileName();
}

void writeSettingsFile(const QByteArray& contents) {
    QDir().mkpath(QFileInfo(settingsFile()).absolutePath());
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

TEST(Settings, ChoicesAndGeometryComeBackAfterARestart) {
    Controller first = openWindow();
    first->setFrameRate(60);
    find<QCheckBox>(first, "dropFrameCheckbox")->setChecked(true);
    find<QComboBox>(first, "signDropdownMenu")->setCurrentIndex(1);
    find<QCheckBox>(first, "negResultsCheckbox")->setChecked(true);
    first->toggleLargeTimecode();
    first->window()->resize(900, 700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->window()->width() == 900; }));
    first.reset();

    Controller second = openWindow();
    EXPECT_EQ(second->frameRate(), 60);
    EXPECT_TRUE(second->isDropFrameSelected());
    EXPECT_TRUE(second->isNTSCRate());
    EXPECT_TRUE(second->isSignMinusSelected());
    EXPECT_TRUE(find<QCheckBox>(second, "negResultsCheckbox")->isChecked());
    EXPECT_EQ(second->window()->size(), QSize(900, 700));
    ASSERT_NE(second->largeTimecodeWindow(), nullptr);
    EXPECT_TRUE(second->largeTimecodeWindow()->isVisible());
}

TEST(Settings, ADamagedFileIsIgnoredValueByValue) {
    const std::pair<const char*, QByteArray> files[] = {
        {"binary junk", QByteArray("\x00\xff\x13[[[=\n\x7f", 10)},
        {"values out of range", "[calculator]\nframeRate=33\ndropFrame=maybe\nntsc=true\n[window]"
                                "\ngeometry=@ByteArray(x)\n"},
    };
    for (const auto& [what, contents] : files) {
        SCOPED_TRACE(what);
        writeSettingsFile(contents);
        Controller controller = openWindow();
        ASSERT_TRUE(controller->window()->isVisible());
        EXPECT_EQ(controller->frameRate(), 24);
        EXPECT_FALSE(controller->isDropFrameSelected());
    }
    // The readable value in the second file still applies.
    EXPECT_TRUE(openWindow()->isNTSCRate());
}

} // namespace
