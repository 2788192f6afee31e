#include "QRV_AppDelegate.h"

#include <QApplication>

// Arguments go to Qt untouched; the program itself takes no options.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QRV_AppDelegate delegate(app);
    return QApplication::exec();
}
