#include "QRV_EntryLexer.h"

namespace {

using Kind = QRV_EntryLexer::Token::Kind;

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\u00A0' || c == u'\u2009' || c == u'\u202F';
}

// The kind of a one-character token; Word for any other character.
Kind kindOf(char16_t c) {
    switch (c) {
    case u'+':
        return Kind::Plus;
    case u'-':
        return Kind::Minus;
    case u'*':
    case u'\u00D7':
        return Kind::Times;
    case u'/':
    case u'\u00F7':
        return Kind::Divide;
    case u'(':
        return Kind::Open;
    case u')':
        return Kind::Close;
    default:
        return Kind::Word;
    }
}

bool endsWord(char16_t c) {
    return isSpace(c) || kindOf(c) != Kind::Word;
}

} // namespace

QRV_EntryLexer::Token QRV_EntryLexer::peek() const {
    std::size_t begin = position_;
    while (begin < entry_.size() && isSpace(entry_[begin])) {
        ++begin;
    }
    if (begin == entry_.size()) {
        return {Kind::End, begin, begin};
    }
    const Kind kind = kindOf(entry_[begin]);
    if (kind != Kind::Word) {
        return {kind, begin, begin + 1};
    }
    std::size_t end = begin + 1;
    while (end < entry_.size() && !endsWord(entry_[end])) {
        ++end;
    }
    return {Kind::Word, begin, end};
}

QRV_EntryLexer::Token QRV_EntryLexer::take() {
    const Token token = peek();
    position_ = token.end;
    return token;
}

bool QRV_EntryLexer::takeMinuses() {
    bool odd = false;
    while (peek().kind == Kind::Minus) {
        take();
        odd = !odd;
    }
    return odd;
}
