#include "QRV_MenuBar.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("QRV_MenuBar", text);
}

void showAbout(QMainWindow& window) {
    QMessageBox::about(
        &window, tr("About Quorvel"),
        tr("<h3>Quorvel %1</h3>"
           "<p>A timecode calculator with a live MIDI Time Code input: add and subtract SMPTE "
           "timecodes at 24, 25, 30, 48, 50 and 60 fps, 29.97 and 59.94 drop-frame and the "
           "NTSC rates (23.976, 29.97, 47.952, 59.94), and capture the timecode a DAW, a video "
           "deck or a sync box sends.</p>"
           "<p>Released under the MIT licence.</p>")
            .arg(QCoreApplication::applicationVersion()));
}

} // namespace

void QRV_MenuBar::install(QMainWindow& window, const Actions& actions) {
    QMenuBar* bar = window.menuBar();

    QMenu* file = bar->addMenu(tr("&File"));
    file->addAction(actions.exportTape);
    file->addSeparator();
    // Spelled out: the standard Quit key is empty on desktops without a platform theme.
    file->addAction(tr("&Quit"), QKeySequence(tr("Ctrl+Q")), &window, &QMainWindow::close);

    QMenu* edit = bar->addMenu(tr("&Edit"));
    edit->addActions({actions.copyResult, actions.pasteInto1, actions.pasteInto2});
    edit->addSeparator();
    edit->addActions({actions.undoTape, actions.clearTape});

    QMenu* view = bar->addMenu(tr("&View"));
    view->addActions({actions.largeTimecode, actions.tape, actions.convert});
    view->addSeparator();
    view->addAction(actions.readouts);

    QMenu* timecode = bar->addMenu(tr("&Timecode"));
    timecode->addActions({actions.quickEntry, actions.calculate, actions.swap});
    timecode->addSeparator();
    timecode->addActions({actions.captureTo1, actions.captureTo2});

    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(tr("&About Quorvel"), &window, [&window] { showAbout(window); });
}
