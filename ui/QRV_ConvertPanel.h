#pragma once

// The Convert room: a value at one rate setting taken to another, keeping its frame count or
// its real time. The value is typed as an operand is (or pasted whole, or typed as a frame
// count "86400f"), or taken from the calculator ("Use Result", "Use Operand 1"). Convert
// (Return) shows the converted timecode with its frame count, real duration and rounding
// error; Copy (Ctrl+C) puts it on the clipboard, with ";" at drop-frame; it can be sent to
// operand 1 or 2. A conversion whose inputs changed since it was shown is dimmed, and copying
// or sending it converts again first.
//
// Owns its widgets and actions; lives in a dock the window owns (View ▸ Convert, Ctrl+R). It
// is the delegate of its four value fields. Emits intents for the other rooms: valueRequested,
// sendRequested, converted (for the tape), choiceChanged (to remember), message. Main thread
// only.

#include "QRV_Conversion.h"
#include "TextFieldDelegate.h"

#include <QWidget>
#include <array>

class QAction;
class QComboBox;
class QDockWidget;
class QLabel;
class QMainWindow;
class QRadioButton;

namespace platform {
class TextField;
}

class QRV_ConvertPanel : public QWidget, public platform::TextFieldDelegate {
    Q_OBJECT

public:
    using Units = std::array<int, 4>; // hours, minutes, seconds, frames

    enum class Source { Result, Operand1 };

    explicit QRV_ConvertPanel(QWidget* parent = nullptr);

    // Puts the panel in a dock on the window's right; the dock's toggle action (Ctrl+R) shows
    // and hides it, and showing it puts the caret in the hours field.
    QDockWidget* dockInto(QMainWindow& window);
    QAction* copyAction() const { return _copy; }

    // Rates as positions in kRateSettings.
    int fromSetting() const;
    int toSetting() const;
    QRV_ConversionMode mode() const;
    void setChoice(int from, int to, QRV_ConversionMode mode);

    // A whole timecode ("-" first allowed, its sign left out) at this rate becomes the value.
    // False, and nothing changes, for other text or a rate no popup offers.
    bool takeValue(const QString& text, const QRV_Rate& rate);
    // "HH:MM:SS:FF" (";" at drop-frame) of the conversion shown; empty before the first.
    QString convertedText() const;

    bool controlTextShouldEndEditing(platform::TextField* control) override;
    bool controlShouldTakePastedText(platform::TextField* control, const QString& text) override;

public slots:
    void convert();
    void copy();
    void sendTo(int operand);

signals:
    void valueRequested(QRV_ConvertPanel::Source source);
    void sendRequested(int operand, const QString& text, const QRV_Rate& rate);
    // "01:00:00:00 · 24 fps", "00:57:36:00", its frames, at to, in mode: for the tape.
    void converted(const QString& value, const QString& result, qint64 frames, const QRV_Rate& to,
                   QRV_ConversionMode mode);
    void choiceChanged();
    void message(const QString& text);

private:
    void makeFields();
    void makeChoices();
    void makeButtons();
    QRV_Rate from() const;
    QRV_Rate to() const;
    std::int64_t valueFrames() const;
    QString valueText() const;
    void showValue(const Units& units);
    void showCount(std::int64_t count);
    Units fieldUnits() const;
    Units inRange(Units units) const;
    void setStale();
    bool ensureCurrent();

    std::array<platform::TextField*, 4> _fields{};
    Units _value{};
    QComboBox* _fromBox = nullptr;
    QComboBox* _toBox = nullptr;
    QRadioButton* _sameFrames = nullptr;
    QRadioButton* _sameTime = nullptr;
    platform::TextField* _result = nullptr;
    QLabel* _details = nullptr;
    QAction* _copy = nullptr;
    QWidget* _buttons = nullptr;
    // The conversion shown and its rate; current while its inputs are those on screen.
    QString _shownText;
    QRV_Rate _shownTo;
    bool _current = false;
};
