#pragma once

// The tape file: every calculation kept across runs, oldest first, at most kMaxLines.
//
// Owns the file at path() (by default tape.txt in the application's data folder): a header
// line "Quorvel tape 1", then one line per calculation, five tab-separated fields:
//   2024-05-01T12:34:56.789Z <TAB> 29.97DF <TAB> calculation <TAB> result <TAB> -1800
// and a sixth for a conversion, "same-frames" or "same-real-time" (a reader that knows only
// five fields skips such a line and keeps it in the file).
// Time is UTC with milliseconds; the rate is 23.976, 24, 25, 29.97DF, 29.97, 30, 47.952, 48, 50,
// 59.94DF, 59.94 or 60; in the texts "\\", "\t", "\n" and "\r" stand for a backslash, tab,
// line feed and carriage return, so a record is always one line.
//
// An append is one write() of the whole line, so a process killed at any point leaves either
// the complete line or a torn one (no final newline), which the next load removes. There is
// no fdatasync: a power cut can lose the last few seconds of lines (docs/decisions.md).
// Rewrites go through QSaveFile and either replace the whole file or leave it as it was.
//
// Emits nothing; every failure is returned. Main thread only (one store per file).

#include "QRV_TapeError.h"
#include "QRV_TapeLine.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

class QRV_TapeStore {
public:
    static constexpr int kMaxLines = 10'000;
    // Appends may run this far past kMaxLines before the oldest are cut, so the cost of a
    // rewrite comes once per kTrimMargin calculations rather than with each one.
    static constexpr int kTrimMargin = 1'000;

    explicit QRV_TapeStore(QString path);

    // tape.txt in QStandardPaths::AppDataLocation; the application's name must be set first.
    static QString defaultPath();

    const QString& path() const { return _path; }

    struct Loaded {
        std::vector<QRV_TapeLine> lines; // oldest first; the newest kMaxLines at most
        int badLines = 0;                // lines that could not be read, skipped (kept in the file)
        int tornLines = 0;               // 1 when the last append never finished; cut from the file
        QString setAsideAs; // the file was not a tape: its new name; a new tape starts empty
        std::optional<QRV_TapeError> failure;
    };

    // Reads the whole file. No file yet is an empty tape. A file that does not start with our
    // header (another program's, a damaged one, a newer format) is renamed to
    // "<path>.unreadable-YYYYMMDD-HHMMSS[-N]", never over an existing file; if that fails,
    // failure says so and appends and rewrites refuse until a later load succeeds.
    Loaded load();

    // Adds one line at the end, written and flushed before it returns; makes the folder and the
    // file when needed. Past kMaxLines + kTrimMargin lines, also cuts the file to the newest
    // kMaxLines (an error then is the cut's: the line itself was written).
    std::optional<QRV_TapeError> append(const QRV_TapeLine& line);

    // Replaces the whole file with these lines (the newest kMaxLines of them).
    std::optional<QRV_TapeError> rewrite(const std::vector<QRV_TapeLine>& lines);

    // One record without its line feed, and back. parseLine is pure and takes any bytes:
    // anything but a record as formatLine writes it, at one of the rates above, is empty.
    static QByteArray formatLine(const QRV_TapeLine& line);
    static std::optional<QRV_TapeLine> parseLine(QByteArrayView bytes);

private:
    std::optional<QRV_TapeError> cutOldest();

    QString _path;
    qsizetype _linesInFile = 0; // as far as this store has seen, bad lines included
    bool _refused = false;      // a foreign file could not be set aside: never write onto it
};
