#include "QRV_CalculatorKeys.h"

#include "NotificationCenter.h"
#include "QRV_OperandFields.h"
#include "TextField.h"
#include "ZK_TCInputFormatter.h"
#include "ui_MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <utility>

QRV_CalculatorKeys::QRV_CalculatorKeys(Ui::MainWindow& form, const QRV_OperandFields& operands,
                                       QObject* parent)
    : QObject(parent)
    , _operands(operands)
    , _calculateAction(new QAction(tr("&Calculate"), this)) {
    // Active only while the focus is inside these two panels.
    _calculateAction->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    _calculateAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    form.calculatorGroup->addAction(_calculateAction);
    form.frameRateGroup->addAction(_calculateAction);
    _calculateAction->installEventFilter(this);
    connect(_calculateAction, &QAction::triggered, this, &QRV_CalculatorKeys::onReturn);
    // The two-digit formatter announces a sign instead of entering it.
    platform::NotificationCenter::defaultCenter().addObserver(
        this, [this](const platform::Notification& n) { onSignTyped(n); },
        ZKTCRelValueRequestNotification, nullptr);
}

// The key, not the menu item, triggered the action when a shortcut event reaches it.
bool QRV_CalculatorKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _calculateAction && event->type() == QEvent::Shortcut) {
        _fromKey = true;
    }
    return QObject::eventFilter(watched, event);
}

QRV_CalculatorKeys::~QRV_CalculatorKeys() {
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

// Return on a focused push button presses it, as everywhere else; in a field it ends the edit
// first, so the value typed is the one calculated. The menu item calculates from anywhere.
void QRV_CalculatorKeys::onReturn() {
    QWidget* focus = QApplication::focusWidget();
    const bool fromKey = std::exchange(_fromKey, false);
    if (auto* button = qobject_cast<QAbstractButton*>(focus);
        fromKey && button != nullptr && !button->isCheckable()) {
        button->click();
        return;
    }
    if (auto* field = qobject_cast<platform::TextField*>(focus);
        field != nullptr && !field->isReadOnly() && !field->endEditing()) {
        return;
    }
    emit calculateRequested();
}

void QRV_CalculatorKeys::onSignTyped(const platform::Notification& notification) {
    const auto* focus = qobject_cast<platform::TextField*>(QApplication::focusWidget());
    const platform::Value* sign = notification.valueForKey(ZKTCRelPlusMinusKey);
    if (sign != nullptr && _operands.operandHolding(focus) != 0) {
        emit operationRequested(sign->stringValue() == "-");
    }
}
