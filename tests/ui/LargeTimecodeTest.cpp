// The large timecode window and the digit scaler of the incoming row, as real widgets under the
// offscreen platform.
#include "QRV_DigitScaler.h"
#include "QRV_LargeTimecodeWindow.h"
#include "QtPrinters.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

void settle() {
    QTest::qWait(20);
}

// WCAG contrast ratio: 4.5 is the least for text to read easily.
qreal contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto linear = [](qreal v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const qreal first = luminance(a);
    const qreal second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

class LargeTimecode : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QLabel* digits() const { return window.findChild<QLabel*>("largeTimecode"); }
    QLabel* status() const { return window.findChild<QLabel*>("largeTimecodeStatus"); }
    bool dimmed() const { return digits()->property("dimmed").toBool(); }

    QRV_LargeTimecodeWindow window;
};

TEST_F(LargeTimecode, ShowsDashesUntilTheFirstValueAndTellsScreenReadersTheText) {
    EXPECT_EQ(digits()->text(), "--:--:--:--");
    window.setTimecode("01:02:03;04");
    window.setStatus("29.97 fps drop-frame \u00B7 running");
    EXPECT_EQ(digits()->text(), "01:02:03;04");
    EXPECT_EQ(digits()->accessibleDescription(), "01:02:03;04");
    EXPECT_EQ(status()->accessibleDescription(), "29.97 fps drop-frame \u00B7 running");
    EXPECT_EQ(digits()->accessibleName(), "Large incoming timecode");
}

TEST_F(LargeTimecode, DigitsFillTheWindowInWidthOrHeightAndStayInside) {
    window.setTimecode("23:59:59;29");
    window.setStatus("29.97 fps drop-frame \u00B7 stopped");
    int pixels400x200 = 0;
    for (const QSize size :
         {QSize(400, 200), QSize(1200, 600), QSize(300, 900), QSize(1600, 250)}) {
        SCOPED_TRACE(size.width());
        window.resize(size);
        settle();
        const QFontMetrics metrics(digits()->font());
        const int advance = metrics.horizontalAdvance(digits()->text());
        const QRect room = digits()->contentsRect();
        EXPECT_LE(advance, room.width());
        EXPECT_LE(metrics.height(), room.height());
        EXPECT_TRUE(advance > 0.85 * room.width() || metrics.height() > 0.85 * room.height());
        EXPECT_LE(digits()->geometry().bottom(), status()->geometry().top());
        EXPECT_TRUE(window.rect().contains(status()->geometry()));
        if (size == QSize(400, 200)) {
            pixels400x200 = digits()->font().pixelSize();
        } else if (size == QSize(1200, 600)) {
            EXPECT_GE(digits()->font().pixelSize(), 2 * pixels400x200);
        }
    }
}

TEST_F(LargeTimecode, StoppedDigitsAreMarkedAndDimmedYetStayReadableOnLightAndDark) {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(18, 18, 18));
    dark.setColor(QPalette::WindowText, QColor(235, 235, 235));
    for (const QPalette& palette : {window.palette(), dark}) {
        window.setStopped(true);
        window.setPalette(palette);
        const QColor background = window.palette().color(QPalette::Window);
        const QColor stopped = digits()->palette().color(QPalette::WindowText);
        EXPECT_TRUE(dimmed());
        window.setStopped(false);
        const QColor normal = digits()->palette().color(QPalette::WindowText);
        EXPECT_FALSE(dimmed());
        EXPECT_EQ(normal, window.palette().color(QPalette::WindowText));
        EXPECT_NE(stopped, window.palette().color(QPalette::Disabled, QPalette::WindowText));
        EXPECT_LT(contrast(stopped, background), contrast(normal, background) * 0.9);
        EXPECT_GE(contrast(stopped, background), 4.5);
    }
}

TEST_F(LargeTimecode, F11TogglesFullScreenAndEscapeLeavesItThenCloses) {
    QSignalSpy visibility(&window, &QRV_LargeTimecodeWindow::visibilityChanged);
    QTest::keyClick(&window, Qt::Key_F11);
    EXPECT_TRUE(window.windowState() & Qt::WindowFullScreen);
    QTest::keyClick(&window, Qt::Key_F11);
    EXPECT_FALSE(window.windowState() & Qt::WindowFullScreen);
    QTest::keyClick(&window, Qt::Key_F11);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.windowState() & Qt::WindowFullScreen);
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(visibility.count(), 1);
    EXPECT_FALSE(visibility.at(0).at(0).toBool());
}

