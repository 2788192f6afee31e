#pragma once

// The formatter contract between a TextField and the object that renders, parses and checks
// its text. A formatter is stateless as far as the field is concerned; one instance may serve
// many fields and must outlive them.

#include "ObjectValue.h"
#include "TextRange.h"

#include <QString>

namespace platform {

class Formatter {
public:
    virtual ~Formatter() = default;

    // The text a field shows for value.
    virtual QString stringForObjectValue(const ObjectValue& value) const = 0;

    // Parses a committed text. On true, *value (when given) is the field's new object value;
    // on false the field stays in editing. errorDescription may be null.
    virtual bool getObjectValue(ObjectValue* value, const QString& string,
                                QString* errorDescription) const = 0;

    // Judges one user edit. partialString and proposedSelectedRange hold the text and
    // selection the edit would produce; true lets them stand. On false, a formatter that left
    // *partialString as it came refuses the edit (the field restores the text and selection
    // from before it); one that replaced it makes the field show the new text with the new
    // selection. errorDescription may be null.
    virtual bool isPartialStringValid(QString* partialString, TextRange* proposedSelectedRange,
                                      const QString& originalString,
                                      TextRange originalSelectedRange,
                                      QString* errorDescription) const = 0;
};

} // namespace platform
