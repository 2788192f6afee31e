#include "QRV_TapeStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr QByteArrayView kHeader = "Quorvel tape 1";
constexpr int kFields = 5;
constexpr int kMostFields = 6;
// Far beyond any calculation; bounds what one damaged line can cost.
constexpr qsizetype kMaxLineBytes = 4096;
constexpr int kSetAsideAttempts = 100;

struct RateToken {
    QByteArrayView token;
    QRV_TapeLine::Rate rate;
};

// Numbers as people say them, so the file reads well; a new rate needs a new token.
// The sixth field of a conversion; empty for a calculation, which has five.
QByteArrayView kindToken(QRV_TapeLine::Kind kind) {
    using Kind = QRV_TapeLine::Kind;
    return kind == Kind::SameFrames     ? "same-frames"
           : kind == Kind::SameRealTime ? "same-real-time"
                                        : QByteArrayView();
}

constexpr std::array<RateToken, 12> kRates{{
    {"23.976", {24, false, true}},
    {"24", {24, false, false}},
    {"25", {25, false, false}},
    {"29.97DF", {30, true, true}},
    {"29.97", {30, false, true}},
    {"30", {30, false, false}},
    {"47.952", {48, false, true}},
    {"48", {48, false, false}},
    {"50", {50, false, false}},
    {"59.94DF", {60, true, true}},
    {"59.94", {60, false, true}},
    {"60", {60, false, false}},
}};

QByteArray escaped(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains('\\') && !bytes.contains('\t') && !bytes.contains('\n') &&
        !bytes.contains('\r')) {
        return bytes;
    }
    QByteArray out;
    out.reserve(bytes.size() + 8);
    for (const char c : std::as_const(bytes)) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Empty for a stray backslash, malformed UTF-8 or no text at all.
std::optional<QString> unescaped(QByteArrayView field) {
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == '\\') {
            if (++i == field.size()) {
                return std::nullopt;
            }
            switch (field[i]) {
            case '\\':
                break;
            case 't':
                c = '\t';
                break;
            case 'n':
                c = '\n';
                break;
            case 'r':
                c = '\r';
                break;
            default:
                return std::nullopt;
            }
        }
        bytes += c;
    }
    // A leading U+FEFF is text like any other, not a byte order mark to drop. Stateless: a
    // sequence cut off at the end is an error, not a start kept for more input to come.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                       QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.isEmpty()) {
        return std::nullopt;
    }
    return text;
}

std::optional<QDateTime> utcTime(QByteArrayView field) {
    // Exactly what formatLine writes; other ISO 8601 forms are someone else's edits.
    if (field.size() != 24 || !field.endsWith('Z')) {
        return std::nullopt;
    }
    QDateTime when = QDateTime::fromString(QString::fromLatin1(field), Qt::ISODateWithMs);
    if (!when.isValid() || when.timeSpec() != Qt::UTC) {
        return std::nullopt;
    }
    return when;
}

