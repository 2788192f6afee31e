#include "QRV_MenuBar.h"

#include "QRV_MainWindowController.h"

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
           "timecodes at 24, 25, 30 and 29.97 drop-frame, and capture the timecode a DAW, a "
           "video deck or a sync box sends.</p>"
           "<p>Released under the MIT licence.</p>")
            .arg(QCoreApplication::applicationVersion()));
}

} // namespace

QList<QAction*> QRV_MenuBar::install(QMainWindow& window, QRV_MainWindowController& controller) {
    using Controller = QRV_MainWindowController;
    QMenuBar* bar = window.menuBar();

    QMenu* file = bar->addMenu(tr("&File"));
    // Spelled out: the standard Quit key is empty on desktops without a platform theme.
    file->addAction(tr("&Quit"), QKeySequence(tr("Ctrl+Q")), &window, &QMainWindow::close);

    QMenu* edit = bar->addMenu(tr("&Edit"));
    edit->addAction(tr("&Copy Result"), QKeySequence(tr("Ctrl+Shift+C")), &controller,
                    &Controller::onCopyResultClicked);
    edit->addAction(tr("Paste into Operand &1"), &controller,
                    &Controller::pasteClipboardIntoOperand1);
    edit->addAction(tr("Paste into Operand &2"), &controller,
                    &Controller::pasteClipboardIntoOperand2);

    QMenu* timecode = bar->addMenu(tr("&Timecode"));
    // Return is the operand fields' own key; the menu only names it.
    timecode->addAction(tr("&Calculate") + "\tReturn", &controller,
                        &Controller::onCalculateBtnClicked);
    timecode->addAction(tr("S&wap Operands"), &controller,
                        &Controller::onSwapTCAddressesBtnClicked);
    timecode->addSeparator();
    QList<QAction*> capture{
        timecode->addAction(tr("Capture to Operand 1"), QKeySequence(tr("Ctrl+1")), &controller,
                            &Controller::onCaptureToTCAddr1Clicked),
        timecode->addAction(tr("Capture to Operand 2"), QKeySequence(tr("Ctrl+2")), &controller,
                            &Controller::onCaptureToTCAddr2Clicked)};

    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(tr("&About Quorvel"), &window, [&window] { showAbout(window); });
    return capture;
}
