#include "QRV_EntryParser.h"

#include "QRV_EntryLiteral.h"

#include <string>

// entry        = ( continuation | sum ) end
// continuation = shown { ( "*" | "/" ) factor } { ( "+" | "-" ) product }
//                (an entry that starts with an operator; shown is the result on display)
// sum          = product { ( "+" | "-" ) product }
// product      = unary { ( "*" | "/" ) factor }
// factor       = { "-" } number           (a unary read there, a duration, is an error)
// unary        = { "-" } primary
// primary      = timecode | digits | frames | "(" sum ")"
// "×" reads as "*" and "÷" as "/". A number and digits alone are the same word, told apart by
// where it stands.

namespace {

using Kind = QRV_EntryError::Kind;
using TokenKind = QRV_EntryLexer::Token::Kind;

bool isOperator(TokenKind kind) {
    return kind == TokenKind::Plus || kind == TokenKind::Minus || kind == TokenKind::Times ||
           kind == TokenKind::Divide;
}

} // namespace

QRV_EntryDuration QRV_EntryParser::entry(std::optional<std::int64_t> shown) {
    const Token first = lexer_.peek();
    Operand result = isOperator(first.kind) ? continuation(first, shown) : sum();
    const QRV_EntryDuration value = resolve(result);
    const Token rest = lexer_.take();
    if (rest.kind != TokenKind::End) {
        throw unreadable(rest);
    }
    return value;
}

// A leading "-" always continues: a negative start is written "(-10:00)".
QRV_EntryParser::Operand QRV_EntryParser::continuation(Token first,
                                                       std::optional<std::int64_t> shown) {
    if (!shown) {
        throw error(Kind::NothingToContinue, first.begin, first.begin, first.end);
    }
    std::optional<QRV_EntryDuration> value = QRV_EntryDuration::ofFrames(*shown);
    if (!value) {
        throw error(Kind::TooLarge, 0, 0, 0);
    }
    return sumFrom(productFrom({first.begin, first.begin, value}));
}

QRV_EntryParser::Operand QRV_EntryParser::sum() {
    return sumFrom(product());
}

QRV_EntryParser::Operand QRV_EntryParser::sumFrom(Operand left) {
    while (lexer_.peek().kind == TokenKind::Plus || lexer_.peek().kind == TokenKind::Minus) {
        const Token op = lexer_.take();
        const QRV_EntryDuration a = resolve(left);
        Operand right = product();
        const QRV_EntryDuration& b = resolve(right);
        left = {left.begin, right.end,
                inRange(op.kind == TokenKind::Plus ? a.plus(b) : a.minus(b), op, left.begin,
                        right.end)};
    }
    return left;
}

QRV_EntryParser::Operand QRV_EntryParser::product() {
    return productFrom(unary());
}

QRV_EntryParser::Operand QRV_EntryParser::productFrom(Operand left) {
    while (lexer_.peek().kind == TokenKind::Times || lexer_.peek().kind == TokenKind::Divide) {
        const Token op = lexer_.take();
        left = scaled(left, op);
    }
    return left;
}

// Only a number may follow "*" or "/"; what else can be there is a duration, and which error
// it makes depends on the operand before.
QRV_EntryParser::Operand QRV_EntryParser::scaled(Operand& left, Token op) {
    if (startsNumber()) {
        return scaledByNumber(left, op);
    }
    const bool times = op.kind == TokenKind::Times;
    if (times && !left.value && QRV_EntryLiteral::isNumber(lexer_.text(left.wordBegin, left.end))) {
        const Operand duration = unary();
        QRV_EntryError numberFirst = error(Kind::NumberFirst, left.begin, left.begin, left.end);
        numberFirst.otherText = lexer_.text(duration.begin, duration.end);
        throw numberFirst;
    }
    resolve(left);
    const Operand right = unary();
    QRV_EntryError byDuration = error(times ? Kind::DurationTimesDuration : Kind::DividedByDuration,
                                      right.begin, right.begin, right.end);
    byDuration.otherText = lexer_.text(left.begin, left.end);
    throw byDuration;
}

