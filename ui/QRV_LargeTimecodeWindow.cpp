#include "QRV_LargeTimecodeWindow.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace {

QString placeholder() {
    return QStringLiteral("--:--:--:--");
}
// Digits, not the shown text, so the size holds still as the digits change, even if the font
// found is not monospace.
QString sample() {
    return QStringLiteral("00:00:00:00");
}

constexpr int kReferencePixels = 100;
constexpr int kLeastDigitPixels = 8;
// Room at the sides, so the digits do not touch the window's edges.
constexpr qreal kWidthFill = 0.94;
constexpr qreal kStatusShare = 0.25;
// Stopped digits keep this much of the text colour and take the rest from the background:
// plainly dimmer, yet on common palettes still above the 4.5:1 contrast that even small text
// needs. The disabled colour falls far below that and would be lost across a room.
constexpr qreal kDimmedTextShare = 0.65;

QColor blend(const QColor& text, const QColor& background, qreal textShare) {
    auto mix = [textShare](float a, float b) {
        return static_cast<float>(a * textShare + b * (1 - textShare));
    };
    return QColor::fromRgbF(mix(text.redF(), background.redF()),
                            mix(text.greenF(), background.greenF()),
                            mix(text.blueF(), background.blueF()));
}

QFont withPixelSize(QFont font, int pixels) {
    font.setPixelSize(std::max(pixels, 1));
    return font;
}

int lineHeight(const QFont& font) {
    return static_cast<int>(std::ceil(QFontMetricsF(font).height()));
}

} // namespace

QRV_LargeTimecodeWindow::QRV_LargeTimecodeWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , _timecode(new QLabel(placeholder(), this))
    , _status(new QLabel(this)) {
    setWindowTitle(tr("Large Timecode \u2014 Quorvel"));
    // The labels take no focus, so the window itself must, for F11 and Escape.
    setFocusPolicy(Qt::StrongFocus);
    const QString keys = tr("F11: full screen \u00B7 Esc: leave full screen or close");
    setAccessibleDescription(keys);

    // The palette's colours, not a fixed dark scheme: the user's theme already suits their
    // room and eyes (studios often run dark themes), and high-contrast themes keep working.
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setStyleHint(QFont::Monospace);
    digits.setBold(true);
    _timecode->setFont(digits);
    _timecode->setObjectName(QStringLiteral("largeTimecode"));
    _timecode->setAccessibleName(tr("Large incoming timecode"));
    _timecode->setAccessibleDescription(_timecode->text());
    _timecode->setTextFormat(Qt::PlainText);
    _timecode->setAlignment(Qt::AlignCenter);

    _status->setObjectName(QStringLiteral("largeTimecodeStatus"));
    _status->setAccessibleName(tr("Large timecode status"));
    _status->setTextFormat(Qt::PlainText);
    _status->setAlignment(Qt::AlignCenter);
    _status->setToolTip(keys);

    applyColour();
    resize(720, 240);
    layOut();
}

void QRV_LargeTimecodeWindow::setTimecode(const QString& text) {
    const QString shown = text.isEmpty() ? placeholder() : text;
    _timecode->setText(shown);
    _timecode->setAccessibleDescription(shown);
    if (std::max(shown.size(), sample().size()) != _fittedLength) {
        layOut();
    }
}

void QRV_LargeTimecodeWindow::setStatus(const QString& text) {
    _status->setText(text);
    _status->setAccessibleDescription(text);
    layOut();
}

void QRV_LargeTimecodeWindow::setStopped(bool stopped) {
    _stopped = stopped;
    applyColour();
}

void QRV_LargeTimecodeWindow::applyColour() {
    _timecode->setProperty("dimmed", _stopped);
    QPalette palette; // nothing resolved: the label follows the window's colours again
    if (_stopped) {
        const QPalette& window = this->palette();
        for (const QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, QPalette::WindowText,
                             blend(window.color(group, QPalette::WindowText),
                                   window.color(group, QPalette::Window), kDimmedTextShare));
        }
    }
    _timecode->setPalette(palette);
}

