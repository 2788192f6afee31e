#include "QRV_QuickEntry.h"

#include "QRV_EntryReader.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

QString quoted(const std::u16string& text) {
    return QStringLiteral("\u201c%1\u201d").arg(QString::fromStdU16String(text));
}

QString fieldName(QRV_EntryError::Field field) {
    switch (field) {
    case QRV_EntryError::Field::Hours:
        return QRV_QuickEntry::tr("hours");
    case QRV_EntryError::Field::Minutes:
        return QRV_QuickEntry::tr("minutes");
    case QRV_EntryError::Field::Seconds:
        return QRV_QuickEntry::tr("seconds");
    case QRV_EntryError::Field::Frames:
    case QRV_EntryError::Field::None:
        break;
    }
    return QRV_QuickEntry::tr("frames");
}

// Every kind in words, with what the user can do about it where there is something.
QString sentence(const QRV_EntryError& e) {
    using Kind = QRV_EntryError::Kind;
    const int character = static_cast<int>(e.position) + 1;
    switch (e.kind) {
    case Kind::Empty:
        return {};
    case Kind::TooLong:
        return QRV_QuickEntry::tr("The entry is too long: at most %1 characters.")
            .arg(QRV_EntryReader::kMaxLength);
    case Kind::TooDeep:
        return QRV_QuickEntry::tr("Too many parentheses inside one another: at most %1.")
            .arg(QRV_EntryReader::kMaxDepth);
    case Kind::Unreadable:
        return QRV_QuickEntry::tr("Can't read %1 at character %2.")
            .arg(quoted(e.text))
            .arg(character);
    case Kind::Unfinished:
        return QRV_QuickEntry::tr("The entry ends where a value is needed.");
    case Kind::Unclosed:
        return QRV_QuickEntry::tr("The \u201c(\u201d at character %1 is never closed.")
            .arg(character);
    case Kind::TooManyDigits:
        return QRV_QuickEntry::tr("%1 has too many digits.").arg(quoted(e.text));
    case Kind::FieldOutOfRange:
        return QRV_QuickEntry::tr("%1: %2 must be below %3.")
            .arg(quoted(e.text), fieldName(e.field))
            .arg(e.limit + 1);
    case Kind::DurationTimesDuration:
        return QRV_QuickEntry::tr("A duration can only be multiplied by a number.");
    case Kind::DividedByDuration:
        return QRV_QuickEntry::tr("A duration can only be divided by a number.");
    case Kind::NumberFirst:
        return QRV_QuickEntry::tr("Put the number after the duration: %1 * %2.")
            .arg(QString::fromStdU16String(e.otherText), QString::fromStdU16String(e.text));
    case Kind::DivideByZero:
        return QRV_QuickEntry::tr("Can't divide by zero.");
    case Kind::TooLarge:
        return e.text.empty() ? QRV_QuickEntry::tr("The result is too large.")
                              : QRV_QuickEntry::tr("%1 is too large.").arg(quoted(e.text));
    case Kind::NothingToContinue:
        return QRV_QuickEntry::tr("There is no result to go on from.");
    }
    return {};
}

} // namespace

QRV_QuickEntry::QRV_QuickEntry(QLineEdit& entry, std::function<Context()> context, QObject* parent)
    : QObject(parent)
    , _entry(entry)
    , _context(std::move(context))
    , _focusAction(new QAction(tr("&Quick Entry"), this)) {
    _focusAction->setShortcut(QKeySequence(tr("Ctrl+L")));
    connect(_focusAction, &QAction::triggered, this, [this] {
        _entry.setFocus(Qt::ShortcutFocusReason);
        _entry.selectAll();
    });
    _entry.installEventFilter(this);
}

// Return, Enter, Escape, Up and Down belong to the line while it has the focus; the
// calculator's Return shortcut must not take them first.
bool QRV_QuickEntry::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &_entry ||
        (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const int code = key->key();
    const bool ours = code == Qt::Key_Return || code == Qt::Key_Enter || code == Qt::Key_Escape ||
                      code == Qt::Key_Up || code == Qt::Key_Down;
    if (!ours || key->modifiers() & ~Qt::KeypadModifier) {
        return QObject::eventFilter(watched, event);
    }
    event->accept();
    if (event->type() == QEvent::KeyPress) {
        if (code == Qt::Key_Escape) {
            _entry.clear();
            _recalled = _history.size();
        } else if (code == Qt::Key_Up || code == Qt::Key_Down) {
            recall(code == Qt::Key_Up ? -1 : 1);
        } else {
            evaluate();
        }
    }
    return true;
}

void QRV_QuickEntry::recall(int step) {
    const qsizetype next = std::clamp<qsizetype>(_recalled + step, 0, _history.size());
    if (next == _recalled) {
        return;
    }
    _recalled = next;
    _entry.setText(_recalled < _history.size() ? _history.at(_recalled) : QString());
}

bool QRV_QuickEntry::evaluate() {
    const QString text = _entry.text();
    const Context context = _context();
    const auto outcome = QRV_EntryReader::evaluate(
        text.toStdU16String(), {context.fps, context.dropFrame}, context.shownFrames);
    if (const auto* error = std::get_if<QRV_EntryError>(&outcome)) {
        report(*error);
        return false;
    }
    const auto& value = std::get<QRV_EntryValue>(outcome);
    if (_history.isEmpty() || _history.last() != text) {
        _history.append(text);
    }
    _recalled = _history.size();
    emit evaluated(value.frames, text.simplified());
    report(value);
    _entry.selectAll();
    return true;
}

void QRV_QuickEntry::report(const QRV_EntryValue& value) {
    QStringList notes;
    if (value.movedSkippedLabel) {
        notes << tr("A label that drop-frame numbering skips was read as the first label of its "
                    "minute.");
    }
    if (value.roundedByNumerator != 0) {
        const QString fraction = value.roundedByDenominator == 1
                                     ? QString::number(value.roundedByNumerator)
                                     : QStringLiteral("%1/%2")
                                           .arg(value.roundedByNumerator)
                                           .arg(value.roundedByDenominator);
        notes << tr("rounded to the nearest frame: %1 frame").arg(fraction);
    }
    if (!notes.isEmpty()) {
        emit message(notes.join(QLatin1Char(' ')));
    }
}

void QRV_QuickEntry::report(const QRV_EntryError& error) {
    if (error.kind == QRV_EntryError::Kind::Empty) {
        return;
    }
    emit message(sentence(error));
    _entry.setFocus(Qt::OtherFocusReason);
    _entry.setCursorPosition(static_cast<int>(
        std::min<std::size_t>(error.position, static_cast<std::size_t>(_entry.text().size()))));
}
