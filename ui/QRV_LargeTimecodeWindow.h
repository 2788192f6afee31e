#pragma once

// A window of its own for the incoming timecode, in digits that fill it, to be read across a
// room; the incoming status line below them. Every resize picks the largest digits at which a
// whole timecode fits the window in width and in height; the status line follows at a quarter
// of their size, never smaller than the normal text. Stopped timecode is shown dimmed and
// stays easy to read.
//
// Keys: F11 switches full screen on and off; Escape leaves full screen, or else closes the
// window (closing hides it; it is not deleted).
//
// Owns its two labels: timecodeLabel() ("largeTimecode") and statusLabel()
// ("largeTimecodeStatus"); each label's accessible description is its text, so screen readers
// hear the value. Emits visibilityChanged when it is shown or closed (not when it is minimized
// or restored). Main thread only.

#include <QString>
#include <QWidget>

class QLabel;

class QRV_LargeTimecodeWindow : public QWidget {
    Q_OBJECT

public:
    // A window of its own even with a parent; the parent then deletes it.
    explicit QRV_LargeTimecodeWindow(QWidget* parent = nullptr);

    // The shown text as the caller gives it: "HH:MM:SS:FF", ";" before the frames for
    // drop-frame. An empty text shows the "--:--:--:--" of the start again.
    void setTimecode(const QString& text);
    // For instance "29.97 fps drop-frame · running".
    void setStatus(const QString& text);
    // Dims the digits (marked by the dynamic property "dimmed") or shows them in full.
    void setStopped(bool stopped);
    bool isStopped() const { return _stopped; }

    QLabel* timecodeLabel() const { return _timecode; }
    QLabel* statusLabel() const { return _status; }

signals:
    // For a checkable menu action that opens and closes the window.
    void visibilityChanged(bool visible);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void layOut();
    void applyColour();

    QLabel* _timecode;
    QLabel* _status;
    bool _stopped = false;
    // Characters the digit size was last fitted for; a longer text needs a new fit.
    qsizetype _fittedLength = 0;
};
