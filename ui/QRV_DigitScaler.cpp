#include "QRV_DigitScaler.h"

#include <QEvent>
#include <QFontInfo>
#include <QLayout>
#include <QSet>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Coarse enough that rounding in the font engine cannot make two neighbouring sizes alternate.
constexpr qreal kPointIncrement = 0.5;
// A guess scales frames along with digits, so it falls short when growing and overshoots when
// shrinking; a few more rounds close in.
constexpr int kRounds = 6;

// The least a layout gives a widget (QLayout's own rule): an explicit minimum wins over the
// hints, and a policy that cannot shrink keeps the size hint.
QSize layoutMinimum(const QWidget* widget) {
    const QSizePolicy policy = widget->sizePolicy();
    const QSize hint = widget->sizeHint();
    const QSize minimumHint = widget->minimumSizeHint();
    auto least = [](QSizePolicy::Policy p, int hinted, int minimumHinted) {
        if (p == QSizePolicy::Ignored) {
            return 0;
        }
        return (p & QSizePolicy::ShrinkFlag) ? minimumHinted : std::max(hinted, minimumHinted);
    };
    QSize size(least(policy.horizontalPolicy(), hint.width(), minimumHint.width()),
               least(policy.verticalPolicy(), hint.height(), minimumHint.height()));
    size = size.boundedTo(widget->maximumSize());
    if (widget->minimumWidth() > 0) {
        size.setWidth(widget->minimumWidth());
    }
    if (widget->minimumHeight() > 0) {
        size.setHeight(widget->minimumHeight());
    }
    return size.expandedTo(QSize(0, 0));
}

// What the widget asks for when there is room.
QSize wanted(const QWidget* widget) {
    return widget->sizeHint().expandedTo(widget->minimumSize()).boundedTo(widget->maximumSize());
}

// Nested layouts answer from their caches until the posted layout request runs; the sizes
// are needed now.
void invalidateTree(QLayout* layout) {
    layout->invalidate();
    for (int i = 0; i < layout->count(); ++i) {
        if (QLayout* child = layout->itemAt(i)->layout()) {
            invalidateTree(child);
        }
    }
}

QFont scaledFont(const QFont& start, qreal factor) {
    QFont font = start;
    if (start.pointSizeF() > 0) {
        font.setPointSizeF(start.pointSizeF() * factor);
    } else {
        font.setPixelSize(static_cast<int>(std::lround(start.pixelSize() * factor)));
    }
    return font;
}

int scaledLength(int start, qreal factor) {
    if (start >= QWIDGETSIZE_MAX) {
        return start;
    }
    return static_cast<int>(std::min<qreal>(std::ceil(start * factor), QWIDGETSIZE_MAX));
}

} // namespace

QRV_DigitScaler::QRV_DigitScaler(QWidget* container, QList<QWidget*> scaled, QObject* parent)
    : QObject(parent)
    , _container(container) {
    for (QWidget* widget : scaled) {
        if (widget == nullptr) {
            continue;
        }
        // Pinned at the designer's size so the container's minimum never follows the grown
        // fonts: otherwise the window could not be made smaller again.
        widget->setMinimumSize(layoutMinimum(widget));
        _scaled.append({widget, widget->font(), widget->maximumSize()});
    }
    if (!_scaled.isEmpty()) {
        const QFont& reference = _scaled.first().startFont;
        _startPointSize =
            reference.pointSizeF() > 0 ? reference.pointSizeF() : QFontInfo(reference).pointSizeF();
    }
    _settle.setSingleShot(true);
    _settle.setInterval(0);
    if (_container) {
        _container->installEventFilter(this);
    }
}

void QRV_DigitScaler::rescale() {
    fit(true);
}

bool QRV_DigitScaler::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _container && event->type() == QEvent::Resize) {
        fit(!_settle.isActive());
    }
    return QObject::eventFilter(watched, event);
}

