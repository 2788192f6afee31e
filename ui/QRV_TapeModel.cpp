#include "QRV_TapeModel.h"

#include <QStringList>
#include <algorithm>
#include <iterator>
#include <numeric>

QRV_TapeModel::QRV_TapeModel(const QString& path, QObject* parent)
    : QAbstractListModel(parent)
    , _store(path) {}

QRV_TapeStore::Loaded QRV_TapeModel::load() {
    QRV_TapeStore::Loaded loaded = _store.load();
    beginResetModel();
    _lines = loaded.lines;
    endResetModel();
    setUndo({});
    return loaded;
}

int QRV_TapeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(_lines.size());
}

QVariant QRV_TapeModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const QRV_TapeLine& line = _lines[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return line.displayText();
    case ResultRole:
        return line.result;
    case FramesRole:
        return static_cast<qint64>(line.frames);
    case WhenRole:
        return line.when.toLocalTime();
    default:
        return {};
    }
}

void QRV_TapeModel::add(const QRV_TapeLine& line) {
    const auto failure = _store.append(line);
    const int row = rowCount();
    beginInsertRows({}, row, row);
    _lines.push_back(line);
    endInsertRows();
    dropOldest();
    report(failure);
}

void QRV_TapeModel::remove(const QList<int>& rows) {
    const QList<int> sorted = validRows(rows);
    if (sorted.isEmpty()) {
        return;
    }
    std::vector<std::pair<int, QRV_TapeLine>> removed;
    removed.reserve(sorted.size());
    for (const int row : sorted) {
        removed.emplace_back(row, _lines[row]);
    }
    removeSorted(sorted);
    setUndo(std::move(removed));
    report(_store.rewrite(_lines));
}

void QRV_TapeModel::clear() {
    QList<int> all(rowCount());
    std::iota(all.begin(), all.end(), 0);
    remove(all);
}

void QRV_TapeModel::undo() {
    if (_undo.empty()) {
        return;
    }
    const auto restored = std::exchange(_undo, {});
    // Runs of neighbouring rows go back in one insertion each; ascending, every row before a
    // run is already where it was.
    for (auto run = restored.begin(); run != restored.end();) {
        auto end = std::next(run);
        while (end != restored.end() && end->first == std::prev(end)->first + 1) {
            ++end;
        }
        const int at = std::min(run->first, rowCount());
        beginInsertRows({}, at, at + static_cast<int>(end - run) - 1);
        std::vector<QRV_TapeLine> lines;
        std::transform(run, end, std::back_inserter(lines), [](const auto& p) { return p.second; });
        _lines.insert(_lines.begin() + at, lines.begin(), lines.end());
        endInsertRows();
        run = end;
    }
    dropOldest();
    emit canUndoChanged(false);
    report(_store.rewrite(_lines));
}

std::variant<QRV_TapeModel::Total, QRV_TapeModel::NoTotal>
QRV_TapeModel::sum(const QList<int>& rows) const {
    const QList<int> valid = validRows(rows);
    if (valid.isEmpty()) {
        return NoTotal::NoLines;
    }
    Total total{0, _lines[valid.front()].rate};
    for (const int row : valid) {
        if (_lines[row].rate != total.rate) {
            return NoTotal::MixedRates;
        }
        if (__builtin_add_overflow(total.frames, _lines[row].frames, &total.frames)) {
            return NoTotal::TooLarge;
        }
    }
    return total;
}

QString QRV_TapeModel::resultsText(const QList<int>& rows) const {
    QStringList results;
    for (const int row : validRows(rows)) {
        results += _lines[row].result;
    }
    return results.join(QLatin1Char('\n'));
}

QList<int> QRV_TapeModel::validRows(QList<int> rows) const {
    rows.removeIf([this](int row) { return row < 0 || row >= rowCount(); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

// Bottom up, a run of neighbouring rows at a time, so the rows still to go keep their numbers.
void QRV_TapeModel::removeSorted(const QList<int>& rows) {
    for (auto last = rows.rbegin(); last != rows.rend();) {
        auto first = last;
        while (std::next(first) != rows.rend() && *std::next(first) == *first - 1) {
            ++first;
        }
        beginRemoveRows({}, *first, *last);
        _lines.erase(_lines.begin() + *first, _lines.begin() + *last + 1);
        endRemoveRows();
        last = std::next(first);
    }
}

void QRV_TapeModel::dropOldest() {
    const int excess = rowCount() - QRV_TapeStore::kMaxLines;
    if (excess <= 0) {
        return;
    }
    beginRemoveRows({}, 0, excess - 1);
    _lines.erase(_lines.begin(), _lines.begin() + excess);
    endRemoveRows();
    // The rows kept for undo no longer say where their lines belong.
    setUndo({});
}

void QRV_TapeModel::setUndo(std::vector<std::pair<int, QRV_TapeLine>> removed) {
    const bool could = canUndo();
    _undo = std::move(removed);
    if (could != canUndo()) {
        emit canUndoChanged(canUndo());
    }
}

void QRV_TapeModel::report(const std::optional<QRV_TapeError>& failure) {
    if (failure) {
        emit storeFailed(failure->kind, failure->path);
    }
}
