#pragma once

// A group of radio buttons in one column, one row per choice, at most one selected.
// Rows are made from rowTitles (set in the window description) and numbered from 0.
// Main thread only.

#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QRadioButton;
class QVBoxLayout;

namespace platform {

class RadioGroup : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList rowTitles READ rowTitles WRITE setRowTitles)
    Q_PROPERTY(int selectedRow READ selectedRow WRITE selectRow)

public:
    explicit RadioGroup(QWidget* parent = nullptr);

    QStringList rowTitles() const;
    // Replaces every row; none is selected afterwards.
    void setRowTitles(const QStringList& titles);

    int numberOfRows() const;
    QRadioButton* cellAtRow(int row) const;

    // The selected row, or -1 when none is.
    int selectedRow() const;
    // Selects the cell without emitting rowActivated. Column must be 0; a row of -1 clears
    // the selection; any other cell that does not exist is ignored.
    void selectCellAtRow(int row, int column);
    void selectRow(int row) { selectCellAtRow(row, 0); }

signals:
    // The user chose a row (click, keyboard). Not emitted for selections made from code.
    void rowActivated(int row);

private:
    QButtonGroup* _buttons;
    QVBoxLayout* _layout;
};

} // namespace platform
