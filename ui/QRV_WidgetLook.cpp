#include "QRV_WidgetLook.h"

#include <QGuiApplication>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace {

// Two thirds of the way from the background to the text: plainly quieter, still high-contrast.
QColor dimmedColour(const QColor& text, const QColor& background) {
    constexpr float kTextShare = 0.66F;
    return QColor::fromRgbF(text.redF() * kTextShare + background.redF() * (1 - kTextShare),
                            text.greenF() * kTextShare + background.greenF() * (1 - kTextShare),
                            text.blueF() * kTextShare + background.blueF() * (1 - kTextShare));
}

} // namespace

void QRV_WidgetLook::setDimmed(QWidget* widget, bool dimmed) {
    widget->setProperty("dimmed", dimmed);
    QPalette palette; // nothing resolved: the widget inherits its parent's colours again
    if (dimmed) {
        const QPalette app = QGuiApplication::palette();
        palette.setColor(QPalette::Text,
                         dimmedColour(app.color(QPalette::Text), app.color(QPalette::Base)));
        palette.setColor(QPalette::WindowText, dimmedColour(app.color(QPalette::WindowText),
                                                            app.color(QPalette::Window)));
    }
    widget->setPalette(palette);
}
