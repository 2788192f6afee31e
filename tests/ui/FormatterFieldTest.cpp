// The two-digit formatter driven through a real TextField with real key events.
#include "NotificationCenter.h"
#include "QtPrinters.h"
#include "TextField.h"
#include "TextFieldDelegate.h"
#include "ZK_TCInputFormatter.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <climits>
#include <gtest/gtest.h>
#include <optional>

using platform::TextField;
using platform::TextRange;

namespace {

constexpr TextRange kAll{0, 2};

// Records every "ZKTCRelValueRequest" with its sign and sender.
struct RelValueRequests {
    RelValueRequests() {
        platform::NotificationCenter::defaultCenter().addObserver(
            this,
            [this](const platform::Notification& n) {
                signs.push_back(n.valueForKey(ZKTCRelPlusMinusKey)->stringValue());
                senders.push_back(n.object);
            },
            ZKTCRelValueRequestNotification);
    }
    ~RelValueRequests() { platform::NotificationCenter::defaultCenter().removeObserver(this); }
    std::vector<std::string> signs;
    std::vector<const void*> senders;
};

class FormatterFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        field.setFormatter(&formatter);
        field.show();
        field.setFocus();
    }

    void start(const QString& text, TextRange selection) {
        field.setStringValue(text);
        field.setSelectedRange(selection);
    }

    void paste(const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    }

    ZK_TCInputFormatter formatter;
    TextField field;
    RelValueRequests requests;
};

enum class Edit { Type, Backspace, Delete, Paste };

struct EditCase {
    const char* name;
    QString before;
    TextRange selection;
    Edit edit;
    QString input; // typed characters or pasted text
    QString after;
    TextRange selectionAfter;
    std::string posted; // sign of the posted request, empty for none
};

class WorkedExample : public FormatterFieldTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(WorkedExample, EditEndsAsTheFormatterSays) {
    const EditCase& c = GetParam();
    start(c.before, c.selection);
    switch (c.edit) {
    case Edit::Type:
        QTest::keyClicks(&field, c.input);
        break;
    case Edit::Backspace:
        QTest::keyClick(&field, Qt::Key_Backspace);
        break;
    case Edit::Delete:
        QTest::keyClick(&field, Qt::Key_Delete);
        break;
    case Edit::Paste:
        paste(c.input);
        break;
    }
    EXPECT_EQ(field.text(), c.after);
    EXPECT_EQ(field.selectedRange(), c.selectionAfter);
    if (c.posted.empty()) {
        EXPECT_TRUE(requests.signs.empty());
    } else {
        EXPECT_EQ(requests.signs, std::vector<std::string>{c.posted});
        EXPECT_EQ(requests.senders, std::vector<const void*>{&formatter});
    }
}

