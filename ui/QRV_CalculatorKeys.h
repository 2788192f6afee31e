#pragma once

// The calculator's keyboard: Return calculates from any control of the calculator and rate
// panels (not from the source popup or another window), and "+" or "-" typed in an operand
// field chooses the operation, since they are never digits.
//
// Owns the Calculate action, which carries Return through Qt's shortcut mechanism so the menu
// shows it. Emits calculateRequested() and operationRequested(). Main thread only.

#include <QObject>

class QAction;
class QRV_OperandFields;

namespace Ui {
class MainWindow;
}

namespace platform {
struct Notification;
}

class QRV_CalculatorKeys : public QObject {
    Q_OBJECT

public:
    QRV_CalculatorKeys(Ui::MainWindow& form, const QRV_OperandFields& operands, QObject* parent);
    ~QRV_CalculatorKeys() override;

    QAction* calculateAction() const { return _calculateAction; }

signals:
    void calculateRequested();
    void operationRequested(bool minus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onReturn();
    void onSignTyped(const platform::Notification& notification);

    const QRV_OperandFields& _operands;
    QAction* _calculateAction;
    bool _fromKey = false;
};
