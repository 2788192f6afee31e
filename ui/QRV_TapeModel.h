#pragma once

// The tape as a list: every calculation kept, oldest at the top, newest at the bottom.
//
// Owns the lines shown and the QRV_TapeStore that keeps them. What the user does always shows
// at once; when the file cannot follow, storeFailed() says so and the list stays as the user
// made it (a removal that could not be written comes back at the next start). One step of
// undo: the last remove() or clear().
//
// Emits the QAbstractItemModel signals, storeFailed() and canUndoChanged(). Main thread only.

#include "QRV_TapeError.h"
#include "QRV_TapeLine.h"
#include "QRV_TapeStore.h"

#include <QAbstractListModel>
#include <QList>
#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

class QRV_TapeModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        ResultRole = Qt::UserRole + 1, // QString: "01:00:10:00"
        FramesRole,                    // qint64: the result's signed frame count
        WhenRole,                      // QDateTime in local time
    };

    // Empty until load(); path as for QRV_TapeStore.
    explicit QRV_TapeModel(const QString& path, QObject* parent = nullptr);

    // Replaces the list with the file's lines; the counts and failure are the window's to
    // report (storeFailed() is not emitted for them).
    QRV_TapeStore::Loaded load();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const std::vector<QRV_TapeLine>& lines() const { return _lines; }
    const QString& path() const { return _store.path(); }

    // Writes the line to the file, then shows it at the bottom. Beyond kMaxLines the oldest
    // rows go, and with them the undo step.
    void add(const QRV_TapeLine& line);
    // Rows in any order; repeats and rows out of range are ignored.
    void remove(const QList<int>& rows);
    void clear();
    // Puts back what the last remove() or clear() took, where it was; lines added since stay
    // at the bottom.
    void undo();
    bool canUndo() const { return !_undo.empty(); }

    struct Total {
        std::int64_t frames;
        QRV_TapeLine::Rate rate;
    };
    enum class NoTotal {
        NoLines,    // no valid row given
        MixedRates, // frames at different rates do not add up
        TooLarge,   // beyond a 64-bit frame count
    };
    std::variant<Total, NoTotal> sum(const QList<int>& rows) const;

    // The rows' results, top to bottom, one a line with no line feed after the last: for the
    // clipboard, where a single result pastes as an operand.
    QString resultsText(const QList<int>& rows) const;

signals:
    void storeFailed(QRV_TapeError::Kind kind, const QString& path);
    void canUndoChanged(bool canUndo);

private:
    QList<int> validRows(QList<int> rows) const;
    void removeSorted(const QList<int>& rows);
    void dropOldest();
    void setUndo(std::vector<std::pair<int, QRV_TapeLine>> removed);
    void report(const std::optional<QRV_TapeError>& failure);

    QRV_TapeStore _store;
    std::vector<QRV_TapeLine> _lines;
    std::vector<std::pair<int, QRV_TapeLine>> _undo; // row it had, line; ascending rows
};
