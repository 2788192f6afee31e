// The tape file: records survive a round trip, damage is skipped and counted, another
// program's file is set aside untouched, and only the newest lines are kept.

#include "QRV_TapeStore.h"
#include "QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Frames = std::vector<std::int64_t>;
constexpr auto kLowest = std::numeric_limits<std::int64_t>::min();
constexpr auto kHighest = std::numeric_limits<std::int64_t>::max();

QByteArray record(std::int64_t frames) {
    return QRV_TapeStore::formatLine({QDateTime(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC),
                                      {25, false, false},
                                      "1 + 2",
                                      "3",
                                      frames});
}

QByteArray tapeOf(const QList<QByteArray>& records) {
    return "Quorvel tape 1\n" + records.join('\n') + '\n';
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Frames framesOf(const std::vector<QRV_TapeLine>& lines) {
    Frames frames;
    std::transform(lines.begin(), lines.end(), std::back_inserter(frames),
                   [](const QRV_TapeLine& l) { return l.frames; });
    return frames;
}

TEST(TapeLineFormat, RoundTripsEveryRateAndAwkwardText) {
    const std::tuple<QRV_TapeLine::Rate, const char*, std::int64_t> cases[] = {
        {{24, false, true}, "tab\there", 0},
        {{24, false, false}, "line\nfeed\r\n", 1},
        {{25, false, false}, "back\\slash \\t \\n \\", -1},
        {{30, true, true}, "01:00:00;00 - 00:00:00;02", -2},
        {{30, false, true}, "\u00E9 \u00B7 \u4E2D", kLowest},
        {{30, false, false}, "\uFEFFleading mark", kHighest},
        {{48, false, true}, "a", 7},
        {{48, false, false}, "a", 8},
        {{50, false, false}, "a", 9},
        {{60, true, true}, "a", 10},
        {{60, false, true}, "a", 11},
        {{60, false, false}, "a", 12},
    };
    for (const auto& [rate, text, frames] : cases) {
        SCOPED_TRACE(text);
        const QRV_TapeLine original{QDateTime(QDate(2031, 12, 31), QTime(23, 59, 59, 987), Qt::UTC),
                                    rate, QString::fromUtf8(text), QString::fromUtf8(text), frames};
        const QByteArray bytes = QRV_TapeStore::formatLine(original);
        EXPECT_FALSE(bytes.contains('\n'));
        EXPECT_EQ(QRV_TapeStore::parseLine(bytes), original);
    }
}

TEST(TapeLineFormat, RejectsDamagedLines) {
    const QByteArray good = "2024-05-01T12:00:00.000Z\t25\t1 + 2\t3\t250";
    ASSERT_TRUE(QRV_TapeStore::parseLine(good));
    const QByteArray damaged[] = {
        "",
        "2024-05-01T12:00:00.000Z\t25\tc\t250",
        good + "\t1",
        good + "\r",
        "2024-05-01T12:00:00Z\t25\tc\tr\t1",
        "2024-05-01T12:00:00.0000\t25\tc\tr\t1",
        "2024-02-30T12:00:00.000Z\t25\tc\tr\t1",
        "2024-05-01T12:00:00.000Z\t29.97df\tc\tr\t1",
        "2024-05-01T12:00:00.000Z\t25\t\tr\t1",
        "2024-05-01T12:00:00.000Z\t25\tc\\x\tr\t1",
        "2024-05-01T12:00:00.000Z\t25\tc\\\tr\t1",
        "2024-05-01T12:00:00.000Z\t25\tc\xff\tr\t1",
        "2024-05-01T12:00:00.000Z\t25\tc\tr\xdc\t1", // a sequence cut off by the tab
        "2024-05-01T12:00:00.000Z\t25\tc\tr\t07892",
        "2024-05-01T12:00:00.000Z\t25\tc\tr\t-0",
        "2024-05-01T12:00:00.000Z\t25\tc\nd\tr\t1",
        "2024-05-01T12:00:00.000Z\t25\tc\tr\t+5",
        "2024-05-01T12:00:00.000Z\t25\tc\tr\t9223372036854775808",
        "2024-05-01T12:00:00.000Z\t25\t" + QByteArray(5000, 'x') + "\tr\t1",
    };
    for (const QByteArray& bytes : damaged) {
        EXPECT_FALSE(QRV_TapeStore::parseLine(bytes)) << bytes.toStdString();
    }
}

TEST(TapeLineFormat, AConversionCarriesItsKindInASixthField) {
    const QByteArray calculation = "2024-05-01T12:00:00.000Z\t25\t1 + 2\t3\t250";
    const auto read = QRV_TapeStore::parseLine(calculation);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->kind, QRV_TapeLine::Kind::Calculation);
    for (const auto& [kind, token] :
         {std::pair{QRV_TapeLine::Kind::SameFrames, "same-frames"},
          std::pair{QRV_TapeLine::Kind::SameRealTime, "same-real-time"}}) {
        SCOPED_TRACE(token);
        QRV_TapeLine line = *read;
        line.kind = kind;
        const QByteArray bytes = QRV_TapeStore::formatLine(line);
        EXPECT_EQ(bytes, calculation + "\t" + token);
        EXPECT_EQ(QRV_TapeStore::parseLine(bytes), line);
    }
    for (const QByteArray& damaged :
         {calculation + "\t", calculation + "\tsame-frames\t", calculation + "\tSame-Frames",
          calculation + "\tsame-frames\tsame-frames"}) {
        EXPECT_FALSE(QRV_TapeStore::parseLine(damaged)) << damaged.toStdString();
    }
}