// Placed by hand rather than by a layout: the labels' size hints grow with their fonts, and
// through a layout they would become the window's minimum size, which it could not shrink
// below again.
void QRV_LargeTimecodeWindow::layOut() {
    const int margin =
        std::max(0, style()->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, this));
    const int spacing =
        std::max(0, style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing, nullptr, this));
    const QRect area = contentsRect().adjusted(margin, margin, -margin, -margin);
    const QString fitted =
        _timecode->text().size() > sample().size() ? _timecode->text() : sample();
    _fittedLength = fitted.size();

    const QFont digitsBase = _timecode->font();
    const QFont statusBase = _status->font();
    const int statusLeast = QFontInfo(font()).pixelSize();
    const QFontMetricsF digitsReference(withPixelSize(digitsBase, kReferencePixels));
    const QFontMetricsF statusReference(withPixelSize(statusBase, kReferencePixels));
    const qreal statusAdvance = statusReference.horizontalAdvance(_status->text());
    auto statusPixels = [&](int digitPixels) {
        int pixels = std::max(statusLeast, static_cast<int>(digitPixels * kStatusShare));
        if (statusAdvance > 0) {
            const int widest = static_cast<int>(area.width() * kReferencePixels / statusAdvance);
            pixels = std::min(pixels, std::max(statusLeast, widest));
        }
        return pixels;
    };
    auto fits = [&](int digitPixels) {
        const QFont font = withPixelSize(digitsBase, digitPixels);
        return QFontMetricsF(font).horizontalAdvance(fitted) <= area.width() * kWidthFill &&
               lineHeight(font) + spacing +
                       lineHeight(withPixelSize(statusBase, statusPixels(digitPixels))) <=
                   area.height();
    };

    // Sizes scale almost linearly with the pixel size: estimate from the reference, then
    // correct for the font engine's rounding.
    const qreal byWidth =
        area.width() * kWidthFill * kReferencePixels / digitsReference.horizontalAdvance(fitted);
    const qreal byHeightAtLeastStatus =
        (area.height() - spacing - lineHeight(withPixelSize(statusBase, statusLeast))) *
        kReferencePixels / digitsReference.height();
    const qreal byHeightScaledStatus =
        (area.height() - spacing) * kReferencePixels /
        (digitsReference.height() + kStatusShare * statusReference.height());
    int digitPixels = std::max(
        kLeastDigitPixels,
        static_cast<int>(std::min({byWidth, byHeightAtLeastStatus, byHeightScaledStatus})));
    while (digitPixels > kLeastDigitPixels && !fits(digitPixels)) {
        --digitPixels;
    }
    while (digitPixels < area.height() && fits(digitPixels + 1)) {
        ++digitPixels;
    }

    _timecode->setFont(withPixelSize(digitsBase, digitPixels));
    const QFont statusFont = withPixelSize(statusBase, statusPixels(digitPixels));
    _status->setFont(statusFont);
    const int statusHeight = std::min(lineHeight(statusFont), std::max(area.height(), 0));
    _status->setGeometry(area.left(), area.bottom() + 1 - statusHeight, area.width(), statusHeight);
    _timecode->setGeometry(area.left(), area.top(), area.width(),
                           std::max(area.height() - statusHeight - spacing, 0));
}

void QRV_LargeTimecodeWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void QRV_LargeTimecodeWindow::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier;
    if ((plain && event->key() == Qt::Key_F11) || event->matches(QKeySequence::FullScreen)) {
        // Toggling the one flag keeps a maximized window maximized when it comes back.
        setWindowState(windowState() ^ Qt::WindowFullScreen);
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        if (isFullScreen()) {
            setWindowState(windowState() & ~Qt::WindowFullScreen);
        } else {
            close();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void QRV_LargeTimecodeWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        applyColour();
    } else if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        layOut();
    }
}

// Minimizing and restoring hide and show the window spontaneously; the user has not closed it.
void QRV_LargeTimecodeWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        emit visibilityChanged(true);
    }
}

void QRV_LargeTimecodeWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        emit visibilityChanged(false);
    }
}
