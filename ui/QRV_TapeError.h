#pragma once

// A failed tape file operation: what went wrong and on which file. No wording: the window
// words it. A plain value; any thread.

#include <QString>

struct QRV_TapeError {
    enum class Kind {
        Open,     // the file (or its folder) could not be opened or made
        Read,     // reading stopped part way
        Write,    // a write failed: an appended line is not in the file, or a torn one stays
        Replace,  // a whole-file rewrite was not committed; the previous file is unchanged
        SetAside, // the file is not a tape and could not be renamed; nothing is written to it
    };

    Kind kind;
    QString path;

    friend bool operator==(const QRV_TapeError&, const QRV_TapeError&) = default;
};
