#include "QRV_LogRateLimit.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <locale>
#include <sstream>
#include <utility>

namespace platform {

namespace {

constexpr std::size_t kKindBytes = 160;
constexpr std::size_t kNameBytes = 48;

struct ThousandsWithCommas : std::numpunct<char> {
    char do_thousands_sep() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};

std::string withThousands(std::uint64_t count) {
    static const std::locale grouped(std::locale::classic(), new ThousandsWithCommas);
    std::ostringstream text;
    text.imbue(grouped);
    text << count;
    return text.str();
}

std::string lines(std::uint64_t count) {
    return count == 1 ? "line" : "lines";
}

std::string kindSummary(std::uint64_t count, const std::string& name) {
    return "… and " + withThousands(count) + " more “" + name + "” " + lines(count);
}

std::string othersSummary(std::uint64_t count) {
    return "… and " + withThousands(count) + " more " + lines(count) + " of other kinds";
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// ASCII only: bytes of UTF-8 sequences are parts of words.
bool isPunctuation(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x80 && std::ispunct(byte) != 0;
}

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Never inside a UTF-8 sequence.
void cutAt(std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) {
        return;
    }
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) {
        --bytes;
    }
    text.resize(bytes);
}

void kindOf(std::string_view line, std::string& kind) {
    kind.clear();
    for (const char c : line) {
        if (!isDigit(c)) {
            kind += c;
        }
    }
    cutAt(kind, kKindBytes);
}

std::string wordsOf(std::string_view text) {
    std::string words;
    for (std::size_t at = 0; at < text.size();) {
        while (at < text.size() && isSpace(text[at])) {
            ++at;
        }
        const std::size_t end = std::min(text.find_first_of(" \t\n\r\f\v", at), text.size());
        const std::string_view token = text.substr(at, end - at);
        if (!token.empty() && !std::ranges::all_of(token, isPunctuation)) {
            words += words.empty() ? "" : " ";
            words += token;
        }
        at = end;
    }
    while (!words.empty() && isPunctuation(words.back())) {
        words.pop_back();
    }
    return words;
}

} // namespace

QRV_LogRateLimit::QRV_LogRateLimit(Limits limits)
    : limits_(limits)
    , reserve_(othersSummary(std::numeric_limits<std::uint64_t>::max()).size() + 1) {
    kinds_.reserve(limits_.kinds);
}

bool QRV_LogRateLimit::secondEnded(Clock::time_point now) const {
    return !start_ || now >= *start_ + kSecond;
}

std::vector<std::string> QRV_LogRateLimit::rollOver(Clock::time_point now) {
    if (!secondEnded(now)) {
        return {};
    }
    start_ = now;
    bytes_ = 0;
    std::vector<std::string> summaries = takeSummaries();
    kinds_.clear();
    index_.clear();
    return summaries;
}

bool QRV_LogRateLimit::admit(std::string_view line) {
    kindOf(line, scratch_);
    lastKind_ = scratch_;
    lastWritten_ = false;
    Kind* kind = find(scratch_);
    if (kind == nullptr) {
        hold(scratch_, 1);
        return false;
    }
    if (kind->written >= limits_.linesPerKind || !charge(line.size() + 1)) {
        ++kind->held;
        holding_ = true;
        return false;
    }
    ++kind->written;
    lastWritten_ = true;
    return true;
}

bool QRV_LogRateLimit::admitRepeats(std::string_view note, std::uint64_t repeats) {
    if (lastWritten_ && charge(note.size() + 1)) {
        return true;
    }
    hold(lastKind_, repeats);
    return false;
}

std::vector<std::string> QRV_LogRateLimit::summarise() {
    return takeSummaries();
}

std::optional<QRV_LogRateLimit::Clock::time_point> QRV_LogRateLimit::nextRollOver() const {
    if (!holding_) {
        return std::nullopt;
    }
    return start_ ? *start_ + kSecond : Clock::time_point{};
}

std::string QRV_LogRateLimit::kindName(std::string_view line) {
    std::string text;
    kindOf(line, text);
    if (const std::size_t tag = text.rfind(" -- "); tag != std::string::npos) {
        text.erase(0, tag + 4);
    }
    std::string name = wordsOf(text);
    if (name.size() > kNameBytes) {
        cutAt(name, kNameBytes);
        while (!name.empty() && isSpace(name.back())) {
            name.pop_back();
        }
        name += "…";
    }
    return name.empty() ? "(no words)" : name;
}

// Adds the kind while the table has room.
QRV_LogRateLimit::Kind* QRV_LogRateLimit::find(const std::string& text) {
    if (const auto found = index_.find(text); found != index_.end()) {
        return &kinds_[found->second];
    }
    if (kinds_.size() >= limits_.kinds) {
        return nullptr;
    }
    index_.emplace(text, kinds_.size());
    return &kinds_.emplace_back(Kind{text});
}

void QRV_LogRateLimit::hold(const std::string& text, std::uint64_t lines) {
    holding_ = true;
    if (Kind* kind = find(text)) {
        kind->held += lines;
    } else {
        others_ += lines;
    }
}

bool QRV_LogRateLimit::charge(std::size_t bytes) {
    if (bytes_ + bytes + reserve_ > limits_.bytesPerSecond) {
        return false;
    }
    bytes_ += bytes;
    return true;
}

std::vector<std::string> QRV_LogRateLimit::takeSummaries() {
    std::vector<std::string> summaries;
    std::uint64_t others = std::exchange(others_, 0);
    for (Kind& kind : kinds_) {
        const std::uint64_t held = std::exchange(kind.held, 0);
        if (held == 0) {
            continue;
        }
        std::string summary = kindSummary(held, kindName(kind.text));
        if (charge(summary.size() + 1)) {
            summaries.push_back(std::move(summary));
        } else {
            others += held;
        }
    }
    if (others > 0) {
        summaries.push_back(othersSummary(others));
        bytes_ += summaries.back().size() + 1;
    }
    holding_ = false;
    return summaries;
}

} // namespace platform
