#include "QRV_ResultRow.h"

#include "QRV_DayCount.h"
#include "QRV_TimecodeText.h"
#include "QRV_WidgetLook.h"
#include "TextField.h"
#include "ui_MainWindow.h"

#include <QClipboard>
#include <QGuiApplication>

QRV_ResultRow::QRV_ResultRow(Ui::MainWindow& form, QObject* parent)
    : QObject(parent)
    , _form(form) {
    // An empty sign is a blank, not a box waiting for input.
    _form.TF_TCResultSign->setFrame(false);
    _form.TF_TCResultSign->setStyleSheet(QStringLiteral("background: transparent;"));
    // Sized once for the longest readout, so a result never widens the window.
    const QString longest = QRV_TimecodeText::readout(-5183999, 60, true, true);
    _form.resultReadout->setMinimumWidth(
        _form.resultReadout->fontMetrics().horizontalAdvance(longest + QStringLiteral("00")));
    _form.resultReadout->setAccessibleDescription(tr("Result length"));
}

void QRV_ResultRow::clear() {
    for (platform::TextField* field : {_form.TF_TCResult_hours, _form.TF_TCResult_minutes,
                                       _form.TF_TCResult_seconds, _form.TF_TCResult_frames}) {
        field->setIntValue(0);
    }
    clearSign();
    setState(State::NotCalculated);
}

void QRV_ResultRow::clearSign() {
    _form.TF_TCResultSign->setStringValue(QString());
}

// The readout's real length: 29.97 drop-frame runs at 30000/1001 frames a second, so its hour
// of labels lasts 3 599.996 s.
void QRV_ResultRow::show(const TCData& sum, bool negative, int fps, bool dropFrame, bool ntsc) {
    if (negative) {
        _form.TF_TCResultSign->setStringValue(QStringLiteral("-"));
    }
    _form.TF_TCResult_hours->setIntValue(sum.time.hours);
    _form.TF_TCResult_minutes->setIntValue(sum.time.minutes);
    _form.TF_TCResult_seconds->setIntValue(sum.time.seconds);
    _form.TF_TCResult_frames->setIntValue(sum.time.frames);
    _shown = {QRV_DayCount::count(sum.time, fps, dropFrame), fps, dropFrame, dropFrame || ntsc,
              negative};
    showReadout();
    const QString description = tr("Result %1").arg(text(dropFrame));
    for (QWidget* widget : widgets()) {
        if (widget != _form.resultReadout) {
            widget->setAccessibleDescription(description);
        }
    }
    setState(State::Current);
}

void QRV_ResultRow::setReadouts(const QRV_ReadoutChoice& choice) {
    _readouts = choice;
    if (_state != State::NotCalculated) {
        showReadout();
    }
}

// Film and audio lengths go on a line of their own, so the first line reads as it always has.
void QRV_ResultRow::showReadout() {
    QString readout =
        QRV_TimecodeText::readout(_shown.frames, _shown.fps, _shown.ntsc, _shown.negative);
    if (_readouts.any()) {
        const std::int64_t signedFrames = _shown.negative ? -_shown.frames : _shown.frames;
        readout += QLatin1Char('\n') +
                   QRV_TimecodeText::footageReadout(
                       signedFrames, {_shown.fps, _shown.dropFrame, _shown.ntsc}, _readouts);
    }
    _form.resultReadout->setText(readout);
    // Screen readers hear the value, not only the label's role.
    _form.resultReadout->setAccessibleName(readout);
}

std::int64_t QRV_ResultRow::showFrames(std::int64_t frames, bool negativeAllowed, int fps,
                                       bool dropFrame, bool ntsc) {
    const bool negative = negativeAllowed && frames < 0;
    const std::int64_t day = QRV_DayCount::dayLength(fps, dropFrame);
    const std::int64_t shown = (((negative ? -frames : frames) % day) + day) % day;
    TCData sum{};
    sum.time = QRV_DayCount::label(shown, fps, dropFrame);
    clearSign();
    show(sum, negative, fps, dropFrame, ntsc);
    return negative ? -shown : shown;
}

std::int64_t QRV_ResultRow::frames(int fps, bool dropFrame) const {
    const TimeCodeTime time{static_cast<std::uint8_t>(_form.TF_TCResult_hours->intValue()),
                            static_cast<std::uint8_t>(_form.TF_TCResult_minutes->intValue()),
                            static_cast<std::uint8_t>(_form.TF_TCResult_seconds->intValue()),
                            static_cast<std::uint8_t>(_form.TF_TCResult_frames->intValue())};
    const std::int64_t count = QRV_DayCount::count(time, fps, dropFrame);
    return _form.TF_TCResultSign->stringValue() == QLatin1String("-") ? -count : count;
}

QString QRV_ResultRow::text(bool dropFrame) const {
    return QRV_TimecodeText::format(
        {_form.TF_TCResult_hours->intValue(), _form.TF_TCResult_minutes->intValue(),
         _form.TF_TCResult_seconds->intValue(), _form.TF_TCResult_frames->intValue()},
        dropFrame, _form.TF_TCResultSign->stringValue() == QLatin1String("-"));
}

void QRV_ResultRow::markStale() {
    if (_state == State::Current) {
        setState(State::Stale);
    }
}

void QRV_ResultRow::copy(bool dropFrame) {
    const QString copied = text(dropFrame);
    QGuiApplication::clipboard()->setText(copied);
    if (_state == State::Stale) {
        emit message(
            tr("Copied %1, which is out of date: Calculate for the current result.").arg(copied));
    }
}

void QRV_ResultRow::setState(State state) {
    _state = state;
    for (QWidget* widget : widgets()) {
        QRV_WidgetLook::setDimmed(widget, state == State::Stale);
    }
}

QList<QWidget*> QRV_ResultRow::widgets() const {
    return {_form.TF_TCResultSign,     _form.TF_TCResult_hours,  _form.colon_TCResult_1,
            _form.TF_TCResult_minutes, _form.colon_TCResult_2,   _form.TF_TCResult_seconds,
            _form.colon_TCResult_3,    _form.TF_TCResult_frames, _form.resultReadout};
}
