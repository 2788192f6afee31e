// Starts Quorvel exactly as main does, and reports when its window is first exposed and how
// much memory the process holds once start-up has settled:
//   shown_ns=<CLOCK_REALTIME at first expose> rss_kb=<VmRSS>
// bench/startup.sh turns that into start-to-window time and resident memory.
#include "QRV_AppDelegate.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <ctime>

namespace {

long long realtimeNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

long residentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// Notes the first expose of an exposed window, then lets the loop settle and reports.
class ExposeWatcher : public QObject {
public:
    bool eventFilter(QObject* target, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(target);
        if (_shownNs == 0 && event->type() == QEvent::Expose && window != nullptr &&
            window->isExposed()) {
            _shownNs = realtimeNanoseconds();
            QTimer::singleShot(200, this, &ExposeWatcher::report);
        }
        return false;
    }

private:
    void report() const {
        std::printf("shown_ns=%lld rss_kb=%ld\n", _shownNs, residentKilobytes());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    long long _shownNs = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ExposeWatcher watcher;
    app.installEventFilter(&watcher);
    QRV_AppDelegate delegate(app);
    return QApplication::exec();
}
