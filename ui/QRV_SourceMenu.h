#pragma once

// The source room: the source popup (listing, picking by name, "(disconnected)"), the line in
// the MIDI panel while there is no MIDI system, and what happens to the chosen source as
// sources and the MIDI system (QRV_MidiSystem) or the JACK server that carries LTC
// (QRV_LtcSystem) come and go. The popup lists the MIDI sources, then, under a heading of
// their own, the audio ports LTC can be read from. One source, MIDI or LTC, is heard at a time.
//
// Widgets it writes, from the form: MIDIPortDropDownMenu, midiSystemNotice. Emits message()
// for the status bar and chosenSourceChanged() when the user's choice changes (to be
// remembered). Main thread only.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <utility>

class QRV_LtcSystem;
class QRV_MidiSystem;
class ZK_MTCReceiver;

namespace Ui {
class MainWindow;
}

class QRV_SourceMenu : public QObject {
    Q_OBJECT

public:
    QRV_SourceMenu(Ui::MainWindow& form, QRV_MidiSystem& system, QRV_LtcSystem& ltc,
                   QObject* parent);

    // Lists the sources there are now and says what state MIDI input is in.
    void start();

    // Opens the source chosen in the popup, by its name, also when it is the one already
    // open. A source that has gone, or cannot be opened, is named in the status bar; no
    // source is open then and the popup keeps the choice.
    void changeMTCSourceIndex();
    // Picks the first listed source whose name begins with prefix; one that is not listed
    // yet is picked as soon as it appears. False when it is not listed now.
    bool chooseSourceNamed(const QString& prefix);
    // A source to listen to by its whole name, as remembered from the last run: opened now if
    // it is listed, else shown as disconnected and opened when it appears.
    void restoreChosenSource(const QString& name);
    QString chosenSource() const { return _chosenSource; }

signals:
    void message(const QString& text);
    void chosenSourceChanged(const QString& name);

private:
    // What became of the chosen source; the popup shows it either way.
    enum class Chosen {
        None,    // nothing chosen yet
        Open,    // connected and heard
        Waiting, // not there (gone, or not yet come): opened as soon as it is listed
        Failed,  // there, but it could not be opened; picked again by the user
    };

    static QString quoted(const QString& name);
    void onArrived(ZK_MTCReceiver* receiver);
    void onSourcesChanged();
    void onLost();
    void onBack();
    void onLtcArrived();
    void onLtcSourcesChanged();
    void onLtcLost();
    void onLtcBack();
    void followChosenSource();
    void rebuild();
    void appendLtcItems(QList<std::pair<QString, QString>>& items) const;
    void refresh();
    bool openChosenSource();
    bool openMidiSource();
    bool openLtcSource();
    bool chosenIsLtc() const;
    bool hasInput() const;
    QStringList listedNames() const;
    bool chosenSourceIsListed() const;
    bool takeWantedPrefix();
    void setChosenSource(const QString& name);
    void showNotice();
    void reportSources();

    Ui::MainWindow& _form;
    QRV_MidiSystem& _system;
    QRV_LtcSystem& _ltc;
    QString _chosenSource; // the name picked; empty while none is
    QString _wantedPrefix; // a --source that was not listed yet
    Chosen _chosen = Chosen::None;
    bool _started = false; // start() has looked for the MIDI system once
};
