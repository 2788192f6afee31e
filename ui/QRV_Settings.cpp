#include "QRV_Settings.h"

#include "QRV_Rate.h"
#include "QRV_RateChoices.h"

namespace {

constexpr char kFrameRate[] = "calculator/frameRate";
constexpr char kDropFrame[] = "calculator/dropFrame";
constexpr char kNTSC[] = "calculator/ntsc";
constexpr char kSubtract[] = "calculator/subtract";
constexpr char kNegativeResults[] = "calculator/negativeResults";
constexpr char kSource[] = "midi/source";
constexpr char kGeometry[] = "window/geometry";
constexpr char kLargeTimecode[] = "window/largeTimecode";
constexpr char kTape[] = "window/tape";
constexpr char kConvert[] = "window/convert";
constexpr char kFeet35mm[] = "readouts/feet35mm";
constexpr char kFeet16mm[] = "readouts/feet16mm";
constexpr char kSamples[] = "readouts/samples";
constexpr char kSampleRate[] = "readouts/sampleRate";
constexpr char kConvertFrom[] = "convert/from";
constexpr char kConvertTo[] = "convert/to";
constexpr char kConvertSameRealTime[] = "convert/sameRealTime";

// Sources are names a MIDI system gives; anything longer is not one.
constexpr qsizetype kMaxSourceName = 1024;

} // namespace

QRV_Settings::QRV_Settings()
    : _store(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")) {}

// QSettings reads "true"/"false" and numbers as strings from an INI file; only those exact
// spellings count, so a stray value never turns into a choice.
std::optional<bool> QRV_Settings::readBool(const char* key) const {
    const QString text = _store.value(QLatin1String(key)).toString();
    if (text == QLatin1String("true")) {
        return true;
    }
    if (text == QLatin1String("false")) {
        return false;
    }
    return std::nullopt;
}

QRV_Settings::Calculator QRV_Settings::calculator() const {
    Calculator choices;
    bool isNumber = false;
    const int rate = _store.value(QLatin1String(kFrameRate)).toString().toInt(&isNumber);
    if (isNumber && QRV_RateChoices::isOffered(rate)) {
        choices.frameRate = rate;
    }
    choices.dropFrame = readBool(kDropFrame);
    choices.ntsc = readBool(kNTSC);
    choices.subtract = readBool(kSubtract);
    choices.negativeResults = readBool(kNegativeResults);
    return choices;
}

void QRV_Settings::setCalculator(const Calculator& choices) {
    const auto store = [this](const char* key, const auto& value) {
        if (value) {
            _store.setValue(QLatin1String(key), *value);
        }
    };
    store(kFrameRate, choices.frameRate);
    store(kDropFrame, choices.dropFrame);
    store(kNTSC, choices.ntsc);
    store(kSubtract, choices.subtract);
    store(kNegativeResults, choices.negativeResults);
}

std::optional<QString> QRV_Settings::source() const {
    const QVariant stored = _store.value(QLatin1String(kSource));
    const QString name = stored.toString();
    if (name.isEmpty() || name.size() > kMaxSourceName) {
        return std::nullopt;
    }
    return name;
}

void QRV_Settings::setSource(const QString& name) {
    _store.setValue(QLatin1String(kSource), name);
}

QByteArray QRV_Settings::windowGeometry() const {
    return _store.value(QLatin1String(kGeometry)).toByteArray();
}

void QRV_Settings::setWindowGeometry(const QByteArray& geometry) {
    _store.setValue(QLatin1String(kGeometry), geometry);
}

bool QRV_Settings::isLargeTimecodeShown() const {
    return readBool(kLargeTimecode).value_or(false);
}

void QRV_Settings::setLargeTimecodeShown(bool shown) {
    _store.setValue(QLatin1String(kLargeTimecode), shown);
}

bool QRV_Settings::isTapeShown() const {
    return readBool(kTape).value_or(true);
}

void QRV_Settings::setTapeShown(bool shown) {
    _store.setValue(QLatin1String(kTape), shown);
}

QRV_ReadoutChoice QRV_Settings::readouts() const {
    QRV_ReadoutChoice choice;
    choice.feet35mm = readBool(kFeet35mm).value_or(choice.feet35mm);
    choice.feet16mm = readBool(kFeet16mm).value_or(choice.feet16mm);
    choice.samples = readBool(kSamples).value_or(choice.samples);
    bool isNumber = false;
    const int rate = _store.value(QLatin1String(kSampleRate)).toString().toInt(&isNumber);
    if (isNumber && QRV_ReadoutChoice::isSampleRate(rate)) {
        choice.sampleRate = rate;
    }
    return choice;
}

void QRV_Settings::setReadouts(const QRV_ReadoutChoice& choice) {
    _store.setValue(QLatin1String(kFeet35mm), choice.feet35mm);
    _store.setValue(QLatin1String(kFeet16mm), choice.feet16mm);
    _store.setValue(QLatin1String(kSamples), choice.samples);
    _store.setValue(QLatin1String(kSampleRate), choice.sampleRate);
}

// Names, not positions: a list that grows keeps every stored choice meaning what it meant.
std::optional<int> QRV_Settings::readRateSetting(const char* key) const {
    const QString name = _store.value(QLatin1String(key)).toString();
    for (std::size_t i = 0; i < kRateSettings.size(); ++i) {
        if (name.toStdString() == kRateSettings[i].name) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

QRV_Settings::Conversion QRV_Settings::conversion() const {
    return {readRateSetting(kConvertFrom), readRateSetting(kConvertTo),
            readBool(kConvertSameRealTime)};
}

void QRV_Settings::setConversion(int from, int to, bool sameRealTime) {
    const auto name = [](int index) {
        const auto& setting = kRateSettings.at(static_cast<std::size_t>(index));
        return QString::fromLatin1(setting.name.data(),
                                   static_cast<qsizetype>(setting.name.size()));
    };
    _store.setValue(QLatin1String(kConvertFrom), name(from));
    _store.setValue(QLatin1String(kConvertTo), name(to));
    _store.setValue(QLatin1String(kConvertSameRealTime), sameRealTime);
}

bool QRV_Settings::isConvertShown() const {
    return readBool(kConvert).value_or(false);
}

void QRV_Settings::setConvertShown(bool shown) {
    _store.setValue(QLatin1String(kConvert), shown);
}
