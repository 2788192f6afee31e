#pragma once

// The tape as CSV for spreadsheets (RFC 4180): UTF-8 without a byte order mark, CRLF line
// ends, a header "time,rate,calculation,result,frames", then one record per line:
// local date and time in ISO 8601, the rate's name, the texts, the signed frame count.
// A field with a comma, double quote, CR or LF is quoted, its double quotes doubled.
//
// Owns nothing, emits nothing. Any thread (a device on one thread at a time).

#include "QRV_TapeError.h"
#include "QRV_TapeLine.h"

#include <QString>
#include <optional>
#include <vector>

class QIODevice;

class QRV_TapeCsv {
public:
    QRV_TapeCsv() = delete;

    // False when the device did not take every byte.
    static bool write(QIODevice& device, const std::vector<QRV_TapeLine>& lines);

    // The whole file or nothing, through QSaveFile; a file already there is replaced.
    static std::optional<QRV_TapeError> save(const QString& path,
                                             const std::vector<QRV_TapeLine>& lines);
};
