#include "QRV_SourceMenu.h"

#include "PopUpButton.h"
#include "QRV_JackError.h"
#include "QRV_LtcSystem.h"
#include "QRV_MidiSystem.h"
#include "ZK_MTCReceiver.h"
#include "ui_MainWindow.h"

#include <QRegularExpression>
#include <QStandardItemModel>
#include <QStatusBar>
#include <rtmidi/RtMidi.h>

namespace {

// Each item keeps its source's name; its position may change as sources come and go.
constexpr int kSourceNameRole = Qt::UserRole + 1;

// The MIDI library prefixes its messages with its own class and function ("Api::call: ...");
// users read the rest.
QString userText(const RtMidiError& error) {
    static const QRegularExpression kLibraryPrefix(QStringLiteral("^\\w+::\\w+: *"));
    return QString::fromStdString(error.getMessage()).remove(kLibraryPrefix);
}

} // namespace

// A source's name as messages show it, in curly quotes.
QString QRV_SourceMenu::quoted(const QString& name) {
    return QStringLiteral("\u201c%1\u201d").arg(name);
}

QRV_SourceMenu::QRV_SourceMenu(Ui::MainWindow& form, QRV_MidiSystem& system, QRV_LtcSystem& ltc,
                               QObject* parent)
    : QObject(parent)
    , _form(form)
    , _system(system)
    , _ltc(ltc) {
    connect(&_system, &QRV_MidiSystem::arrived, this, &QRV_SourceMenu::onArrived);
    connect(&_system, &QRV_MidiSystem::sourcesChanged, this, &QRV_SourceMenu::onSourcesChanged);
    connect(&_system, &QRV_MidiSystem::lost, this, &QRV_SourceMenu::onLost);
    connect(&_system, &QRV_MidiSystem::back, this, &QRV_SourceMenu::onBack);
    connect(&_ltc, &QRV_LtcSystem::arrived, this, &QRV_SourceMenu::onLtcArrived);
    connect(&_ltc, &QRV_LtcSystem::sourcesChanged, this, &QRV_SourceMenu::onLtcSourcesChanged);
    connect(&_ltc, &QRV_LtcSystem::lost, this, &QRV_SourceMenu::onLtcLost);
    connect(&_ltc, &QRV_LtcSystem::back, this, &QRV_SourceMenu::onLtcBack);
    platform::PopUpButton* menu = _form.MIDIPortDropDownMenu;
    // activated, not currentIndexChanged: picking the item already shown re-opens it.
    connect(menu, &QComboBox::activated, this, &QRV_SourceMenu::changeMTCSourceIndex);
    connect(menu, &platform::PopUpButton::menuWillOpen, this, &QRV_SourceMenu::refresh);
    // Queued: the item the user clicked is handled before the menu changes under it.
    connect(menu, &platform::PopUpButton::menuDidClose, this, &QRV_SourceMenu::rebuild,
            Qt::QueuedConnection);
}

void QRV_SourceMenu::start() {
    _system.start();
    _ltc.start();
    _started = true;
    rebuild();
    showNotice();
    reportSources();
}

void QRV_SourceMenu::reportSources() {
    if (_system.receiver() == nullptr) {
        emit message(tr("MIDI input is unavailable: the MIDI system could not be started."));
    } else if (_system.receiver()->midiPortNames().empty()) {
        emit message(tr("No MIDI source was found."));
    } else {
        emit message(QString());
    }
}

// Stays in the panel until a MIDI system is found: the status bar's next message would hide it.
void QRV_SourceMenu::showNotice() {
    _form.midiSystemNotice->setVisible(_system.receiver() == nullptr);
}

// A MIDI system found by a retry, after Quorvel started without one.
void QRV_SourceMenu::onArrived(ZK_MTCReceiver* /*receiver*/) {
    if (!_started) {
        return; // the first look, which start() reports
    }
    showNotice();
    rebuild();
    if (takeWantedPrefix()) {
        return;
    }
    if (_chosen == Chosen::Waiting && chosenSourceIsListed() && openChosenSource()) {
        emit message(tr("MIDI input is ready: listening to %1.").arg(quoted(_chosenSource)));
    } else {
        emit message(tr("MIDI input is ready."));
    }
}

