#include "ZK_MTCReceiver.h"

#include "AlsaMidiInput.h"
#include "JackMidiInput.h"
#include "Log.h"
#include "MainThreadPoster.h"

#include <QString>
#include <mutex>
#include <rtmidi/RtMidi.h>
#include <stdexcept>

namespace {

constexpr char kClientName[] = "RtMidi Input Client";
constexpr char kPortName[] = "RtMidi Input";

// Guarded by ZK_MTCReceiver::classLock().
ZK_MTCReceiver* instance = nullptr;

// A name that is not valid UTF-8 still needs its entry, so positions keep matching sources.
std::string lossyUtf8(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

} // namespace

// Never destroyed: the MIDI thread may still ask for the receiver while the process exits.
std::recursive_mutex& ZK_MTCReceiver::classLock() {
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

ZK_MTCReceiver* ZK_MTCReceiver::alloc() {
    const std::lock_guard lock(classLock());
    if (instance != nullptr) {
        throw std::logic_error("Attempted to allocate a second instance of a singleton.");
    }
    instance = new ZK_MTCReceiver();
    return instance;
}

namespace {

// Set while a caller that keeps trying asks again: its failures were logged the first time.
thread_local bool quietInit = false;

} // namespace

ZK_MTCReceiver* ZK_MTCReceiver::sharedObjectInstanceQuietly() {
    quietInit = true;
    struct Restore {
        ~Restore() { quietInit = false; }
    } restore;
    return sharedObjectInstance();
}

ZK_MTCReceiver* ZK_MTCReceiver::sharedObjectInstance() {
    const std::lock_guard lock(classLock());
    if (instance == nullptr) {
        // Owned here until init succeeds, so a failed or throwing init leaves no half-built
        // receiver behind and the next call starts again.
        std::unique_ptr<ZK_MTCReceiver> allocated(alloc());
        try {
            instance = allocated->init() != nullptr ? allocated.release() : nullptr;
        } catch (...) {
            instance = nullptr;
            throw;
        }
    }
    return instance;
}

// The ALSA sequencer first, as on a desktop with PipeWire or ALSA; JACK where there is none.
// The events post with this receiver as sender directly: asking for the shared instance from
// the input's thread could wait on the class lock that init holds.
std::unique_ptr<MidiInput> ZK_MTCReceiver::makeMidiInput() {
    try {
        return std::make_unique<AlsaMidiInput>(kClientName, kPortName);
    } catch (const RtMidiError& alsaError) {
        MidiInput::Events events;
        events.sourcesChanged = [this] {
            MainThreadPoster::shared().post(MIDISourcesChangedNotification, this);
        };
        events.systemLost = [this] {
            MainThreadPoster::shared().post(MIDISystemLostNotification, this);
        };
        try {
            auto jack = std::make_unique<JackMidiInput>(kClientName, kPortName, std::move(events));
            static std::once_flag told;
            std::call_once(told, [] { platform::Log::write("%s", MIDIUsingJackLogLine); });
            return jack;
        } catch (const RtMidiError& jackError) {
            throw RtMidiError("no ALSA sequencer (" + alsaError.getMessage() + "), and " +
                                  jackError.getMessage(),
                              RtMidiError::DRIVER_ERROR);
        }
    }
}

ZK_MTCReceiver* ZK_MTCReceiver::init() {
    try {
        _midiInput = makeMidiInput();
    } catch (const RtMidiError& error) {
        if (!quietInit) {
            platform::Log::write("Error when initializing Midi system. \nError message %s",
                                 error.what());
        }
        return nullptr;
    }
    _midiPortRef = 0;
    refreshMidiPortNames();
    return this;
}

void ZK_MTCReceiver::refreshMidiPortNames() {
    _portNames.clear();
    if (_midiInput) {
        for (const std::string& name : _midiInput->sourceNames()) {
            _portNames.push_back(lossyUtf8(name));
        }
    }
    _portCount = static_cast<std::uint32_t>(_portNames.size());
}

void ZK_MTCReceiver::closeMidiConnection() {
    if (_midiInput) {
        _midiInput->closeSource();
        _midiInput->cancelCallback();
    }
}

// The index names an entry of the list the caller has seen; the source is opened by that
// entry's name, so a list that changed since can never connect another source.
void ZK_MTCReceiver::openMidiConnectionWithPort(int index) {
    closeMidiConnection();
    if (!_midiInput) {
        throw RtMidiError("the MIDI system is not running", RtMidiError::DRIVER_ERROR);
    }
    const auto port = static_cast<unsigned int>(index);
    if (port >= _portNames.size()) {
        throw RtMidiError(_portNames.empty() ? "there is no MIDI source" : "no such MIDI source",
                          _portNames.empty() ? RtMidiError::NO_DEVICES_FOUND
                                             : RtMidiError::INVALID_PARAMETER);
    }
    _midiInput->openSource(_portNames[port]);
    _midiInput->setCallback(&newMidiEventCallback, nullptr);
}

void ZK_MTCReceiver::closeMidiSystem() {
    // The old client is gone before a new one is opened: no dangling client on the server.
    _midiInput.reset();
    _portNames.clear();
    _portCount = 0;
}

bool ZK_MTCReceiver::restartMidiSystem() {
    closeMidiSystem();
    try {
        _midiInput = makeMidiInput();
    } catch (const RtMidiError&) {
        return false; // tried again later; the loss has been reported already
    }
    refreshMidiPortNames();
    return true;
}

ZK_MTCReceiver::~ZK_MTCReceiver() = default;
