#include "MainQueue.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace platform {

bool MainQueue::async(std::function<void()> task) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        return false;
    }
    return QMetaObject::invokeMethod(app, std::move(task), Qt::QueuedConnection);
}

} // namespace platform
