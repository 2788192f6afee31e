// The LTC side of the source room: the audio ports under their heading, and what happens to a
// chosen LTC source as ports and the JACK server come and go.

#include "QRV_JackError.h"
#include "QRV_LtcSystem.h"
#include "QRV_MidiSystem.h"
#include "QRV_SourceMenu.h"
#include "ZK_MTCReceiver.h"
#include "ui_MainWindow.h"

#include <QStatusBar>

// The JACK server that carries LTC was found after Quorvel started without one.
void QRV_SourceMenu::onLtcArrived() {
    if (!_started) {
        return;
    }
    rebuild();
    if (takeWantedPrefix()) {
        return;
    }
    if (chosenIsLtc() && _chosen == Chosen::Waiting && chosenSourceIsListed() &&
        openChosenSource()) {
        emit message(tr("LTC input is ready: listening to %1.").arg(quoted(_chosenSource)));
    }
}

void QRV_SourceMenu::onLtcSourcesChanged() {
    if (takeWantedPrefix()) {
        return;
    }
    if (chosenIsLtc()) {
        followChosenSource();
    }
    rebuild();
}

// Said only when LTC was heard: with MIDI on the same server, the MIDI side says it too.
void QRV_SourceMenu::onLtcLost() {
    if (chosenIsLtc() && _chosen != Chosen::None) {
        _chosen = Chosen::Waiting;
        emit message(tr("LTC input lost: the JACK server stopped."));
    }
    rebuild();
}

void QRV_SourceMenu::onLtcBack() {
    if (takeWantedPrefix()) {
        return;
    }
    if (chosenIsLtc() && _chosen != Chosen::None && chosenSourceIsListed() && openChosenSource()) {
        emit message(tr("LTC input is back: listening to %1.").arg(quoted(_chosenSource)));
    }
    rebuild();
}

// Below the MIDI sources, under a heading: the audio ports LTC can be read from, or, where a
// MIDI system runs without a JACK server, why there are none.
void QRV_SourceMenu::appendLtcItems(QList<std::pair<QString, QString>>& items) const {
    if (_ltc.isAvailable()) {
        items.append({tr("LTC (audio through JACK)"), QString()});
        for (const QString& name : _ltc.sourceNames()) {
            items.append({name, name});
        }
    } else if (_system.receiver() != nullptr) {
        items.append(
            {tr("LTC needs a JACK server; on PipeWire run Quorvel with pw-jack"), QString()});
    }
}

// The other kind falls silent first: one source is heard at a time.
bool QRV_SourceMenu::openLtcSource() {
    if (_system.isAvailable()) {
        _system.receiver()->closeMidiConnection();
    }
    if (!_ltc.sourceNames().contains(_chosenSource)) {
        _chosen = Chosen::Waiting;
        _ltc.close();
        emit message(tr("%1 is no longer available.").arg(quoted(_chosenSource)));
        return false;
    }
    try {
        _ltc.open(_chosenSource);
        _chosen = Chosen::Open;
    } catch (const QRV_JackError& error) {
        _chosen = Chosen::Failed;
        emit message(tr("Could not open the LTC source %1: %2")
                         .arg(quoted(_chosenSource), QString::fromUtf8(error.what())));
    }
    return _chosen == Chosen::Open;
}
