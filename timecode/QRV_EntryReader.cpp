#include "QRV_EntryReader.h"

#include "QRV_EntryLexer.h"
#include "QRV_EntryParser.h"

std::variant<QRV_EntryValue, QRV_EntryError>
QRV_EntryReader::evaluate(std::u16string_view entry, QRV_EntryRate rate,
                          std::optional<std::int64_t> shown) {
    if (entry.size() > kMaxLength) {
        QRV_EntryError tooLong;
        tooLong.kind = QRV_EntryError::Kind::TooLong;
        tooLong.position = kMaxLength;
        tooLong.limit = static_cast<int>(kMaxLength);
        return tooLong;
    }
    if (QRV_EntryLexer(entry).peek().kind == QRV_EntryLexer::Token::Kind::End) {
        return QRV_EntryError{};
    }
    try {
        QRV_EntryParser parser(entry, rate);
        const QRV_EntryDuration value = parser.entry(shown);
        return QRV_EntryValue{value.frames(), value.roundedByNumerator(),
                              value.roundedByDenominator(), parser.movedSkippedLabel()};
    } catch (const QRV_EntryError& error) {
        return error;
    }
}
