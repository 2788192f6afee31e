#pragma once

#include <QString>

namespace platform {

class TextField;

// What a TextField asks before an edit may end (Return, Enter, or focus leaving), and before
// it pastes.
class TextFieldDelegate {
public:
    // false keeps the field in editing. The delegate may change the field's value.
    virtual bool controlTextShouldEndEditing(TextField* control) = 0;

    // The clipboard's text, before the field pastes it. true: the delegate has used it and
    // the field pastes nothing; false: the field pastes it as any edit.
    virtual bool controlShouldTakePastedText(TextField* /*control*/, const QString& /*text*/) {
        return false;
    }

protected:
    ~TextFieldDelegate() = default;
};

} // namespace platform
