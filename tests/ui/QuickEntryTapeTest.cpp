// The quick entry and the tape in the real window, through real key and mouse events: a typed
// calculation shows its result and goes on the tape; the tape sums, copies, sends a line back,
// deletes and undoes, and comes back after a restart.

#include "MainWindowFixture.h"
#include "QRV_TapeModel.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStatusBar>

namespace {

class QuickEntryTape : public MainWindowFixture {
protected:
    QLineEdit* entry() const { return control<QLineEdit>("quickEntry"); }
    QListView* tape() const { return control<QListView>("tapeList"); }
    QString status() const { return controller.window()->statusBar()->currentMessage(); }
    QString sum() const { return control<QLabel>("tapeSum")->text(); }
    QStringList tapeLines() const {
        QStringList lines;
        for (int row = 0; row < tape()->model()->rowCount(); ++row) {
            lines << tape()->model()->index(row, 0).data().toString();
        }
        return lines;
    }
    // Types a line into the entry as a user would, Ctrl+L first, and presses Return.
    void enter(const QString& text) {
        QTest::keyClick(controller.window(), Qt::Key_L, Qt::ControlModifier);
        ASSERT_EQ(QApplication::focusWidget(), entry());
        QTest::keyClicks(entry(), text);
        QTest::keyClick(entry(), Qt::Key_Return);
    }
    void select(std::initializer_list<int> rows) {
        tape()->clearSelection();
        for (int row : rows) {
            tape()->selectionModel()->select(tape()->model()->index(row, 0),
                                             QItemSelectionModel::Select);
        }
    }
};

TEST_F(QuickEntryTape, AnEntryShowsItsResultAndGoesOnTheTape) {
    chooseRate(25);
    enter("1:00:00:00 + 10:00");
    EXPECT_EQ(read("TCResult"), (Timecode{1, 0, 10, 0}));
    enter("* 2");
    EXPECT_EQ(read("TCResult"), (Timecode{2, 0, 20, 0}));
    enter("10:00 / 3");
    EXPECT_EQ(read("TCResult"), (Timecode{0, 0, 3, 8}));
    EXPECT_EQ(status(), "rounded to the nearest frame: 1/3 frame");
    EXPECT_EQ(tapeLines(), QStringList({"1:00:00:00 + 10:00 = 01:00:10:00 \u00B7 25 fps",
                                        "* 2 = 02:00:20:00 \u00B7 25 fps",
                                        "10:00 / 3 = 00:00:03:08 \u00B7 25 fps"}));
    QTest::keyClick(entry(), Qt::Key_Up);
    QTest::keyClick(entry(), Qt::Key_Up);
    EXPECT_EQ(entry()->text(), "* 2");
    QTest::keyClick(entry(), Qt::Key_Escape);
    EXPECT_TRUE(entry()->text().isEmpty());
}

TEST_F(QuickEntryTape, AnErrorLeavesResultAndTapeAsTheyWere) {
    enter("01:00:00:00");
    const Timecode before = read("TCResult");
    const struct {
        const char* text;
        const char* message;
        int caret;
    } cases[] = {{"01:0x", "Can't read \u201c01:0x\u201d at character 5.", 4},
                 {"10:00 / 0", "Can't divide by zero.", 8},
                 {"3 * 10:00", "Put the number after the duration: 10:00 * 3.", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        entry()->clear();
        enter(c.text);
        EXPECT_EQ(status(), c.message);
        EXPECT_EQ(entry()->text(), c.text);
        EXPECT_EQ(entry()->cursorPosition(), c.caret);
        EXPECT_EQ(read("TCResult"), before);
        EXPECT_EQ(tapeLines().size(), 1);
    }
}

TEST_F(QuickEntryTape, TheTapeSumsCopiesSendsBackDeletesAndUndoes) {
    chooseRate(25);
    for (const Timecode& t : {Timecode{0, 1, 0, 0}, Timecode{0, 2, 10, 5}}) {
        set("TCAddr1", t);
        controller.onCalculateBtnClicked();
    }
    chooseRate(30);
    controller.onCalculateBtnClicked();
    select({0, 1});
    EXPECT_EQ(sum(), "\u03A3 2 lines: 00:03:10:05");
    select({1, 2});
    EXPECT_EQ(sum(), "No sum: lines at different rates");

    select({0, 1});
    tape()->setFocus();
    QTest::keySequence(tape(), QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "00:01:00:00\n00:02:10:05");

    const QRect second = tape()->visualRect(tape()->model()->index(1, 0));
    // A double click is a press and release, then a second press that arrives as a double click.
    QTest::mouseClick(tape()->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(tape()->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(read("TCAddr1"), (Timecode{0, 2, 10, 5}));
    EXPECT_EQ(controller.frameRate(), 25); // the line's rate comes back with it

    select({0});
    QTest::keyClick(tape(), Qt::Key_Delete);
    EXPECT_EQ(tapeLines().size(), 2);
    QTest::keyClick(controller.window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(tapeLines().size(), 3);
}

TEST_F(QuickEntryTape, TheTapeComesBackAfterARestartAndAForeignFileIsSetAside) {
    enter("1440f");
    const QStringList before = tapeLines();
    {
        QRV_MainWindowController again([] { return nullptr; });
        again.showWindow();
        auto* list = again.window()->findChild<QListView*>("tapeList");
        ASSERT_EQ(list->model()->rowCount(), before.size());
        EXPECT_EQ(list->model()->index(0, 0).data().toString(), before.first());
    }
    QFile file(QRV_TapeStore::defaultPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a tape at all\n");
    file.close();
    QRV_MainWindowController third([] { return nullptr; });
    third.showWindow();
    EXPECT_EQ(third.window()->findChild<QListView*>("tapeList")->model()->rowCount(), 0);
    const QString message = third.window()->statusBar()->currentMessage();
    EXPECT_TRUE(
        message.contains(QDir::toNativeSeparators(QRV_TapeStore::defaultPath()) + ".unreadable-"))
        << message.toStdString();
}

} // namespace
