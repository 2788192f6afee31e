#pragma once

// Readable QString values in GoogleTest failure messages.

#include <QString>
#include <ostream>

inline void PrintTo(const QString& string, std::ostream* out) {
    *out << '"' << string.toStdString() << '"';
}
