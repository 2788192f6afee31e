#pragma once

// The tape room: a panel listing every calculation (QRV_TapeModel), newest at the bottom, with
// the sum of the selected lines in its footer. Ctrl+C copies the selected results, Return or a
// double-click sends one back to the calculator, Delete removes, Clear Tape empties, Undo puts
// back what the last removal or clear took, Export Tape writes CSV.
//
// Owns its widgets (the list and the footer) and its actions; the model is the controller's.
// Emits useLine() for the calculator, message() for the status bar. Main thread only.

#include "QRV_TapeLine.h"
#include "QRV_TapeModel.h"

#include <QWidget>

class QAction;
class QDockWidget;
class QMainWindow;
class QLabel;
class QListView;

class QRV_TapePanel : public QWidget {
    Q_OBJECT

public:
    QRV_TapePanel(QRV_TapeModel& model, QWidget* parent = nullptr);

    QAction* clearAction() const { return _clear; }
    QAction* undoAction() const { return _undo; }
    QAction* exportAction() const { return _export; }
    QListView* list() const { return _list; }

    // A calculation or conversion just shown, added at the bottom (and to the file first).
    void record(const QString& calculation, const QString& result, qint64 frames,
                const QRV_TapeLine::Rate& rate,
                QRV_TapeLine::Kind kind = QRV_TapeLine::Kind::Calculation);
    // Puts the panel in a dock on the window's right; the dock's toggle action (Ctrl+T) shows
    // and hides it.
    QDockWidget* dockInto(QMainWindow& window);
    // Tells what load() found: lines skipped, a torn last line, a file set aside.
    void reportLoad(const QRV_TapeStore::Loaded& loaded);
    // "01:02:03:04", ";" at drop-frame, hours past 24 as they come, "-" when negative.
    static QString durationText(std::int64_t frames, const QRV_TapeLine::Rate& rate);

signals:
    void useLine(const QRV_TapeLine& line);
    void message(const QString& text);

private:
    void makeActions();
    QList<int> selectedRows() const;
    void updateFooter();
    void copySelected();
    void exportTape();
    void onStoreFailed(QRV_TapeError::Kind kind, const QString& path);

    QRV_TapeModel& _model;
    QListView* _list;
    QLabel* _footer;
    QAction* _clear = nullptr;
    QAction* _undo = nullptr;
    QAction* _export = nullptr;
};
