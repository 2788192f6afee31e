#include "TextField.h"

#include "Formatter.h"
#include "TextFieldDelegate.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

namespace platform {

TextField::TextField(QWidget* parent)
    : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, &TextField::onTextEdited);
    connect(this, &QLineEdit::textChanged, this, &TextField::trackState);
    connect(this, &QLineEdit::selectionChanged, this, &TextField::trackState);
    connect(this, &QLineEdit::cursorPositionChanged, this, &TextField::trackState);
}

void TextField::setObjectValue(ObjectValue value) {
    _objectValue = std::move(value);
    redisplay();
}

int TextField::intValue() const {
    const QByteArray bytes = text().toUtf8();
    const long long value = std::strtoll(bytes.constData(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

void TextField::setIntValue(int value) {
    setObjectValue(value);
}

void TextField::setStringValue(const QString& string) {
    ObjectValue value = string;
    if (_formatter != nullptr && !_formatter->getObjectValue(&value, string, nullptr)) {
        value = string;
    }
    setObjectValue(std::move(value));
}

void TextField::setFormatter(const Formatter* formatter) {
    _formatter = formatter;
    redisplay();
}

bool TextField::endEditing() {
    if (_delegate != nullptr && !_delegate->controlTextShouldEndEditing(this)) {
        return false;
    }
    ObjectValue value = text();
    if (_formatter != nullptr && !_formatter->getObjectValue(&value, text(), nullptr)) {
        return false;
    }
    setObjectValue(std::move(value));
    return true;
}

TextRange TextField::selectedRange() const {
    if (hasSelectedText()) {
        return {static_cast<std::uint32_t>(selectionStart()),
                static_cast<std::uint32_t>(selectionLength())};
    }
    return {static_cast<std::uint32_t>(cursorPosition()), 0};
}

void TextField::setSelectedRange(TextRange range) {
    const auto length = static_cast<std::uint32_t>(text().size());
    const std::uint32_t start = std::min(range.location, length);
    const std::uint32_t count = std::min(range.length, length - start);
    if (count == 0) {
        setCursorPosition(static_cast<int>(start));
    } else {
        setSelection(static_cast<int>(start), static_cast<int>(count));
    }
}

void TextField::setWidthInCharacters(int characters) {
    _widthInCharacters = std::max(characters, 0);
    updateGeometry();
}

int TextField::hintWidth(int qtWidth) const {
    if (_widthInCharacters == 0) {
        return qtWidth;
    }
    // QLineEdit sizes its text area for 17 'x'; keep its frame and margins, and size the text
    // area for the digits this field shows plus one, so they never touch the frame.
    const QFontMetrics metrics(font());
    const int chrome = qtWidth - metrics.horizontalAdvance(QLatin1Char('x')) * 17;
    return chrome + metrics.horizontalAdvance(QString(_widthInCharacters + 1, u'0'));
}

QSize TextField::sizeHint() const {
    QSize hint = QLineEdit::sizeHint();
    hint.setWidth(hintWidth(hint.width()));
    return hint;
}

QSize TextField::minimumSizeHint() const {
    QSize hint = QLineEdit::minimumSizeHint();
    if (_widthInCharacters > 0) {
        hint.setWidth(sizeHint().width());
    }
    return hint;
}

bool TextField::event(QEvent* event) {
    ++_eventDepth;
    const bool handled = QLineEdit::event(event);
    if (--_eventDepth == 0 && _editPending) {
        judgePendingEdit();
    }
    return handled;
}

void TextField::pasteFromClipboard(QClipboard::Mode mode) {
    const QString text = QGuiApplication::clipboard()->text(mode);
    if (_delegate != nullptr && _delegate->controlShouldTakePastedText(this, text)) {
        return;
    }
    if (mode == QClipboard::Clipboard) {
        paste();
    } else {
        insert(text);
    }
}

void TextField::copyToClipboard() {
    const QString text = _copyTextSource ? _copyTextSource() : QString();
    if (text.isEmpty()) {
        copy();
    } else {
        QGuiApplication::clipboard()->setText(text);
    }
}

void TextField::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Paste && !isReadOnly()) {
        event->accept();
        pasteFromClipboard();
        return;
    }
    if (event == QKeySequence::Copy) {
        event->accept();
        copyToClipboard();
        return;
    }
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!isReturn || isReadOnly()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (endEditing()) {
        selectAll();
        emit returnCommitted();
    }
}

// QLineEdit selects all only when tabbed into; a click, a shortcut or code leaves the caret at
// the end, and the first digit typed would then be lost to the formatter.
void TextField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (_selectsAllOnFocus) {
        selectAll();
    }
}

