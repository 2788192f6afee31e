#include "QRV_TapeCsv.h"

#include <QIODevice>
#include <QSaveFile>

namespace {

QByteArray field(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') ||
        bytes.contains('\n')) {
        bytes.replace('"', "\"\"");
        bytes.prepend('"');
        bytes.append('"');
    }
    return bytes;
}

} // namespace

bool QRV_TapeCsv::write(QIODevice& device, const std::vector<QRV_TapeLine>& lines) {
    QByteArray bytes = "time,rate,calculation,result,frames\r\n";
    for (const QRV_TapeLine& line : lines) {
        bytes += field(line.when.toLocalTime().toString(Qt::ISODate)) + ',' +
                 field(QRV_TapeLine::rateName(line.rate)) + ',' + field(line.calculation) + ',' +
                 field(line.result) + ',' +
                 QByteArray::number(static_cast<qlonglong>(line.frames)) + "\r\n";
    }
    return device.write(bytes) == bytes.size();
}

std::optional<QRV_TapeError> QRV_TapeCsv::save(const QString& path,
                                               const std::vector<QRV_TapeLine>& lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QRV_TapeError{QRV_TapeError::Kind::Open, path};
    }
    write(file, lines);
    // A failed write leaves QSaveFile in error, so commit() refuses and the old file stays.
    if (!file.commit()) {
        return QRV_TapeError{QRV_TapeError::Kind::Replace, path};
    }
    return std::nullopt;
}