// A torn last line is cut by a load; an append made without one still starts a new line.
TEST(TapeStoreLoad, SkipsBadLinesAndATornLast) {
    for (const bool loadFirst : {true, false}) {
        SCOPED_TRACE(loadFirst);
        const QTemporaryDir dir;
        const QString path = dir.filePath("tape.txt");
        writeFile(path, tapeOf({record(1), "garbage", record(2)}) + record(3).left(30));
        QRV_TapeStore store(path);
        if (loadFirst) {
            const auto loaded = store.load();
            EXPECT_EQ(framesOf(loaded.lines), (Frames{1, 2}));
            EXPECT_EQ(loaded.badLines, 1);
            EXPECT_EQ(loaded.tornLines, 1);
        }
        ASSERT_FALSE(store.append(QRV_TapeStore::parseLine(record(4)).value()));
        const auto again = QRV_TapeStore(path).load();
        EXPECT_EQ(framesOf(again.lines), (Frames{1, 2, 4}));
        EXPECT_EQ(again.badLines, loadFirst ? 1 : 2);
        EXPECT_EQ(again.tornLines, 0);
    }
}

TEST(TapeStoreLoad, SetsAForeignFileAsideAndStartsAnew) {
    const QTemporaryDir dir;
    const QString path = dir.filePath("tape.txt");
    const QByteArray foreign[] = {
        "time,rate,calculation,result,frames\r\n",
        QByteArray("\x00\xff\xfe\n\x01", 5),
        "Quorvel tape 2\n" + record(1) + '\n',
        "Quorvel tape 1",
        '\n' + tapeOf({record(1)}),
    };
    QStringList names;
    for (const QByteArray& bytes : foreign) {
        writeFile(path, bytes);
        QRV_TapeStore store(path);
        const auto loaded = store.load();
        EXPECT_TRUE(loaded.lines.empty());
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_TRUE(loaded.setAsideAs.startsWith(path + ".unreadable-"));
        names += loaded.setAsideAs;

        ASSERT_FALSE(store.append(QRV_TapeStore::parseLine(record(5)).value()));
        EXPECT_EQ(framesOf(QRV_TapeStore(path).load().lines), Frames{5});
    }
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_EQ(readFile(names[i]), foreign[i]) << "set aside as " << names[i].toStdString();
    }
}

TEST(TapeStoreLimit, KeepsTheNewestAndCutsTheFileOnlyPastTheMargin) {
    constexpr int kMax = QRV_TapeStore::kMaxLines;
    constexpr int kCut = kMax + QRV_TapeStore::kTrimMargin;
    const QTemporaryDir dir;
    const QString path = dir.filePath("tape.txt");
    QList<QByteArray> records;
    for (int n = 0; n < kCut - 1; ++n) {
        records += record(n);
    }
    writeFile(path, tapeOf(records));
    QRV_TapeStore store(path);
    const auto loaded = store.load();
    ASSERT_EQ(loaded.lines.size(), std::size_t{kMax});
    EXPECT_EQ(loaded.lines.front().frames, kCut - 1 - kMax);

    ASSERT_FALSE(store.append(loaded.lines.front()));
    EXPECT_EQ(readFile(path).count('\n'), 1 + kCut);
    ASSERT_FALSE(store.append(loaded.lines.back()));
    EXPECT_EQ(readFile(path).count('\n'), 1 + kMax);
    const auto cut = QRV_TapeStore(path).load().lines;
    EXPECT_EQ(cut.front().frames, kCut + 1 - kMax);
    EXPECT_EQ(cut.back().frames, kCut - 2);
}

} // namespace
