// The tape as the window sees it: what the user does shows at once and survives a restart,
// one step of undo, totals only at one rate, and the CSV a spreadsheet reads.

#include "QRV_TapeCsv.h"
#include "QRV_TapeModel.h"
#include "QtPrinters.h"

#include <QBuffer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Rate = QRV_TapeLine::Rate;
constexpr Rate k25{25, false, false};
constexpr Rate k2997DF{30, true, true};

QRV_TapeLine line(const QString& result, std::int64_t frames = 1, Rate rate = k25) {
    return {QDateTime(QDate(2024, 5, 1), QTime(9, 30), Qt::LocalTime), rate, "1 + 2", result,
            frames};
}

QStringList results(const QRV_TapeModel& model) {
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        shown += model.index(row).data(QRV_TapeModel::ResultRole).toString();
    }
    return shown;
}

QStringList resultsAfterRestart(const QString& path) {
    QRV_TapeModel model(path);
    model.load();
    return results(model);
}

TEST(TapeLine, NamesEveryRate) {
    const std::pair<Rate, const char*> names[] = {
        {{24, false, true}, "23.976 fps"}, {{24, false, false}, "24 fps"},
        {{25, false, false}, "25 fps"},    {{30, true, true}, "29.97 fps drop-frame"},
        {{30, false, true}, "29.97 fps"},  {{30, false, false}, "30 fps"},
        {{48, false, true}, "47.952 fps"}, {{48, false, false}, "48 fps"},
        {{50, false, false}, "50 fps"},    {{60, true, true}, "59.94 fps drop-frame"},
        {{60, false, true}, "59.94 fps"},  {{60, false, false}, "60 fps"},
    };
    for (const auto& [rate, name] : names) {
        EXPECT_EQ(QRV_TapeLine::rateName(rate), QString::fromUtf8(name));
    }
    const QRV_TapeLine shown{{}, k25, "01:00:00:00 + 00:00:10:00", "01:00:10:00", 250};
    EXPECT_EQ(shown.displayText(),
              QString::fromUtf8("01:00:00:00 + 00:00:10:00 = 01:00:10:00 \u00B7 25 fps"));
}

TEST(TapeModel, RemoveClearAndUndoShowAndPersist) {
    const std::pair<QList<int>, QStringList> cases[] = {
        {{3, 1, 3, 9, -1}, {"A", "C", "E"}}, // unsorted, repeated, out of range
        {{1, 2, 3}, {"A", "E"}},
        {{}, {}}, // clear()
    };
    const QStringList all{"A", "B", "C", "D", "E"};
    for (const auto& [removed, left] : cases) {
        const QTemporaryDir dir;
        const QString path = dir.filePath("tape.txt");
        QRV_TapeModel model(path);
        QSignalSpy undoChanges(&model, &QRV_TapeModel::canUndoChanged);
        for (const QString& result : all) {
            model.add(line(result));
        }
        removed.isEmpty() ? model.clear() : model.remove(removed);
        EXPECT_EQ(results(model), left);
        EXPECT_EQ(resultsAfterRestart(path), left);
        ASSERT_TRUE(model.canUndo());

        model.add(line("F"));
        model.undo();
        EXPECT_EQ(results(model), all + QStringList{"F"});
        EXPECT_EQ(resultsAfterRestart(path), all + QStringList{"F"});
        EXPECT_FALSE(model.canUndo());
        EXPECT_EQ(undoChanges.count(), 2);
    }
}

TEST(TapeModel, ShowsALineTheFileCouldNotTakeAndSaysSo) {
    const QTemporaryDir dir;
    QFile notAFolder(dir.filePath("file"));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    QRV_TapeModel model(dir.filePath("file/tape.txt"));
    QSignalSpy failures(&model, &QRV_TapeModel::storeFailed);
    model.add(line("01:00:00:00"));
    EXPECT_EQ(results(model), QStringList{"01:00:00:00"});
    ASSERT_EQ(failures.count(), 1);
    EXPECT_EQ(failures[0][0].value<QRV_TapeError::Kind>(), QRV_TapeError::Kind::Open);
    EXPECT_EQ(failures[0][1].toString(), model.path());
}

TEST(TapeModel, SumsOnlyAtOneRate) {
    const QTemporaryDir dir;
    QRV_TapeModel model(dir.filePath("tape.txt"));
    for (const QRV_TapeLine& l : {line("a", 25), line("b", -10), line("c", 2, k2997DF),
                                  line("d", 5), line("e", std::numeric_limits<qint64>::max())}) {
        model.add(l);
    }
    using NoTotal = QRV_TapeModel::NoTotal;
    using Expected = std::variant<std::int64_t, NoTotal>;
    const std::pair<QList<int>, Expected> cases[] = {
        {{0, 1, 3}, 20},
        {{3, 1}, -5},
        {{2}, 2},
        {{0, 2}, NoTotal::MixedRates},
        {{}, NoTotal::NoLines},
        {{7}, NoTotal::NoLines},
        {{0, 4}, NoTotal::TooLarge},
    };
    for (const auto& [rows, expected] : cases) {
        const auto sum = model.sum(rows);
        if (const auto* total = std::get_if<QRV_TapeModel::Total>(&sum)) {
            EXPECT_EQ(Expected(total->frames), expected);
            EXPECT_EQ(total->rate, model.lines()[rows.front()].rate);
        } else {
            EXPECT_EQ(Expected(std::get<NoTotal>(sum)), expected);
        }
    }
    EXPECT_EQ(model.resultsText({3, 0}), QStringLiteral("a\nd"));
}

TEST(TapeCsv, QuotesWhatRfc4180Quotes) {
    const std::pair<const char*, const char*> cases[] = {
        {"1 + 2", "1 + 2"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
        {"\u00E9", "\u00E9"},
    };
    for (const auto& [text, field] : cases) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QRV_TapeLine tapeLine = line("-00:00:01:00", -25, k2997DF);
        tapeLine.calculation = QString::fromUtf8(text);
        ASSERT_TRUE(QRV_TapeCsv::write(buffer, {tapeLine}));
        EXPECT_EQ(buffer.data().toStdString(),
                  std::string("time,rate,calculation,result,frames\r\n"
                              "2024-05-01T09:30:00,29.97 fps drop-frame,") +
                      field + ",-00:00:01:00,-25\r\n");
    }
}

} // namespace
