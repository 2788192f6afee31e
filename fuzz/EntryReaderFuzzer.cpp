// libFuzzer target: the quick-entry reader on arbitrary texts at every rate, with and without a
// shown result, with the properties the window relies on checked (a violation traps).
//
// Input: [flags] [shown, 8 bytes little-endian] [entry]
//   flags bit 0:    the entry is UTF-16 code units (little-endian, lone surrogates included)
//                   instead of UTF-8 (malformed sequences read as U+FFFD);
//   flags bits 1-3: the rate: 24, 25, 30, 48, 50, 60, 29.97 DF, 59.94 DF;
//   flags bit 4:    a result is shown;
//   flags bit 5:    the shown result is brought into the calculator's range.

#include "QRV_EntryDuration.h"
#include "QRV_EntryReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <variant>

namespace {

constexpr QRV_EntryRate kRates[] = {{24, false}, {25, false}, {30, false}, {48, false},
                                    {50, false}, {60, false}, {30, true},  {60, true}};

struct Input {
    std::u16string entry;
    QRV_EntryRate rate{};
    std::optional<std::int64_t> shown;
};

void require(bool property) {
    if (!property) {
        __builtin_trap();
    }
}

void appendCodePoint(std::u16string& text, char32_t c) {
    if (c < 0x10000) {
        text += static_cast<char16_t>(c);
        return;
    }
    c -= 0x10000;
    text += static_cast<char16_t>(0xD800 + (c >> 10));
    text += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

// Lenient: a lead byte and its continuation bytes, whatever they encode.
std::u16string fromUtf8(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t lead = data[i++];
        const int more = lead < 0xC0 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = lead < 0x80 ? lead : lead & (0x3F >> more);
        int taken = 0;
        for (; taken < more && i < size && (data[i] & 0xC0) == 0x80; ++taken) {
            c = c << 6 | (data[i++] & 0x3F);
        }
        const bool whole = (lead < 0x80 || lead >= 0xC0) && taken == more && c <= 0x10FFFF;
        appendCodePoint(text, whole ? c : U'\uFFFD');
    }
    return text;
}

std::u16string fromUtf16(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text[i / 2] = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    }
    return text;
}

Input parse(const std::uint8_t* data, std::size_t size) {
    std::uint8_t header[9] = {};
    const std::size_t headerSize = std::min(size, sizeof header);
    std::copy_n(data, headerSize, header);
    Input input;
    input.rate = kRates[(header[0] >> 1) & 7];
    std::uint64_t shown = 0;
    for (int i = 8; i >= 1; --i) {
        shown = shown << 8 | header[i];
    }
    if ((header[0] & 0x10) != 0) {
        constexpr std::uint64_t span = 2 * QRV_EntryDuration::kLimit + 1;
        input.shown = (header[0] & 0x20) != 0
                          ? static_cast<std::int64_t>(shown % span) - QRV_EntryDuration::kLimit
                          : static_cast<std::int64_t>(shown);
    }
    const bool utf16 = (header[0] & 1) != 0;
    input.entry = utf16 ? fromUtf16(data + headerSize, size - headerSize)
                        : fromUtf8(data + headerSize, size - headerSize);
    return input;
}

void checkValue(const QRV_EntryValue& value) {
    require(value.frames >= -QRV_EntryDuration::kLimit &&
            value.frames <= QRV_EntryDuration::kLimit);
    require(value.roundedByDenominator > 0);
    require(std::gcd(value.roundedByNumerator, value.roundedByDenominator) == 1);
}

bool within(const std::u16string& entry, const std::u16string& text) {
    return entry.find(text) != std::u16string::npos;
}

void checkError(const Input& input, const QRV_EntryError& error) {
    using Kind = QRV_EntryError::Kind;
    require(error.position <= input.entry.size());
    require(within(input.entry, error.text) && within(input.entry, error.otherText));
    require(error.position < input.entry.size() || error.kind == Kind::Unfinished ||
            error.kind == Kind::Empty);
    if (error.kind == Kind::FieldOutOfRange) {
        const int limits[] = {23, 59, 59, input.rate.fps - 1};
        const int field = static_cast<int>(error.field) - 1;
        require(field >= 0 && field < 4 && error.limit == limits[field] &&
                error.value > error.limit);
    }
    if (error.kind == Kind::NothingToContinue) {
        require(!input.shown);
    }
}

// "-(entry)" continuing from 0 is the entry's exact negation, rounding fraction and moved labels
// included: continuing and parenthesizing change nothing else.
void checkNegation(const Input& input, const QRV_EntryValue& value) {
    if (input.shown || input.entry.size() + 3 > QRV_EntryReader::kMaxLength) {
        return;
    }
    const auto negated = QRV_EntryReader::evaluate(u"-(" + input.entry + u")", input.rate, 0);
    if (const auto* error = std::get_if<QRV_EntryError>(&negated)) {
        require(error->kind == QRV_EntryError::Kind::TooDeep);
        return;
    }
    const QRV_EntryValue& result = std::get<QRV_EntryValue>(negated);
    require(result.frames == -value.frames &&
            result.roundedByNumerator == -value.roundedByNumerator &&
            result.roundedByDenominator == value.roundedByDenominator &&
            result.movedSkippedLabel == value.movedSkippedLabel);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Input input = parse(data, size);
    const auto result = QRV_EntryReader::evaluate(input.entry, input.rate, input.shown);
    if (const auto* value = std::get_if<QRV_EntryValue>(&result)) {
        checkValue(*value);
        checkNegation(input, *value);
    } else {
        checkError(input, std::get<QRV_EntryError>(result));
    }
    return 0;
}
