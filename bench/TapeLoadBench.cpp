// The tape file: loading a full tape (10,000 lines, as at start-up; goal under 50 ms),
// replacing it whole, and appending one line (as after each Calculate, the occasional cut of
// the oldest lines included), with and without fdatasync after it.

#include "QRV_TapeStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {

QRV_TapeLine sample(int n) {
    const QDateTime start(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC);
    return {start.addSecs(n),
            {30, true, true},
            QStringLiteral("01:%1:00;00 + 00:00:10;00").arg(n % 60, 2, 10, QLatin1Char('0')),
            QStringLiteral("01:%1:10;00").arg(n % 60, 2, 10, QLatin1Char('0')),
            108'192 + n};
}

QString fullTape(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("tape.txt"));
    std::vector<QRV_TapeLine> lines;
    for (int n = 0; n < QRV_TapeStore::kMaxLines; ++n) {
        lines.push_back(sample(n));
    }
    QRV_TapeStore(path).rewrite(lines);
    return path;
}

void BM_LoadFullTape(benchmark::State& state) {
    const QTemporaryDir dir;
    const QString path = fullTape(dir);
    for (auto _ : state) {
        QRV_TapeStore store(path);
        auto loaded = store.load();
        benchmark::DoNotOptimize(loaded);
        if (loaded.lines.size() != std::size_t{QRV_TapeStore::kMaxLines}) {
            state.SkipWithError("tape not loaded whole");
        }
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_LoadFullTape)->Unit(benchmark::kMillisecond);

// What a delete, clear or undo costs, and the cut of the oldest lines once per kTrimMargin.
void BM_RewriteFullTape(benchmark::State& state) {
    const QTemporaryDir dir;
    QRV_TapeStore store(fullTape(dir));
    const auto lines = store.load().lines;
    for (auto _ : state) {
        if (store.rewrite(lines)) {
            state.SkipWithError("rewrite failed");
        }
    }
}
BENCHMARK(BM_RewriteFullTape)->Unit(benchmark::kMillisecond);

void BM_AppendOneLine(benchmark::State& state) {
    const QTemporaryDir dir;
    QRV_TapeStore store(fullTape(dir));
    store.load();
    const bool sync = state.range(0) != 0;
    int n = 0;
    for (auto _ : state) {
        if (store.append(sample(++n))) {
            state.SkipWithError("append failed");
        }
        if (sync) {
            // Opened each time, as a cut replaces the file; an open costs microseconds.
            QFile tape(store.path());
            tape.open(QIODevice::ReadOnly);
            ::fdatasync(tape.handle());
        }
    }
}
BENCHMARK(BM_AppendOneLine)->ArgName("fdatasync")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
