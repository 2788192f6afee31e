#include "QRV_TapePanel.h"

#include "QRV_DayCount.h"
#include "QRV_TapeCsv.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QVBoxLayout>

QRV_TapePanel::QRV_TapePanel(QRV_TapeModel& model, QWidget* parent)
    : QWidget(parent)
    , _model(model)
    , _list(new QListView(this))
    , _footer(new QLabel(this)) {
    setObjectName(QStringLiteral("tapePanel"));
    _list->setObjectName(QStringLiteral("tapeList"));
    _list->setAccessibleName(tr("Tape"));
    _list->setModel(&_model);
    _list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    _list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _list->setUniformItemSizes(true);
    _footer->setObjectName(QStringLiteral("tapeSum"));
    _footer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(_list);
    layout->addWidget(_footer);
    makeActions();
    connect(_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &QRV_TapePanel::updateFooter);
    connect(&_model, &QAbstractItemModel::rowsInserted, this, [this] {
        _list->scrollToBottom();
        updateFooter();
    });
    connect(&_model, &QAbstractItemModel::rowsRemoved, this, &QRV_TapePanel::updateFooter);
    connect(&_model, &QAbstractItemModel::modelReset, this, &QRV_TapePanel::updateFooter);
    connect(_list, &QListView::activated, this, [this](const QModelIndex& index) {
        emit useLine(_model.lines().at(static_cast<std::size_t>(index.row())));
    });
    connect(&_model, &QRV_TapeModel::storeFailed, this, &QRV_TapePanel::onStoreFailed);
    updateFooter();
}

// Copy and Delete act on the list only, so the calculator keeps its own keys.
void QRV_TapePanel::makeActions() {
    auto* copy = new QAction(tr("Copy Results"), this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &QRV_TapePanel::copySelected);
    _list->addAction(copy);
    auto* remove = new QAction(tr("Delete Lines"), this);
    remove->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)});
    remove->setShortcutContext(Qt::WidgetShortcut);
    connect(remove, &QAction::triggered, this, [this] { _model.remove(selectedRows()); });
    _list->addAction(remove);

    _clear = new QAction(tr("C&lear Tape"), this);
    connect(_clear, &QAction::triggered, &_model, &QRV_TapeModel::clear);
    _undo = new QAction(tr("&Undo Tape Change"), this);
    _undo->setShortcut(QKeySequence::Undo);
    _undo->setEnabled(_model.canUndo());
    connect(_undo, &QAction::triggered, &_model, &QRV_TapeModel::undo);
    connect(&_model, &QRV_TapeModel::canUndoChanged, _undo, &QAction::setEnabled);
    _export = new QAction(tr("&Export Tape\u2026"), this);
    connect(_export, &QAction::triggered, this, &QRV_TapePanel::exportTape);
}

QList<int> QRV_TapePanel::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : _list->selectionModel()->selectedRows()) {
        rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void QRV_TapePanel::copySelected() {
    const QList<int> rows = selectedRows();
    if (!rows.isEmpty()) {
        QGuiApplication::clipboard()->setText(_model.resultsText(rows));
    }
}

// With two or more lines selected: their sum, or why there is none.
void QRV_TapePanel::updateFooter() {
    const QList<int> rows = selectedRows();
    if (rows.size() < 2) {
        const int count = _model.rowCount();
        _footer->setText(count == 1 ? tr("1 line") : tr("%1 lines").arg(count));
    } else {
        const auto sum = _model.sum(rows);
        if (const auto* total = std::get_if<QRV_TapeModel::Total>(&sum)) {
            _footer->setText(tr("\u03A3 %1 lines: %2")
                                 .arg(rows.size())
                                 .arg(durationText(total->frames, total->rate)));
        } else if (std::get<QRV_TapeModel::NoTotal>(sum) == QRV_TapeModel::NoTotal::MixedRates) {
            _footer->setText(tr("No sum: lines at different rates"));
        } else {
            _footer->setText(tr("No sum: too large"));
        }
    }
    _footer->setAccessibleName(_footer->text());
}

QString QRV_TapePanel::durationText(std::int64_t frames, const QRV_TapeLine::Rate& rate) {
    const std::int64_t magnitude = frames < 0 ? -frames : frames;
    // Labels cover one day; whole days on top count as hours past 24.
    const std::int64_t day = QRV_DayCount::dayLength(rate.fps, rate.dropFrame);
    const TimeCodeTime time = QRV_DayCount::label(magnitude, rate.fps, rate.dropFrame);
    return QString::asprintf("%s%02lld:%02d:%02d%s%02d", frames < 0 ? "-" : "",
                             static_cast<long long>(magnitude / day * 24 + time.hours),
                             time.minutes, time.seconds, rate.dropFrame ? ";" : ":", time.frames);
}

void QRV_TapePanel::exportTape() {
    const QString path = QFileDialog::getSaveFileName(
        window(), tr("Export Tape"), QDir::home().filePath(QStringLiteral("tape.csv")),
        tr("CSV files (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    if (const auto failure = QRV_TapeCsv::save(path, _model.lines())) {
        emit message(tr("Could not export the tape to %1.").arg(QDir::toNativeSeparators(path)));
    } else {
        emit message(tr("Tape exported to %1.").arg(QDir::toNativeSeparators(path)));
    }
}

void QRV_TapePanel::record(const QString& calculation, const QString& result, qint64 frames,
                           const QRV_TapeLine::Rate& rate, QRV_TapeLine::Kind kind) {
    _model.add({QDateTime::currentDateTimeUtc(), rate, calculation, result, frames, kind});
}

QDockWidget* QRV_TapePanel::dockInto(QMainWindow& window) {
    auto* dock = new QDockWidget(tr("Tape"), &window);
    dock->setObjectName(QStringLiteral("tapeDock"));
    dock->setWidget(this);
    window.addDockWidget(Qt::RightDockWidgetArea, dock);
    QAction* show = dock->toggleViewAction();
    show->setText(tr("&Tape"));
    show->setShortcut(QKeySequence(tr("Ctrl+T")));
    return dock;
}

void QRV_TapePanel::reportLoad(const QRV_TapeStore::Loaded& loaded) {
    QStringList notes;
    if (!loaded.setAsideAs.isEmpty()) {
        notes << tr("The tape file could not be read; it was kept as %1 and a new tape started.")
                     .arg(QDir::toNativeSeparators(loaded.setAsideAs));
    }
    if (loaded.badLines > 0) {
        notes << (loaded.badLines == 1
                      ? tr("A damaged line of the tape was skipped.")
                      : tr("%1 damaged lines of the tape were skipped.").arg(loaded.badLines));
    }
    if (loaded.tornLines > 0) {
        notes << tr("An unfinished last line of the tape was removed.");
    }
    if (loaded.failure) {
        onStoreFailed(loaded.failure->kind, loaded.failure->path);
        return;
    }
    if (!notes.isEmpty()) {
        emit message(notes.join(QLatin1Char(' ')));
    }
}

void QRV_TapePanel::onStoreFailed(QRV_TapeError::Kind kind, const QString& path) {
    const QString file = QDir::toNativeSeparators(path);
    switch (kind) {
    case QRV_TapeError::Kind::Replace:
        emit message(tr("The tape file %1 could not be rewritten; it is unchanged.").arg(file));
        return;
    case QRV_TapeError::Kind::SetAside:
        emit message(tr("The tape file %1 is not a tape and could not be moved aside; the tape "
                        "is not saved.")
                         .arg(file));
        return;
    default:
        emit message(tr("The tape could not be saved to %1.").arg(file));
    }
}
