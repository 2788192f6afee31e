#pragma once

// Keeps a row of timecode widgets (two-digit fields and the separators between them, side by
// side) at the largest font that lets the row fit the container it watches, in width and in
// height, leaving what the container's layout asks for everything else (margins, spacing,
// other rows). Never smaller than the fonts the widgets had when the scaler was made, never
// larger than kMaxPointSize. Each widget keeps its own font, scaled by one common factor.
//
// Construction pins each widget's minimum size at its starting size, so the container's
// minimum does not follow the grown fonts and the window can still be made smaller. Fields
// sized by their size hint (QLineEdit's follows its font) grow by themselves; a maximum width
// or height set for the starting font (a fixed width) is scaled with the font.
//
// Reacts to the container's Resize events (an event filter; the first comes when it is shown)
// and to rescale(). A Resize that the scaler's own font change caused may shrink the fonts but
// not grow them, so the row cannot push its container ever larger.
//
// Owns only its settle timer; watches the container and the widgets through QPointer, so they
// may be deleted before it. Emits no signals. Main thread only.

#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QTimer>

class QWidget;

class QRV_DigitScaler : public QObject {
    Q_OBJECT

public:
    static constexpr qreal kMaxPointSize = 144;

    // The first of scaled gives the reference size that pointSize() reports.
    QRV_DigitScaler(QWidget* container, QList<QWidget*> scaled, QObject* parent = nullptr);

    // The first widget's current point size.
    qreal pointSize() const { return _startPointSize * _factor; }

public slots:
    // Fits the row to the container as it is now, growing or shrinking; for a container that
    // was already shown when the scaler was made, or whose other content changed.
    void rescale();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Scaled {
        QPointer<QWidget> widget;
        QFont startFont;
        QSize startMaximum;
    };

    void fit(bool mayGrow);
    void apply(qreal factor);
    QSize rowSize() const;
    QSize roomForRow() const;

    QPointer<QWidget> _container;
    QList<Scaled> _scaled;
    qreal _startPointSize = 0;
    qreal _factor = 1;
    bool _fitting = false;
    // Running while layout changes from the last font change may still resize the container.
    QTimer _settle;
};
