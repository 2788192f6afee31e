#include "RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace platform {

RadioGroup::RadioGroup(QWidget* parent)
    : QWidget(parent)
    , _buttons(new QButtonGroup(this))
    , _layout(new QVBoxLayout(this)) {
    _layout->setContentsMargins(0, 0, 0, 0);
    connect(_buttons, &QButtonGroup::idClicked, this, &RadioGroup::rowActivated);
}

QStringList RadioGroup::rowTitles() const {
    QStringList titles;
    for (QAbstractButton* button : _buttons->buttons()) {
        titles << button->text();
    }
    return titles;
}

void RadioGroup::setRowTitles(const QStringList& titles) {
    for (QAbstractButton* button : _buttons->buttons()) {
        _buttons->removeButton(button);
        delete button;
    }
    for (int row = 0; row < titles.size(); ++row) {
        auto* button = new QRadioButton(titles[row], this);
        _layout->addWidget(button);
        _buttons->addButton(button, row);
    }
}

int RadioGroup::numberOfRows() const {
    return static_cast<int>(_buttons->buttons().size());
}

QRadioButton* RadioGroup::cellAtRow(int row) const {
    return qobject_cast<QRadioButton*>(_buttons->button(row));
}

int RadioGroup::selectedRow() const {
    return _buttons->checkedId();
}

void RadioGroup::selectCellAtRow(int row, int column) {
    if (column != 0) {
        return;
    }
    if (row == -1) {
        // An exclusive group cannot uncheck its last checked button.
        _buttons->setExclusive(false);
        for (QAbstractButton* button : _buttons->buttons()) {
            button->setChecked(false);
        }
        _buttons->setExclusive(true);
        return;
    }
    if (QRadioButton* cell = cellAtRow(row)) {
        cell->setChecked(true);
    }
}

} // namespace platform