void QRV_DigitScaler::fit(bool mayGrow) {
    if (_fitting || !_container || _scaled.isEmpty() || _startPointSize <= 0) {
        return;
    }
    _fitting = true;
    const qreal increment = kPointIncrement / _startPointSize;
    const qreal maxFactor = std::max<qreal>(1, kMaxPointSize / _startPointSize);
    // Factors seen to fit and to overflow: each guess stays between them, so glyph sizes that
    // do not scale smoothly cannot make the guesses alternate.
    qreal fitting = 1;
    qreal overflowing = maxFactor + increment;
    for (int round = 0; round < kRounds; ++round) {
        // Measured again each round: while another row of the container is wider than this
        // one, it holds back more than it will once this row has grown past it.
        const QSize room = roomForRow();
        const QSize row = rowSize();
        if (row.isEmpty()) {
            break;
        }
        if (row.width() <= room.width() && row.height() <= room.height()) {
            fitting = std::max(fitting, _factor);
        } else {
            overflowing = std::min(overflowing, _factor);
        }
        const qreal ratio =
            std::min(qreal(room.width()) / row.width(), qreal(room.height()) / row.height());
        qreal next = std::floor(_startPointSize * _factor * ratio / kPointIncrement) *
                     kPointIncrement / _startPointSize;
        next = std::min({next, maxFactor, overflowing - increment});
        if (!mayGrow) {
            next = std::min(next, _factor);
        }
        next = std::max(next, fitting);
        if (qFuzzyCompare(next, _factor)) {
            break;
        }
        apply(next);
    }
    // The rounds may end on a guess that was never measured.
    if (!qFuzzyCompare(_factor, fitting)) {
        const QSize room = roomForRow();
        const QSize row = rowSize();
        if (row.width() > room.width() || row.height() > room.height()) {
            apply(fitting);
        }
    }
    _fitting = false;
}

void QRV_DigitScaler::apply(qreal factor) {
    _factor = factor;
    for (const Scaled& scaled : std::as_const(_scaled)) {
        if (!scaled.widget) {
            continue;
        }
        scaled.widget->setFont(scaledFont(scaled.startFont, factor));
        // A size fixed for the designer's font grows with it; hint-sized fields follow their
        // font by themselves.
        scaled.widget->setMaximumSize(scaledLength(scaled.startMaximum.width(), factor),
                                      scaledLength(scaled.startMaximum.height(), factor));
    }
    _settle.start();
}

// Side by side: widths add up, the tallest sets the height.
QSize QRV_DigitScaler::rowSize() const {
    QSize row(0, 0);
    for (const Scaled& scaled : _scaled) {
        if (!scaled.widget || scaled.widget->isHidden()) {
            continue;
        }
        const QSize size = wanted(scaled.widget);
        row.rwidth() += size.width();
        row.setHeight(std::max(row.height(), size.height()));
    }
    return row;
}

// The container less what its layout asks for besides the row (margins, spacing, spacers, other
// rows). Their preferred sizes, not their least: below its preferred size a layout shrinks
// every item that can shrink, and the row can, down to its pinned minimum.
QSize QRV_DigitScaler::roomForRow() const {
    QSize room = _container->contentsRect().size();
    QLayout* layout = _container->layout();
    if (layout == nullptr) {
        return room;
    }
    QSet<QWidget*> refreshed;
    for (const Scaled& scaled : _scaled) {
        for (QWidget* up = scaled.widget ? scaled.widget->parentWidget() : nullptr;
             up != nullptr && !refreshed.contains(up); up = up->parentWidget()) {
            refreshed.insert(up);
            if (up->layout() != nullptr) {
                invalidateTree(up->layout());
            }
            if (up == _container) {
                break;
            }
            up->updateGeometry();
        }
    }
    const QSize others = (layout->sizeHint() - rowSize()).expandedTo(QSize(0, 0));
    return (room - others).expandedTo(QSize(0, 0));
}
