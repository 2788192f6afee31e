// libFuzzer target: the two-digit field formatter's three operations on arbitrary texts, with
// the properties a text field relies on checked after each (a violation traps).
//
// Input: [flags] [selection start] [selection length] [original length] [original] [edited]
//   flags bit 0: both texts are UTF-16 code units (little-endian, lone surrogates included)
//                instead of UTF-8;
//   flags bit 1: the operations get an error-description string to fill in.
// "original" is the field's text before the edit, with the given selection (clamped into it);
// "edited" is the text the edit would produce, with the caret at its end. The first four bytes
// also make the integer whose display is checked.

#include "NotificationCenter.h"
#include "ZK_TCInputFormatter.h"

#include <QStringList>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <variant>

namespace {

using platform::ObjectValue;
using platform::TextRange;

struct Input {
    QString original;
    TextRange originalSelection;
    QString edited;
    int number = 0;
    bool wantsError = false;
};

void require(bool property) {
    if (!property) {
        __builtin_trap();
    }
}

QString decode(const std::uint8_t* data, std::size_t size, bool utf16) {
    if (!utf16) {
        return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    }
    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text[static_cast<qsizetype>(i / 2)] =
            QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    }
    return text;
}

Input parse(const std::uint8_t* data, std::size_t size) {
    std::uint8_t header[4] = {};
    const std::size_t headerSize = std::min(size, sizeof header);
    std::copy_n(data, headerSize, header);
    data += headerSize;
    size -= headerSize;
    Input input;
    std::memcpy(&input.number, header, sizeof input.number);
    const bool utf16 = (header[0] & 1) != 0;
    input.wantsError = (header[0] & 2) != 0;
    const std::size_t originalSize = std::min<std::size_t>(header[3], size);
    input.original = decode(data, originalSize, utf16);
    input.edited = decode(data + originalSize, size - originalSize, utf16);
    const auto length = static_cast<std::uint32_t>(input.original.size());
    const std::uint32_t start = std::min<std::uint32_t>(header[1], length);
    input.originalSelection = {start, std::min<std::uint32_t>(header[2], length - start)};
    return input;
}

bool inside(const TextRange& range, const QString& text) {
    return std::uint64_t{range.location} + range.length <= static_cast<std::uint64_t>(text.size());
}

// A number's display commits as that number; the display of anything else never does.
void checkDisplay(const ZK_TCInputFormatter& formatter, const ObjectValue& value) {
    ObjectValue committed;
    require(formatter.getObjectValue(&committed, formatter.stringForObjectValue(value), nullptr));
    if (std::holds_alternative<int>(value)) {
        require(committed == value);
    } else {
        require(!std::holds_alternative<int>(committed));
    }
}

void checkCommit(const ZK_TCInputFormatter& formatter, const Input& input) {
    ObjectValue committed;
    QString error;
    require(
        formatter.getObjectValue(&committed, input.edited, input.wantsError ? &error : nullptr));
    require(!std::holds_alternative<std::monostate>(committed));
    require(formatter.getObjectValue(nullptr, input.edited, nullptr));
    checkDisplay(formatter, committed);
}

// The sign requests the formatter posts during one edit.
class SignRequests {
public:
    explicit SignRequests(const ZK_TCInputFormatter& formatter) {
        platform::NotificationCenter::defaultCenter().addObserver(
            this,
            [this](const platform::Notification& n) {
                const platform::Value* sign = n.valueForKey(ZKTCRelPlusMinusKey);
                require(sign != nullptr);
                signs_.push_back(QString::fromStdString(sign->stringValue()));
            },
            ZKTCRelValueRequestNotification, &formatter);
    }
    ~SignRequests() { platform::NotificationCenter::defaultCenter().removeObserver(this); }
    SignRequests(const SignRequests&) = delete;
    SignRequests& operator=(const SignRequests&) = delete;

    const QStringList& signs() const { return signs_; }

private:
    QStringList signs_;
};

void checkEdit(const ZK_TCInputFormatter& formatter, const Input& input) {
    QString text = input.edited;
    const TextRange caretAtEnd{static_cast<std::uint32_t>(text.size()), 0};
    TextRange selection = caretAtEnd;
    QString error;
    const SignRequests requests(formatter);
    const bool accepted =
        formatter.isPartialStringValid(&text, &selection, input.original, input.originalSelection,
                                       input.wantsError ? &error : nullptr);
    if (accepted) {
        require(text == input.edited && selection == caretAtEnd);
    } else if (text != input.edited) {
        require(text.size() <= 2 && inside(selection, text));
    }
    // At most one request per edit, refused, for a sign the edited text holds.
    require(requests.signs().size() <= 1);
    for (const QString& sign : requests.signs()) {
        require(!accepted && (sign == u"+" || sign == u"-") && input.edited.contains(sign));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ZK_TCInputFormatter formatter;
    const Input input = parse(data, size);
    checkEdit(formatter, input);
    checkCommit(formatter, input);
    checkDisplay(formatter, input.number);
    checkDisplay(formatter, std::monostate{});
    checkDisplay(formatter, input.edited);
    return 0;
}