void TextField::focusOutEvent(QFocusEvent* event) {
    // A context menu or another window taking the focus does not end the edit.
    const bool endsEdit =
        event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
    if (_edited && endsEdit && !endEditing()) {
        QMetaObject::invokeMethod(
            this, [this] { setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
    }
    QLineEdit::focusOutEvent(event);
}

void TextField::mouseReleaseEvent(QMouseEvent* event) {
    const bool selectionPaste = event->button() == Qt::MiddleButton && !isReadOnly() &&
                                QGuiApplication::clipboard()->supportsSelection();
    if (selectionPaste && _delegate != nullptr) {
        event->accept();
        pasteFromClipboard(QClipboard::Selection);
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
    if (_selectsAllOnClick && event->button() == Qt::LeftButton && !hasSelectedText()) {
        selectAll();
    }
}

namespace {

// An action of QLineEdit's standard menu, known by its title as QLineEdit translates it (the
// shortcut follows a tab).
QAction* standardAction(const QMenu& menu, const char* title) {
    const QString wanted = QLineEdit::tr(title);
    for (QAction* action : menu.actions()) {
        if (action->text().section(QLatin1Char('\t'), 0, 0) == wanted) {
            return action;
        }
    }
    return nullptr;
}

} // namespace

// Qt's own menu, with Copy and Paste going through the delegate as the keys do.
void TextField::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (QAction* pasteAction = standardAction(*menu, "&Paste")) {
        pasteAction->disconnect(this);
        connect(pasteAction, &QAction::triggered, this, [this] { pasteFromClipboard(); });
    }
    if (QAction* copyAction = standardAction(*menu, "&Copy")) {
        copyAction->disconnect(this);
        copyAction->setEnabled(copyAction->isEnabled() ||
                               (_copyTextSource && !_copyTextSource().isEmpty()));
        connect(copyAction, &QAction::triggered, this, &TextField::copyToClipboard);
    }
    menu->exec(event->globalPos());
}

void TextField::showState(State state) {
    setText(state.text);
    setSelectedRange(state.selection);
}

void TextField::redisplay() {
    _editPending = false;
    _edited = false;
    setText(displayString());
    if (_selectsAllOnFocus && hasFocus()) {
        selectAll();
    }
    _beforeEdit = currentState();
}

QString TextField::displayString() const {
    if (_formatter != nullptr) {
        return _formatter->stringForObjectValue(_objectValue);
    }
    if (const int* number = std::get_if<int>(&_objectValue)) {
        return QString::number(*number);
    }
    if (const QString* string = std::get_if<QString>(&_objectValue)) {
        return *string;
    }
    return {};
}

void TextField::onTextEdited() {
    _editPending = true;
    if (_eventDepth == 0) {
        judgePendingEdit(); // an edit made by calling a slot such as paste() directly
    }
}

void TextField::judgePendingEdit() {
    _editPending = false;
    const State proposed = currentState();
    State answer = proposed;
    const bool valid =
        _formatter == nullptr ||
        _formatter->isPartialStringValid(&answer.text, &answer.selection, _beforeEdit.text,
                                         _beforeEdit.selection, nullptr);
    if (valid) {
        if (answer.selection != proposed.selection) {
            setSelectedRange(answer.selection);
        }
        _edited = true;
    } else if (answer.text == proposed.text) {
        showState(_beforeEdit);
    } else {
        showState(answer);
        _edited = true;
    }
    _beforeEdit = currentState();
}

void TextField::trackState() {
    if (!_editPending) {
        _beforeEdit = currentState();
    }
}

} // namespace platform
