#pragma once

// The quick-entry room: one line where a whole calculation is typed ("1:02:03:04 + 10. * 3"),
// read by QRV_EntryReader at the calculator's rate. Return works it out, Escape clears the
// line, Up and Down recall earlier entries of this run, Ctrl+L comes here from anywhere.
//
// Writes the form's quickEntry field only. What it needs of the calculator comes through
// context(); a result goes out as evaluated(), problems and notes as message(). An entry that
// cannot be read keeps its text, with the caret at the fault. Main thread only.

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class QAction;
class QLineEdit;
struct QRV_EntryError;
struct QRV_EntryValue;

class QRV_QuickEntry : public QObject {
    Q_OBJECT

public:
    // The calculator as an entry sees it: its rate and the result it shows.
    struct Context {
        int fps;
        bool dropFrame;
        std::int64_t shownFrames;
    };

    QRV_QuickEntry(QLineEdit& entry, std::function<Context()> context, QObject* parent);

    QAction* focusAction() const { return _focusAction; }
    // Works out the line as Return does; false when it could not be read.
    bool evaluate();

signals:
    void evaluated(qint64 frames, const QString& calculation);
    void message(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void recall(int step);
    void report(const QRV_EntryValue& value);
    void report(const QRV_EntryError& error);

    QLineEdit& _entry;
    std::function<Context()> _context;
    QAction* _focusAction;
    QStringList _history;
    qsizetype _recalled = 0; // _history.size() while a new line is being typed
};
