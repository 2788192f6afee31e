// libFuzzer target: one line of the tape file, as a damaged or hand-edited file may hold it.
// Any bytes must be either refused or read as a record that writes back to the same bytes
// (a violation traps), so a tape never grows different on its way through a load and a
// rewrite.

#include "QRV_TapeStore.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const auto line = QRV_TapeStore::parseLine(bytes);
    if (line && QRV_TapeStore::formatLine(*line) != bytes) {
        __builtin_trap();
    }
    return 0;
}