void QRV_SourceMenu::onSourcesChanged() {
    if (!_system.isAvailable()) {
        return;
    }
    _system.receiver()->refreshMidiPortNames();
    if (takeWantedPrefix()) {
        return;
    }
    if (!chosenIsLtc()) {
        followChosenSource();
    }
    if (_chosen == Chosen::None && !_system.receiver()->midiPortNames().empty() &&
        _form.statusbar->currentMessage() == tr("No MIDI source was found.")) {
        emit message(QString());
    }
    rebuild();
}

// The chosen source went from the list, or came back to it.
void QRV_SourceMenu::followChosenSource() {
    const bool listed = chosenSourceIsListed();
    if (_chosen == Chosen::Open && !listed) {
        _chosen = Chosen::Waiting;
        emit message(tr("%1 was disconnected.").arg(quoted(_chosenSource)));
    } else if (_chosen == Chosen::Waiting && listed) {
        if (openChosenSource()) {
            emit message(tr("%1 is back: listening to it again.").arg(quoted(_chosenSource)));
        }
    }
}

void QRV_SourceMenu::onLost() {
    if (_chosen != Chosen::None && !chosenIsLtc()) {
        _chosen = Chosen::Waiting;
    }
    emit message(tr("MIDI input lost: the JACK server stopped."));
    rebuild();
}

// The old connection was closed before the new one opened; the chosen source, if it is there,
// is heard again.
void QRV_SourceMenu::onBack() {
    if (takeWantedPrefix()) {
        return;
    }
    if (_chosen != Chosen::None && !chosenIsLtc() && chosenSourceIsListed() && openChosenSource()) {
        emit message(tr("MIDI input is back: listening to %1.").arg(quoted(_chosenSource)));
    } else {
        emit message(tr("MIDI input is back."));
    }
    rebuild();
}

// Items are the receiver's sources, tagged with their position and keeping their name; a
// chosen source that is not there now stays in the menu, marked, so the choice stays visible.
// An open menu is left as the user sees it, and brought up to date when it closes; otherwise
// the items are only rewritten when they change.
void QRV_SourceMenu::rebuild() {
    platform::PopUpButton* menu = _form.MIDIPortDropDownMenu;
    if (menu->isMenuOpen()) {
        return;
    }
    QList<std::pair<QString, QString>> items; // title, source name
    if (ZK_MTCReceiver* receiver = _system.receiver()) {
        for (const std::string& name : receiver->midiPortNames()) {
            items.append({QString::fromStdString(name), QString::fromStdString(name)});
        }
    }
    appendLtcItems(items);
    if (!_chosenSource.isEmpty() && !chosenSourceIsListed()) {
        items.append({tr("%1 (disconnected)").arg(_chosenSource), _chosenSource});
    }
    bool same = menu->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i) {
        same = menu->itemText(i) == items[i].first &&
               menu->itemData(i, kSourceNameRole).toString() == items[i].second;
    }
    if (!same) {
        const QSignalBlocker quiet(menu);
        menu->clear();
        auto* model = qobject_cast<QStandardItemModel*>(menu->model());
        for (int i = 0; i < items.size(); ++i) {
            menu->addItem(items[i].first, i);
            menu->setItemData(i, items[i].second, kSourceNameRole);
            // A heading names a group; it is not a source to pick.
            if (items[i].second.isEmpty() && model != nullptr) {
                model->item(i)->setEnabled(false);
            }
        }
    }
    // No source is chosen, and none opened, until the user picks one.
    const int chosen =
        _chosenSource.isEmpty() ? -1 : menu->findData(_chosenSource, kSourceNameRole);
    if (menu->currentIndex() != chosen) {
        const QSignalBlocker quiet(menu);
        menu->setCurrentIndex(chosen);
    }
    // Open while there is a MIDI system: opening the menu looks for sources again.
    menu->setEnabled(hasInput());
    menu->setPlaceholderText(menu->count() > 0 ? tr("Choose a MIDI source") : tr("No MIDI source"));
}

void QRV_SourceMenu::refresh() {
    if (_system.isAvailable()) {
        _system.receiver()->refreshMidiPortNames();
    }
    rebuild();
}

bool QRV_SourceMenu::chosenIsLtc() const {
    return QRV_LtcSystem::isLtcSource(_chosenSource);
}

bool QRV_SourceMenu::hasInput() const {
    return _system.receiver() != nullptr || _ltc.isAvailable();
}

// The sources of the chosen one's kind there are now.
QStringList QRV_SourceMenu::listedNames() const {
    if (chosenIsLtc()) {
        return _ltc.sourceNames();
    }
    QStringList names;
    if (_system.receiver() != nullptr) {
        for (const std::string& name : _system.receiver()->midiPortNames()) {
            names.append(QString::fromStdString(name));
        }
    }
    return names;
}

