#include "QRV_AppDelegate.h"
#include "QRV_TerminationSignals.h"

#include <QApplication>

// Arguments go to Qt untouched; the program itself takes no options.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QRV_AppDelegate delegate(app);
    QRV_TerminationSignals termination(delegate);
    return QApplication::exec();
}