INSTANTIATE_TEST_SUITE_P(
    FormatterField, WorkedExample,
    ::testing::Values(
        EditCase{"DigitShiftsIn", "12", kAll, Edit::Type, "3", "23", kAll, ""},
        EditCase{"DigitShiftsInAgain", "23", kAll, Edit::Type, "4", "34", kAll, ""},
        EditCase{"DeleteAllGivesZero", "12", kAll, Edit::Backspace, "", "00", kAll, ""},
        EditCase{"ThirdDigitAtEndDropped", "12", {2, 0}, Edit::Type, "3", "12", kAll, ""},
        EditCase{"ThirdDigitAtStartPushesLastOut", "12", {0, 0}, Edit::Type, "3", "31", kAll, ""},
        EditCase{"BackspaceAtEndRotates", "12", {2, 0}, Edit::Backspace, "", "21", kAll, ""},
        EditCase{"DeleteAtStartDoubles", "12", {0, 0}, Edit::Delete, "", "22", kAll, ""},
        EditCase{"ReplaceOneDigitStands", "12", {1, 1}, Edit::Type, "5", "15", {2, 0}, ""},
        EditCase{"PlusPostsAndIsRefused", "12", kAll, Edit::Type, "+", "12", kAll, "+"},
        EditCase{"MinusPostsAndIsRefused", "12", {2, 0}, Edit::Type, "-", "12", {2, 0}, "-"},
        EditCase{"PlusWinsOverMinus", "12", kAll, Edit::Paste, "-+", "12", kAll, "+"},
        EditCase{"LetterRefused", "12", kAll, Edit::Type, "a", "12", kAll, ""},
        EditCase{"LongPasteStands", "12", kAll, Edit::Paste, "1234", "1234", {4, 0}, ""},
        EditCase{"PasteEndingInDigitStands", "12", kAll, Edit::Paste, "a1", "a1", {2, 0}, ""},
        EditCase{"TypingOverNoValue", "--", kAll, Edit::Type, "5", "-5", kAll, ""},
        EditCase{"TypingOverLongText", "1234", {0, 4}, Edit::Type, "5", "00", kAll, ""},
        EditCase{"DigitsWalkThroughTwoPlaces", "00", kAll, Edit::Type, "123", "23", kAll, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormatterFieldTest, DroppedTextGoesThroughTheFormatter) {
    start("12", kAll);
    QMimeData mime;
    mime.setText("5");
    const QPoint atStart(0, field.height() / 2);
    QDragEnterEvent enter(atStart, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &enter);
    QDropEvent drop(atStart, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &drop);
    EXPECT_EQ(field.text(), "51");
    EXPECT_EQ(field.selectedRange(), kAll);
}

TEST_F(FormatterFieldTest, PastedNonNumberBecomesNoValueWhenEditingEnds) {
    start("12", kAll);
    paste("a1");
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(field.text(), "--");
    EXPECT_EQ(field.intValue(), 0);
}

TEST_F(FormatterFieldTest, PastedNumberIsReadWhenEditingEnds) {
    start("12", kAll);
    paste("1234");
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(std::get<int>(field.objectValue()), 1234);
    EXPECT_EQ(field.text(), "1234");
}

TEST_F(FormatterFieldTest, IntValueIsShownWithTwoDigits) {
    for (const auto& [value, shown] :
         std::vector<std::pair<int, QString>>{{0, "00"}, {7, "07"}, {123, "123"}, {-3, "-3"}}) {
        field.setIntValue(value);
        EXPECT_EQ(field.text(), shown);
        EXPECT_EQ(field.intValue(), value);
    }
}

TEST_F(FormatterFieldTest, RefusingDelegateKeepsTheEditOpen) {
    struct Refuser : platform::TextFieldDelegate {
        bool controlTextShouldEndEditing(TextField*) override { return false; }
    } refuser;
    field.setDelegate(&refuser);
    start("12", kAll);
    paste("a1");
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(field.text(), "a1");
    EXPECT_EQ(field.objectValue(), platform::ObjectValue(12));
}

struct ParseCase {
    QString text;
    platform::ObjectValue value;
};

TEST(ZK_TCInputFormatter, GetObjectValueReadsWholeIntegersOnly) {
    const ZK_TCInputFormatter formatter;
    const QString none = "--";
    for (const ParseCase& c : std::vector<ParseCase>{{"7", 7},
                                                     {"123", 123},
                                                     {" 7", 7},
                                                     {"7 ", 7},
                                                     {"\n-3\t", -3},
                                                     {"+5", 5},
                                                     {"99999999999", INT_MAX},
                                                     {"-99999999999", INT_MIN},
                                                     {"", none},
                                                     {"-", none},
                                                     {"+", none},
                                                     {"1a", none},
                                                     {"--", none},
                                                     {"1 2", none}}) {
        platform::ObjectValue value;
        QString error = "untouched";
        EXPECT_TRUE(formatter.getObjectValue(&value, c.text, &error)) << c.text.toStdString();
        EXPECT_EQ(value, c.value) << c.text.toStdString();
        const bool isNumber = std::holds_alternative<int>(c.value);
        EXPECT_EQ(error,
                  isNumber ? QString("untouched") : QString("Couldn\u2019t convert  to int"));
    }
    EXPECT_TRUE(formatter.getObjectValue(nullptr, "x", nullptr));
}

TEST(ZK_TCInputFormatter, StringForObjectValue) {
    const ZK_TCInputFormatter formatter;
    EXPECT_EQ(formatter.stringForObjectValue(0), "00");
    EXPECT_EQ(formatter.stringForObjectValue(5), "05");
    EXPECT_EQ(formatter.stringForObjectValue(123), "123");
    EXPECT_EQ(formatter.stringForObjectValue(-3), "-3");
    EXPECT_EQ(formatter.stringForObjectValue(QString("12")), "--");
    EXPECT_EQ(formatter.stringForObjectValue({}), "--");
}

TEST(TextField, IntValueReadsTheLeadingIntegerLikeStrtol) {
    TextField field;
    for (const auto& [text, value] :
         std::vector<std::pair<QString, int>>{{" 42abc", 42},
                                              {"-7", -7},
                                              {"+5", 5},
                                              {"abc", 0},
                                              {"", 0},
                                              {"99999999999", INT_MAX},
                                              {"-99999999999", INT_MIN}}) {
        field.setStringValue(text);
        EXPECT_EQ(field.intValue(), value) << text.toStdString();
    }
}

TEST(TextField, WithoutFormatterEditsStandAndCommitTheText) {
    TextField field;
    field.show();
    QTest::keyClicks(&field, "ab+");
    EXPECT_EQ(field.text(), "ab+");
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(field.objectValue(), platform::ObjectValue(QString("ab+")));
}

} // namespace
