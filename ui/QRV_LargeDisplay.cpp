#include "QRV_LargeDisplay.h"

#include "QRV_LargeTimecodeWindow.h"
#include "QRV_LiveDisplay.h"

#include <QAction>

QRV_LargeDisplay::QRV_LargeDisplay(const QRV_LiveDisplay& live, QObject* parent)
    : QObject(parent)
    , _live(live)
    , _action(new QAction(tr("&Large Timecode"), this)) {
    _action->setShortcut(QKeySequence(Qt::Key_F11));
    _action->setCheckable(true);
    connect(_action, &QAction::triggered, this, &QRV_LargeDisplay::toggle);
    connect(&_live, &QRV_LiveDisplay::changed, this, &QRV_LargeDisplay::update);
}

QRV_LargeDisplay::~QRV_LargeDisplay() {
    if (_window) {
        _window->blockSignals(true); // its last hide is not the user closing it
    }
}

void QRV_LargeDisplay::toggle() {
    if (!_window) {
        _window = std::make_unique<QRV_LargeTimecodeWindow>();
        // The check mark follows the window however it was closed (Escape, the window manager).
        connect(_window.get(), &QRV_LargeTimecodeWindow::visibilityChanged, this,
                [this](bool shown) {
                    _action->setChecked(shown);
                    emit shownChanged(shown);
                });
        update();
    }
    if (_window->isVisible()) {
        _window->close();
    } else {
        _window->show();
        _window->raise();
        _window->activateWindow();
    }
}

void QRV_LargeDisplay::closeQuietly() {
    if (_window) {
        const QSignalBlocker keepRemembered(_window.get());
        _window->close();
    }
}

void QRV_LargeDisplay::update() {
    if (_window) {
        if (const QString text = _live.text(); !text.isEmpty()) {
            _window->setTimecode(text);
        }
        _window->setStatus(_live.statusText());
        _window->setStopped(_live.isStopped());
    }
}
