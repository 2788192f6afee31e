#include "ZK_TCInputFormatter.h"

#include "NotificationCenter.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace {

constexpr char kNoValue[] = "--";
constexpr platform::TextRange kAllOfTwo{0, 2};

QString twoDigits(int value) {
    return QString::asprintf("%02i", value);
}

// The whole text as one decimal int32 between optional white space, saturating at the
// limits; nullopt when it is anything else.
std::optional<int> scanWholeInt(const QString& text) {
    qsizetype i = 0;
    const qsizetype end = text.size();
    auto skipSpace = [&] {
        while (i < end && text[i].isSpace()) {
            ++i;
        }
    };
    skipSpace();
    const bool negative = i < end && text[i] == u'-';
    if (i < end && (text[i] == u'-' || text[i] == u'+')) {
        ++i;
    }
    const qsizetype firstDigit = i;
    long long magnitude = 0;
    for (; i < end && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        magnitude = std::min(magnitude * 10 + (text[i].unicode() - u'0'), 1LL << 32);
    }
    if (i == firstDigit) {
        return std::nullopt;
    }
    skipSpace();
    if (i != end) {
        return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

void postRelValueRequest(const ZK_TCInputFormatter* sender, const char* sign) {
    platform::UserInfo userInfo;
    userInfo.emplace(ZKTCRelPlusMinusKey, platform::Value::makeString(sign));
    platform::NotificationCenter::defaultCenter().postNotificationName(
        ZKTCRelValueRequestNotification, sender, std::move(userInfo));
}

} // namespace

QString ZK_TCInputFormatter::stringForObjectValue(const platform::ObjectValue& value) const {
    if (const int* number = std::get_if<int>(&value)) {
        return twoDigits(*number);
    }
    return QString::fromLatin1(kNoValue);
}

bool ZK_TCInputFormatter::getObjectValue(platform::ObjectValue* value, const QString& string,
                                         QString* errorDescription) const {
    const std::optional<int> number = scanWholeInt(string);
    if (number) {
        if (value != nullptr) {
            *value = *number;
        }
        return true;
    }
    if (errorDescription != nullptr) {
        *errorDescription = QStringLiteral("Couldn\u2019t convert  to int");
    }
    if (value != nullptr) {
        *value = QString::fromLatin1(kNoValue);
    }
    return true;
}

bool ZK_TCInputFormatter::isPartialStringValid(QString* partialString,
                                               platform::TextRange* proposedSelectedRange,
                                               const QString& originalString,
                                               platform::TextRange /*originalSelectedRange*/,
                                               QString* /*errorDescription*/) const {
    QString& text = *partialString;
    if (text.isEmpty()) {
        text = twoDigits(0); // the integer value of an empty text
        *proposedSelectedRange = kAllOfTwo;
        return false;
    }
    if (text.contains(u'+')) {
        postRelValueRequest(this, "+");
        return false;
    }
    if (text.contains(u'-')) {
        postRelValueRequest(this, "-");
        return false;
    }
    if (!text.back().isDigit()) {
        return false;
    }
    if (text.size() == 1) {
        // The typed digit enters at the right and pushes the right one to the left.
        text =
            originalString.size() == 2 ? QString(originalString[1]) + text : QStringLiteral("00");
        *proposedSelectedRange = kAllOfTwo;
        return false;
    }
    if (text.size() == 3) {
        text.truncate(2);
        *proposedSelectedRange = kAllOfTwo;
        return false;
    }
    return true;
}
