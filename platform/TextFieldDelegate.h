#pragma once

namespace platform {

class TextField;

// What a TextField asks before an edit may end (Return, Enter, or focus leaving).
class TextFieldDelegate {
public:
    // false keeps the field in editing. The delegate may change the field's value.
    virtual bool controlTextShouldEndEditing(TextField* control) = 0;

protected:
    ~TextFieldDelegate() = default;
};

} // namespace platform
