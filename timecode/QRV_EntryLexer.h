#pragma once

// Splits a quick entry into operators, parentheses and words, skipping white space (space,
// tab, no-break and thin spaces). A word is everything between them; what it means is read
// later, where its place in the calculation is known.
//
// Threading: a value over the entry's characters, which must outlive it; any thread.

#include <cstddef>
#include <string_view>

class QRV_EntryLexer {
public:
    struct Token {
        enum class Kind { Word, Plus, Minus, Times, Divide, Open, Close, End };
        Kind kind;
        std::size_t begin; // UTF-16 code units into the entry
        std::size_t end;
    };

    explicit QRV_EntryLexer(std::u16string_view entry)
        : entry_(entry) {}

    Token peek() const;
    Token take();
    // Takes any "-" tokens; true when there was an odd number of them.
    bool takeMinuses();

    std::u16string_view entry() const { return entry_; }
    std::u16string_view text(std::size_t begin, std::size_t end) const {
        return entry_.substr(begin, end - begin);
    }

private:
    std::u16string_view entry_;
    std::size_t position_ = 0;
};
