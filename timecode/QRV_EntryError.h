#pragma once

// Why a quick entry has no value, and where: what the window needs to say so in its own words.
//
// Positions and texts are in UTF-16 code units, the units of a QString index: position 4 of
// "01:0x" is the "x".

#include <cstddef>
#include <string>

struct QRV_EntryError {
    enum class Kind {
        Empty,   // nothing but white space
        TooLong, // more than limit characters; position is the first one past it
        TooDeep, // parentheses nested more than limit deep; at the "(" that goes past it
        // A character that cannot be read here; text is its word (or the operator or
        // parenthesis itself).
        Unreadable,
        Unfinished, // the entry ends where a value is needed; position is its end, text empty
        Unclosed,   // a "(" never closed; at the "("
        // value digits where limit are allowed: 8 in a timecode written as digits alone (each
        // "." counting two), 12 decimals in a number. At the word.
        TooManyDigits,
        FieldOutOfRange, // field holds value, above limit (its largest); at the field's digits
        // text is the right operand, otherText the left one; at the right one.
        DurationTimesDuration,
        DividedByDuration,
        // A number multiplied by a duration: text is the number, otherText the duration; at the
        // number.
        NumberFirst,
        DivideByZero, // at the number, text the number
        // Beyond the calculator's range: frames above 10^12 or a number above 1,000,000 (at the
        // word); an operation whose result, exact or rounded, leaves the range, or whose exact
        // value needs terms beyond 64 bits (at the operator; text is the operation); at 0 with
        // no text, the shown result.
        TooLarge,
        NothingToContinue, // the entry starts with an operator and no result is shown
    };
    enum class Field { None, Hours, Minutes, Seconds, Frames };

    Kind kind = Kind::Empty;
    std::size_t position = 0;
    std::u16string text;      // as typed
    std::u16string otherText; // as typed; empty for the shown result
    Field field = Field::None;
    int value = 0; // where a kind above names them
    int limit = 0;

    bool operator==(const QRV_EntryError&) const = default;
};
