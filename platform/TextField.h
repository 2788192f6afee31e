#pragma once

// A one-line text field with an object value, an optional Formatter and an optional
// TextFieldDelegate.
//
// With a formatter the field honours the formatter contract:
// - it shows stringForObjectValue(objectValue()); setIntValue and setObjectValue redisplay;
// - every user edit (typing, deleting, pasting, dropping, undo) is put to
//   isPartialStringValid with the text and selection from before the edit, and is kept,
//   refused, or replaced as the answer says;
// - ending an edit (Return, Enter, or focus leaving after an edit) asks the delegate first,
//   then commits the text through getObjectValue and redisplays it.
// Paste, from the keyboard or the context menu, asks the delegate first; Copy takes the copy
// text source's text when it gives one.
// Without a formatter the object value is the committed text itself.
//
// Main thread only, like every widget.

#include "ObjectValue.h"
#include "TextRange.h"

#include <QClipboard>
#include <QLineEdit>
#include <functional>

namespace platform {

class Formatter;
class TextFieldDelegate;

class TextField : public QLineEdit {
    Q_OBJECT
    // Width for this many digits instead of QLineEdit's generic width; 0 keeps the default.
    Q_PROPERTY(int widthInCharacters READ widthInCharacters WRITE setWidthInCharacters)
    // A click that selects nothing selects the whole text, as tabbing in does.
    Q_PROPERTY(bool selectsAllOnClick READ selectsAllOnClick WRITE setSelectsAllOnClick)
    // The whole text is selected whenever the field gets the focus, for any reason, and when
    // its value is set while it has the focus, so the next key typed replaces it all.
    Q_PROPERTY(bool selectsAllOnFocus READ selectsAllOnFocus WRITE setSelectsAllOnFocus)

public:
    explicit TextField(QWidget* parent = nullptr);

    const ObjectValue& objectValue() const { return _objectValue; }
    void setObjectValue(ObjectValue value);

    // The integer the shown text denotes, read like strtol: leading white space, an optional
    // sign, digits; saturates at the int32 limits; 0 when no digits lead. An edit in progress
    // is read as typed.
    int intValue() const;
    void setIntValue(int value);

    // The shown text. Setting it with a formatter goes through getObjectValue.
    QString stringValue() const { return text(); }
    void setStringValue(const QString& string);

    const Formatter* formatter() const { return _formatter; }
    void setFormatter(const Formatter* formatter);

    TextFieldDelegate* delegate() const { return _delegate; }
    void setDelegate(TextFieldDelegate* delegate) { _delegate = delegate; }

    // Ends the edit as Return would, without the returnCommitted signal. false when the
    // delegate or the formatter refused; the field then keeps its text.
    bool endEditing();

    TextRange selectedRange() const;
    void setSelectedRange(TextRange range);

    int widthInCharacters() const { return _widthInCharacters; }
    void setWidthInCharacters(int characters);

    bool selectsAllOnClick() const { return _selectsAllOnClick; }
    void setSelectsAllOnClick(bool selects) { _selectsAllOnClick = selects; }

    bool selectsAllOnFocus() const { return _selectsAllOnFocus; }
    void setSelectsAllOnFocus(bool selects) { _selectsAllOnFocus = selects; }

    // The clipboard's text, offered to the delegate first, else pasted as the user would.
    // The X11 selection (middle button) takes the same road.
    void pasteFromClipboard(QClipboard::Mode mode = QClipboard::Clipboard);
    // What Copy puts on the clipboard instead of the selection; an empty text, or no source,
    // copies the selection.
    using CopyTextSource = std::function<QString()>;
    void setCopyTextSource(CopyTextSource source) { _copyTextSource = std::move(source); }
    // The copy text source's text if it gives one, else the selection.
    void copyToClipboard();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Return or Enter ended the edit: the field's action, like the = key of a calculator.
    void returnCommitted();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct State {
        QString text;
        TextRange selection;
    };

    State currentState() const { return {text(), selectedRange()}; }
    void showState(State state); // by value: showing it moves _beforeEdit
    void redisplay();
    QString displayString() const;
    void onTextEdited();
    void judgePendingEdit();
    void trackState();
    int hintWidth(int qtWidth) const;

    ObjectValue _objectValue;
    const Formatter* _formatter = nullptr;
    TextFieldDelegate* _delegate = nullptr;
    int _widthInCharacters = 0;
    bool _selectsAllOnClick = false;
    bool _selectsAllOnFocus = false;
    CopyTextSource _copyTextSource;

    // Text and selection before the edit under way; follows every change that is not one.
    State _beforeEdit;
    // An edit reported inside an event waits for the event to finish, so that QLineEdit
    // completes its own bookkeeping before the text is replaced.
    bool _editPending = false;
    int _eventDepth = 0;
    // A user edit has stood since the last commit, so leaving the field ends an edit.
    bool _edited = false;
};

} // namespace platform
