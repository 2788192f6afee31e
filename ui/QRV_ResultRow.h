#pragma once

// The calculator's result row: the sign field, the four result fields, the readout under them
// and the Copy button, and whether the result still matches the inputs on screen (a stale
// result is dimmed until the next Calculate).
//
// Owns no widgets (the window does); it only writes these, taken from the form: TF_TCResultSign,
// TF_TCResult_*, colon_TCResult_*, resultReadout, copyResultBtn.
// Emits message() for the status bar. Main thread only.

#include "QRV_Quorvel.h"
#include "QRV_ReadoutChoice.h"

#include <QList>
#include <QObject>
#include <QString>
#include <cstdint>

class QLabel;
class QWidget;

namespace Ui {
class MainWindow;
}

class QRV_ResultRow : public QObject {
    Q_OBJECT

public:
    QRV_ResultRow(Ui::MainWindow& form, QObject* parent);

    // Starting state: every field 0, no sign, nothing calculated.
    void clear();
    // Shows sum with "-" when negative, its frame count and real length at fps (slowed by
    // 1000/1001 when ntsc), and marks it current.
    void show(const TCData& sum, bool negative, int fps, bool dropFrame, bool ntsc);
    // Shows a signed frame count as Calculate shows its results: around the 24-hour day, or
    // as "-" and its magnitude when negative is allowed. Returns the frame count shown.
    std::int64_t showFrames(std::int64_t frames, bool negativeAllowed, int fps, bool dropFrame,
                            bool ntsc);
    // The signed frame count the row shows, counted at fps (drop-frame numbering if asked).
    std::int64_t frames(int fps, bool dropFrame) const;
    // Empties the sign, as Calculate does before it works out a new result.
    void clearSign();
    // "HH:MM:SS:FF", ";" before the frames at drop-frame, "-" first when negative.
    QString text(bool dropFrame) const;
    bool isCurrent() const { return _state == State::Current; }
    // Film and audio readouts to add on a second line of the readout; shown at once.
    void setReadouts(const QRV_ReadoutChoice& choice);

public slots:
    void markStale();
    // Puts the result on the clipboard; says so when it is out of date.
    void copy(bool dropFrame);

signals:
    void message(const QString& text);

private:
    // Only a result that was calculated can go out of date.
    enum class State { NotCalculated, Current, Stale };

    struct Shown {
        std::int64_t frames = 0; // magnitude
        int fps = 24;
        bool dropFrame = false;
        bool ntsc = false;
        bool negative = false;
    };

    void setState(State state);
    void showReadout();
    QList<QWidget*> widgets() const;

    Ui::MainWindow& _form;
    State _state = State::NotCalculated;
    Shown _shown;
    QRV_ReadoutChoice _readouts;
};