QRV_EntryParser::Operand QRV_EntryParser::scaledByNumber(Operand& left, Token op) {
    const QRV_EntryDuration& value = resolve(left);
    const std::size_t begin = lexer_.peek().begin;
    const bool negative = lexer_.takeMinuses();
    const Token word = lexer_.take();
    QRV_EntryNumber number =
        QRV_EntryLiteral::number(lexer_.text(word.begin, word.end), word.begin);
    number.numerator = negative ? -number.numerator : number.numerator;
    if (op.kind == TokenKind::Times) {
        return {left.begin, word.end, inRange(value.times(number), op, left.begin, word.end)};
    }
    if (number.numerator == 0) {
        throw error(Kind::DivideByZero, begin, begin, word.end);
    }
    return {left.begin, word.end, inRange(value.dividedBy(number), op, left.begin, word.end)};
}

QRV_EntryParser::Operand QRV_EntryParser::unary() {
    const std::size_t begin = lexer_.peek().begin;
    const bool negative = lexer_.takeMinuses();
    Operand operand = primary();
    operand.begin = begin;
    if (negative && operand.value) {
        operand.value = operand.value->negated();
    } else if (negative) {
        operand.negative = true;
    }
    return operand;
}

QRV_EntryParser::Operand QRV_EntryParser::primary() {
    const Token token = lexer_.take();
    if (token.kind == TokenKind::Open) {
        return parenthesized(token);
    }
    if (token.kind == TokenKind::End) {
        throw error(Kind::Unfinished, token.begin, token.begin, token.end);
    }
    if (token.kind != TokenKind::Word) {
        throw unreadable(token);
    }
    Operand operand{token.begin, token.end, std::nullopt, token.begin};
    if (!QRV_EntryLiteral::isDigits(lexer_.text(token.begin, token.end))) {
        resolve(operand);
    }
    return operand;
}

QRV_EntryParser::Operand QRV_EntryParser::parenthesized(Token open) {
    if (depth_ == QRV_EntryReader::kMaxDepth) {
        QRV_EntryError tooDeep = error(Kind::TooDeep, open.begin, open.begin, open.end);
        tooDeep.limit = QRV_EntryReader::kMaxDepth;
        throw tooDeep;
    }
    ++depth_;
    Operand inner = sum();
    --depth_;
    const Token close = lexer_.take();
    if (close.kind == TokenKind::End) {
        throw error(Kind::Unclosed, open.begin, open.begin, open.end);
    }
    if (close.kind != TokenKind::Close) {
        throw unreadable(close);
    }
    return {open.begin, close.end, resolve(inner)};
}

bool QRV_EntryParser::startsNumber() const {
    QRV_EntryLexer ahead = lexer_;
    ahead.takeMinuses();
    const Token token = ahead.peek();
    return token.kind == TokenKind::Word &&
           QRV_EntryLiteral::isDigits(lexer_.text(token.begin, token.end));
}

QRV_EntryDuration& QRV_EntryParser::resolve(Operand& operand) {
    if (!operand.value) {
        const auto word = QRV_EntryLiteral::duration(lexer_.text(operand.wordBegin, operand.end),
                                                     operand.wordBegin, rate_);
        moved_ = moved_ || word.movedSkippedLabel;
        // Words stay within the range, which is the same both ways.
        const QRV_EntryDuration value = *QRV_EntryDuration::ofFrames(word.frames);
        operand.value = operand.negative ? value.negated() : value;
    }
    return *operand.value;
}

QRV_EntryDuration QRV_EntryParser::inRange(std::optional<QRV_EntryDuration> result, Token op,
                                           std::size_t begin, std::size_t end) const {
    if (!result) {
        throw error(Kind::TooLarge, op.begin, begin, end);
    }
    return *result;
}

QRV_EntryError QRV_EntryParser::error(QRV_EntryError::Kind kind, std::size_t position,
                                      std::size_t begin, std::size_t end) const {
    QRV_EntryError error;
    error.kind = kind;
    error.position = position;
    error.text = lexer_.text(begin, end);
    return error;
}

QRV_EntryError QRV_EntryParser::unreadable(Token token) const {
    return error(Kind::Unreadable, token.begin, token.begin, token.end);
}
