#pragma once

// The status-bar sentence for what validation changed: the first change in words, then how
// many others there were. Pure text; any thread.

#include <QString>
#include <vector>

struct QRV_FieldChange;
struct QRV_Operands;

class QRV_ValidationMessages {
public:
    QRV_ValidationMessages() = delete;

    // changes is not empty; operands are the values after validation; frameRate the rate
    // they were validated at.
    static QString sentence(const std::vector<QRV_FieldChange>& changes,
                            const QRV_Operands& operands, int frameRate);

private:
    static QString describe(const QRV_FieldChange& change, const QRV_Operands& operands,
                            int frameRate);
};
