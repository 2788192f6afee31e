#pragma once

// A boxed value: a byte copy of a trivially copyable record together with its type string.
// Immutable once made, so boxes may be shared between threads freely.

#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace platform {

class Value {
public:
    // Type string of a boxed text (ZKTCRelPlusMinus and the like).
    static constexpr std::string_view kStringType = "*";

    Value() = default;

    template <class T> static Value make(const T& record, std::string_view objCType) {
        static_assert(std::is_trivially_copyable_v<T>, "only plain records can be boxed");
        std::vector<unsigned char> bytes(sizeof(T));
        std::memcpy(bytes.data(), &record, sizeof(T));
        return Value(std::string(objCType), std::move(bytes));
    }

    static Value makeString(std::string_view text);

    const std::string& objCType() const { return type_; }
    std::size_t size() const { return bytes_.size(); }

    // Copies the bytes back. Refuses (returns false, leaves *out alone) when the size differs,
    // or when expectedType is given and differs from the box's type.
    template <class T> bool getValue(T* out, std::string_view expectedType = {}) const {
        static_assert(std::is_trivially_copyable_v<T>, "only plain records can be unboxed");
        if (out == nullptr || bytes_.size() != sizeof(T) ||
            (!expectedType.empty() && expectedType != type_)) {
            return false;
        }
        std::memcpy(out, bytes_.data(), sizeof(T));
        return true;
    }

    // The text of a box made by makeString; empty for any other box.
    std::string stringValue() const;

private:
    Value(std::string type, std::vector<unsigned char> bytes)
        : type_(std::move(type))
        , bytes_(std::move(bytes)) {}

    std::string type_;
    std::vector<unsigned char> bytes_;
};

} // namespace platform
