#pragma once

// Reads and evaluates one quick entry, by recursive descent over its tokens; the language is
// described in QRV_EntryReader.h, the grammar above the functions in the .cpp.
//
// Threading: one entry, one thread. Errors are thrown as QRV_EntryError. Recursion goes only
// through parentheses, whose depth is checked before each descent.

#include "QRV_EntryDuration.h"
#include "QRV_EntryError.h"
#include "QRV_EntryLexer.h"
#include "QRV_EntryReader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

class QRV_EntryParser {
public:
    QRV_EntryParser(std::u16string_view entry, QRV_EntryRate rate)
        : lexer_(entry)
        , rate_(rate) {}

    QRV_EntryDuration entry(std::optional<std::int64_t> shown);
    bool movedSkippedLabel() const { return moved_; }

private:
    using Token = QRV_EntryLexer::Token;

    // What was read, and where. A word of digits alone waits without a value until it is known
    // whether it stands before "*": then it may be a number typed first.
    struct Operand {
        std::size_t begin;
        std::size_t end;
        std::optional<QRV_EntryDuration> value;
        std::size_t wordBegin = 0;
        bool negative = false;
    };

    Operand continuation(Token first, std::optional<std::int64_t> shown);
    Operand sum();
    Operand sumFrom(Operand left);
    Operand product();
    Operand productFrom(Operand left);
    Operand scaled(Operand& left, Token op);
    Operand scaledByNumber(Operand& left, Token op);
    Operand unary();
    Operand primary();
    Operand parenthesized(Token open);

    bool startsNumber() const;
    QRV_EntryDuration& resolve(Operand& operand);
    QRV_EntryDuration inRange(std::optional<QRV_EntryDuration> result, Token op, std::size_t begin,
                              std::size_t end) const;
    QRV_EntryError error(QRV_EntryError::Kind kind, std::size_t position, std::size_t begin,
                         std::size_t end) const;
    QRV_EntryError unreadable(Token token) const;

    QRV_EntryLexer lexer_;
    QRV_EntryRate rate_;
    int depth_ = 0;
    bool moved_ = false;
};