// Fields like the incoming ones: sized by a hint from their font, or fixed at a width from it.
enum class FieldWidth { FromHint, Fixed };

class TwoDigitField : public QLineEdit {
public:
    QSize sizeHint() const override {
        QSize hint = QLineEdit::sizeHint();
        const QFontMetrics metrics(font());
        hint.rwidth() += metrics.horizontalAdvance("000") - 17 * metrics.horizontalAdvance('x');
        return hint;
    }
};

class DigitScaler : public ::testing::TestWithParam<FieldWidth> {
protected:
    void SetUp() override {
        // A child without a parent layout, so that it can be made smaller than its row.
        container = new QWidget(&window);
        auto* column = new QVBoxLayout(container);
        column->addWidget(new QLabel("hh mm ss ff"));
        auto* row = new QHBoxLayout;
        column->addLayout(row);
        QFont font("Monospace", 16);
        font.setBold(true);
        for (int unit = 0; unit < 4; ++unit) {
            QLineEdit* field =
                GetParam() == FieldWidth::FromHint ? new TwoDigitField : new QLineEdit;
            field->setFont(font);
            field->setText("00");
            if (GetParam() == FieldWidth::Fixed) {
                field->setFixedWidth(QFontMetrics(font).horizontalAdvance("000") + 12);
            }
            field->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
            fields << field;
            row->addWidget(field);
            if (unit < 3) {
                auto* colon = new QLabel(":");
                colon->setFont(font);
                row->addWidget(colon);
                scaled << field << colon;
            }
        }
        scaled << fields.last();
        // Other content that asks for more room than it needs at least.
        column->addWidget(new QListWidget);
        scaler = new QRV_DigitScaler(container, scaled, container);
        window.resize(2000, 1000);
        container->resize(container->sizeHint());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        settle();
    }
    // Every widget got what it asks for: the row fits.
    void expectRowFits() {
        for (QWidget* widget : scaled) {
            EXPECT_TRUE(container->rect().contains(widget->geometry()));
            EXPECT_GE(widget->height(), widget->sizeHint().height());
            EXPECT_GE(widget->width(),
                      std::min(widget->sizeHint().width(), widget->maximumWidth()));
            EXPECT_EQ(widget->font().pointSizeF(), scaler->pointSize());
        }
    }

    QWidget window;
    QWidget* container = nullptr;
    QList<QLineEdit*> fields;
    QList<QWidget*> scaled;
    QRV_DigitScaler* scaler = nullptr;
};

TEST_P(DigitScaler, FieldsGrowWithTheContainerAndShrinkBackNoFurtherThanTheStart) {
    const QSize start = container->size();
    const QSize leastAtStart = container->minimumSizeHint();
    const int startFieldWidth = fields.first()->width();
    struct Row {
        qreal width, height;
        bool grows, fits;
    };
    for (const Row& row :
         {Row{3, 3, true, true}, Row{1, 1, false, true}, Row{3, 1, false, true},
          Row{1, 3, false, true}, Row{3, 3, true, true}, Row{0.5, 0.5, false, false}}) {
        const QSize size(int(start.width() * row.width), int(start.height() * row.height));
        SCOPED_TRACE(QString("%1x%2").arg(size.width()).arg(size.height()).toStdString());
        container->resize(size);
        settle();
        if (row.fits) {
            expectRowFits();
        }
        if (row.grows) {
            EXPECT_GE(scaler->pointSize(), 32);
            EXPECT_GE(fields.first()->width(), 2 * startFieldWidth);
        } else {
            EXPECT_EQ(scaler->pointSize(), 16);
        }
        // What the window must keep for the row does not follow the fonts.
        EXPECT_EQ(container->minimumSizeHint(), leastAtStart);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, DigitScaler,
                         ::testing::Values(FieldWidth::FromHint, FieldWidth::Fixed),
                         [](const auto& info) {
                             return info.param == FieldWidth::FromHint ? "SizedByHint"
                                                                       : "FixedWidth";
                         });

} // namespace