std::optional<std::int64_t> frameCount(QByteArrayView field) {
    // toLongLong also takes white space and "+"; only what formatLine writes counts.
    const QByteArrayView digits = field.startsWith('-') ? field.sliced(1) : field;
    if (digits.isEmpty() || digits.size() > 19 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    bool ok = false;
    const qlonglong value = field.toLongLong(&ok);
    return ok ? std::optional<std::int64_t>(value) : std::nullopt;
}

struct Scan {
    bool ours = false;
    std::vector<QRV_TapeLine> lines;
    qsizetype linesInFile = 0;
    int bad = 0;
    qsizetype tornAt = -1; // where a last line without its line feed starts
};

Scan scan(QByteArrayView content) {
    Scan result;
    const qsizetype headerEnd = content.indexOf('\n');
    if (headerEnd < 0 || content.first(headerEnd) != kHeader) {
        return result;
    }
    result.ours = true;
    for (qsizetype at = headerEnd + 1; at < content.size();) {
        const qsizetype end = content.indexOf('\n', at);
        if (end < 0) {
            result.tornAt = at;
            break;
        }
        ++result.linesInFile;
        if (auto line = QRV_TapeStore::parseLine(content.sliced(at, end - at))) {
            result.lines.push_back(std::move(*line));
        } else {
            ++result.bad;
        }
        at = end + 1;
    }
    return result;
}

void keepNewest(std::vector<QRV_TapeLine>& lines) {
    if (lines.size() > std::size_t{QRV_TapeStore::kMaxLines}) {
        lines.erase(lines.begin(), lines.end() - QRV_TapeStore::kMaxLines);
    }
}

bool makeFolder(const QString& path) {
    return QDir().mkpath(QFileInfo(path).absolutePath());
}

// "<path>.unreadable-YYYYMMDD-HHMMSS", then "-2", "-3"... QFile::rename never replaces a file.
std::optional<QString> setAside(const QString& path) {
    const QString stem = path + QStringLiteral(".unreadable-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n <= kSetAsideAttempts; ++n) {
        const QString name = n == 1 ? stem : stem + QLatin1Char('-') + QString::number(n);
        if (QFile::exists(name)) {
            continue;
        }
        if (QFile::rename(path, name)) {
            return name;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

QRV_TapeStore::QRV_TapeStore(QString path)
    : _path(std::move(path)) {}

QString QRV_TapeStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/tape.txt");
}

QByteArray QRV_TapeStore::formatLine(const QRV_TapeLine& line) {
    const auto* rate = std::find_if(kRates.begin(), kRates.end(),
                                    [&](const RateToken& t) { return t.rate == line.rate; });
    QByteArray bytes = line.when.toUTC().toString(Qt::ISODateWithMs).toLatin1();
    bytes += '\t';
    // A rate no control offers has no token; the line is then unreadable rather than wrong.
    bytes += rate == kRates.end() ? QByteArrayView("?") : rate->token;
    bytes += '\t';
    bytes += escaped(line.calculation);
    bytes += '\t';
    bytes += escaped(line.result);
    bytes += '\t';
    bytes += QByteArray::number(static_cast<qlonglong>(line.frames));
    if (!kindToken(line.kind).isEmpty()) {
        bytes += '\t';
        bytes += kindToken(line.kind);
    }
    return bytes;
}

std::optional<QRV_TapeLine> QRV_TapeStore::parseLine(QByteArrayView bytes) {
    if (bytes.size() > kMaxLineBytes) {
        return std::nullopt;
    }
    std::array<QByteArrayView, kMostFields> fields;
    int count = 0;
    for (qsizetype at = 0; at <= bytes.size(); ++count) {
        if (count == kMostFields) {
            return std::nullopt;
        }
        const qsizetype tab = bytes.indexOf('\t', at);
        const qsizetype end = tab < 0 ? bytes.size() : tab;
        fields[count] = bytes.sliced(at, end - at);
        at = end + 1;
    }
    if (count < kFields) {
        return std::nullopt;
    }
    QRV_TapeLine::Kind kind = QRV_TapeLine::Kind::Calculation;
    for (auto conversion : {QRV_TapeLine::Kind::SameFrames, QRV_TapeLine::Kind::SameRealTime}) {
        if (count == kMostFields && fields[kFields] == kindToken(conversion)) {
            kind = conversion;
        }
    }
    if (count == kMostFields && kind == QRV_TapeLine::Kind::Calculation) {
        return std::nullopt;
    }
    const auto* rate = std::find_if(kRates.begin(), kRates.end(),
                                    [&](const RateToken& t) { return t.token == fields[1]; });
    auto when = utcTime(fields[0]);
    auto calculation = unescaped(fields[2]);
    auto result = unescaped(fields[3]);
    const auto frames = frameCount(fields[4]);
    if (rate == kRates.end() || !when || !calculation || !result || !frames ||
        bytes.contains('\n')) {
        return std::nullopt;
    }
    QRV_TapeLine line{std::move(*when),   rate->rate, std::move(*calculation),
                      std::move(*result), *frames,    kind};
    // Only what formatLine writes: a leading zero, "-0" or a stray byte read loosely above would
    // otherwise change the file on its next rewrite.
    if (formatLine(line) != bytes) {
        return std::nullopt;
    }
    return line;
}

QRV_TapeStore::Loaded QRV_TapeStore::load() {
    _refused = false;
    _linesInFile = 0;
    Loaded loaded;
    QFile file(_path);
    if (!file.exists()) {
        return loaded;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        loaded.failure = QRV_TapeError{QRV_TapeError::Kind::Open, _path};
        return loaded;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        loaded.failure = QRV_TapeError{QRV_TapeError::Kind::Read, _path};
        return loaded;
    }
    file.close();
    if (content.isEmpty()) {
        return loaded;
    }
    Scan scanned = scan(content);
    if (!scanned.ours) {
        if (auto name = setAside(_path)) {
            loaded.setAsideAs = *name;
        } else {
            _refused = true;
            loaded.failure = QRV_TapeError{QRV_TapeError::Kind::SetAside, _path};
        }
        return loaded;
    }
    if (scanned.tornAt >= 0) {
        loaded.tornLines = 1;
        // Left in place, the next append would finish the torn line with its own text.
        if (!QFile::resize(_path, scanned.tornAt)) {
            loaded.failure = QRV_TapeError{QRV_TapeError::Kind::Write, _path};
        }
    }
    _linesInFile = scanned.linesInFile;
    loaded.badLines = scanned.bad;
    loaded.lines = std::move(scanned.lines);
    keepNewest(loaded.lines);
    return loaded;
}

std::optional<QRV_TapeError> QRV_TapeStore::append(const QRV_TapeLine& line) {
    if (_refused) {
        return QRV_TapeError{QRV_TapeError::Kind::SetAside, _path};
    }
    QFile file(_path);
    // Unbuffered: the write below goes to the kernel as one write() call.
    constexpr auto kMode = QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered;
    if (!makeFolder(_path) || !file.open(kMode)) {
        return QRV_TapeError{QRV_TapeError::Kind::Open, _path};
    }
    QByteArray bytes;
    const qint64 size = file.size();
    if (size == 0) {
        bytes = kHeader.toByteArray() + '\n';
    } else {
        // Whatever wrote the file last may have stopped mid-line; never continue that line.
        char last = '\n';
        if (!file.seek(size - 1) || !file.getChar(&last)) {
            return QRV_TapeError{QRV_TapeError::Kind::Read, _path};
        }
        if (last != '\n') {
            bytes += '\n';
        }
    }
    bytes += formatLine(line);
    bytes += '\n';
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        return QRV_TapeError{QRV_TapeError::Kind::Write, _path};
    }
    if (++_linesInFile > kMaxLines + kTrimMargin) {
        return cutOldest();
    }
    return std::nullopt;
}

std::optional<QRV_TapeError> QRV_TapeStore::cutOldest() {
    QFile file(_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QRV_TapeError{QRV_TapeError::Kind::Open, _path};
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return QRV_TapeError{QRV_TapeError::Kind::Read, _path};
    }
    Scan scanned = scan(content);
    if (!scanned.ours) {
        return std::nullopt; // not ours to cut; the next load sets it aside
    }
    return rewrite(scanned.lines);
}

std::optional<QRV_TapeError> QRV_TapeStore::rewrite(const std::vector<QRV_TapeLine>& lines) {
    if (_refused) {
        return QRV_TapeError{QRV_TapeError::Kind::SetAside, _path};
    }
    const auto first =
        lines.size() > std::size_t{kMaxLines} ? lines.end() - kMaxLines : lines.begin();
    QByteArray bytes = kHeader.toByteArray() + '\n';
    bytes.reserve(bytes.size() + (lines.end() - first) * 96);
    for (auto it = first; it != lines.end(); ++it) {
        bytes += formatLine(*it);
        bytes += '\n';
    }
    QSaveFile file(_path);
    if (!makeFolder(_path) || !file.open(QIODevice::WriteOnly)) {
        return QRV_TapeError{QRV_TapeError::Kind::Replace, _path};
    }
    file.write(bytes);
    if (!file.commit()) {
        return QRV_TapeError{QRV_TapeError::Kind::Replace, _path};
    }
    _linesInFile = lines.end() - first;
    return std::nullopt;
}
