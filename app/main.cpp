#include "QRV_AppDelegate.h"
#include "QRV_CommandLine.h"
#include "QRV_TerminationSignals.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QRV_AppDelegate::describeApplication();
    const auto launch = QRV_CommandLine::read(argc, argv);
    if (const int* exitStatus = std::get_if<int>(&launch)) {
        return *exitStatus;
    }
    QApplication app(argc, argv);
    QRV_AppDelegate delegate(app, std::get<QRV_LaunchOptions>(launch));
    QRV_TerminationSignals termination(delegate);
    return QApplication::exec();
}