bool QRV_SourceMenu::chosenSourceIsListed() const {
    return listedNames().contains(_chosenSource);
}

void QRV_SourceMenu::setChosenSource(const QString& name) {
    if (name != _chosenSource) {
        _chosenSource = name;
        emit chosenSourceChanged(name);
    }
}

void QRV_SourceMenu::changeMTCSourceIndex() {
    if (!hasInput()) {
        return;
    }
    QComboBox* menu = _form.MIDIPortDropDownMenu;
    _wantedPrefix.clear(); // the user's own pick wins over the command line's
    setChosenSource(menu->itemData(menu->currentIndex(), kSourceNameRole).toString());
    if (chosenIsLtc() ? !_ltc.isAvailable() : !_system.isAvailable()) {
        _chosen = Chosen::Waiting;
        emit message(
            tr("%1 will be heard once the JACK server is back.").arg(quoted(_chosenSource)));
        return;
    }
    if (openChosenSource()) {
        emit message(tr("Listening to %1.").arg(quoted(_chosenSource)));
    }
}

bool QRV_SourceMenu::chooseSourceNamed(const QString& prefix) {
    _wantedPrefix = prefix;
    refresh();
    if (takeWantedPrefix()) {
        return true;
    }
    const QString missing =
        QRV_LtcSystem::isLtcSource(prefix)
            ? tr("No LTC source named %1 was found; it will be heard as soon as it appears.")
            : tr("No MIDI source named %1 was found; it will be heard as soon as it appears.");
    emit message(missing.arg(quoted(prefix)));
    return false;
}

// The first listed source whose name begins with the wanted prefix is picked as a user would.
bool QRV_SourceMenu::takeWantedPrefix() {
    if (_wantedPrefix.isEmpty() || !hasInput()) {
        return false;
    }
    // Among the sources listed now: a remembered one shown "(disconnected)" is not there.
    QStringList listed;
    if (_system.isAvailable()) {
        for (const std::string& midi : _system.receiver()->midiPortNames()) {
            listed.append(QString::fromStdString(midi));
        }
    }
    listed += _ltc.sourceNames();
    for (const QString& name : std::as_const(listed)) {
        if (name.startsWith(_wantedPrefix)) {
            rebuild();
            QComboBox* menu = _form.MIDIPortDropDownMenu;
            const int item = menu->findData(name, kSourceNameRole);
            if (item < 0) {
                return false; // the menu is open: its items follow when it closes
            }
            menu->setCurrentIndex(item);
            changeMTCSourceIndex();
            return true;
        }
    }
    return false;
}

void QRV_SourceMenu::restoreChosenSource(const QString& name) {
    if (name.isEmpty()) {
        return;
    }
    setChosenSource(name);
    _chosen = Chosen::Waiting;
    if ((chosenIsLtc() ? _ltc.isAvailable() : _system.isAvailable()) && chosenSourceIsListed() &&
        openChosenSource()) {
        emit message(tr("Listening to %1.").arg(quoted(_chosenSource)));
    }
    rebuild();
}

// Looks the chosen name up among the sources present now, so the source heard is always the
// one named, and says in the status bar why it could not be opened.
bool QRV_SourceMenu::openChosenSource() {
    const bool opened = chosenIsLtc() ? openLtcSource() : openMidiSource();
    rebuild();
    return opened;
}

bool QRV_SourceMenu::openMidiSource() {
    _ltc.close();
    ZK_MTCReceiver* receiver = _system.receiver();
    receiver->refreshMidiPortNames();
    const auto& names = receiver->midiPortNames();
    const auto found = std::ranges::find(names, _chosenSource.toStdString());
    if (!_chosenSource.isEmpty() && found == names.end()) {
        _chosen = Chosen::Waiting;
        receiver->closeMidiConnection();
        emit message(tr("%1 is no longer available.").arg(quoted(_chosenSource)));
    } else {
        try {
            receiver->openMidiConnectionWithPort(static_cast<int>(found - names.begin()));
            _chosen = Chosen::Open;
        } catch (const RtMidiError& error) {
            _chosen = Chosen::Failed;
            emit message(tr("Could not open the MIDI source %1: %2")
                             .arg(quoted(_chosenSource), userText(error)));
        }
    }
    return _chosen == Chosen::Open;
}
