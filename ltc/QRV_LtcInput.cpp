#include "QRV_LtcInput.h"

#include "Log.h"
#include "QRV_JackError.h"
#include "QRV_PortBufferHandOver.h"

#include <algorithm>
#include <jack/jack.h>

namespace {

constexpr char kClientName[] = "Quorvel";
constexpr char kPortName[] = "LTC in";

// About five seconds of 48 kHz audio: far more than one wake-up of the reader leaves waiting.
constexpr std::size_t kRingBytes = 1 << 20;
// The reader is woken once this much audio waits: well inside the one frame plus one period
// that a decoded frame may lag behind the signal.
constexpr double kWakeSeconds = 0.005;
// Digital silence (a port that carries nothing) needs no prompt reading: the reader is woken
// ten times a second for it, and at once when sound comes.
constexpr double kSilentWakeSeconds = 0.1;
constexpr std::chrono::minutes kNoTimecodeLogInterval{1};

bool isDigitalSilence(const float* samples, jack_nframes_t frames) {
    return std::all_of(samples, samples + frames, [](float sample) { return sample == 0.0F; });
}

QRV_LtcState::Signal shownSignal(QRV_LtcReader::Signal signal) {
    switch (signal) {
    case QRV_LtcReader::Signal::Silent:
        return QRV_LtcState::Signal::Silent;
    case QRV_LtcReader::Signal::NoTimecode:
        return QRV_LtcState::Signal::NoTimecode;
    case QRV_LtcReader::Signal::Timecode:
        return QRV_LtcState::Signal::Timecode;
    }
    return QRV_LtcState::Signal::Silent;
}

} // namespace

QRV_LtcInput::QRV_LtcInput(Events events)
    : client_(std::make_unique<QRV_JackClient>(kClientName, kPortName, JACK_DEFAULT_AUDIO_TYPE))
    , ring_(kRingBytes)
    , events_(std::move(events)) {
    reader_ = std::make_unique<QRV_LtcReader>(client_->sampleRate());
    block_.resize(4096);
    client_->start(*this); // active only while a source is connected
}

// The client closes first, while the handler it calls is whole.
QRV_LtcInput::~QRV_LtcInput() {
    client_->close();
}

std::vector<std::string> QRV_LtcInput::sourceNames() const {
    return client_->sourceNames();
}

void QRV_LtcInput::openSource(const std::string& name) {
    closeSource();
    {
        const std::lock_guard lock(feedMutex_);
        sourceName_ = name;
        noTimecodeLogged_ = false;
    }
    client_->resume();
    client_->connect(name);
    connected_.store(true);
}

// Samples of the old source may still sit in the ring; once the client has seen whole cycles
// start since the disconnection, a new epoch begins and the reader drops the old one's, and
// the decoder starts afresh (rate detection included).
void QRV_LtcInput::closeSource() {
    connected_.store(false);
    client_->pause();
    const std::lock_guard lock(feedMutex_);
    fedEpoch_ = epoch_.load() + 1;
    epoch_.store(fedEpoch_);
    reader_->reset();
    const std::lock_guard stateLock(stateMutex_);
    state_ = QRV_LtcState{};
}

QRV_LtcState QRV_LtcInput::state() const {
    const std::lock_guard lock(stateMutex_);
    return state_;
}

// ---- JACK's process thread ----

void QRV_LtcInput::process(jack_nframes_t frames) {
    if (!connected_.load(std::memory_order_relaxed)) {
        return;
    }
    auto* samples = static_cast<const float*>(jack_port_get_buffer(client_->port(), frames));
    QRV_PortBufferHandOver::takePortBuffer(samples);
    const BlockHeader header{epoch_.load(std::memory_order_acquire),
                             jack_last_frame_time(client_->client()), frames};
    if (!ring_.write(&header, sizeof header, samples, frames * sizeof(float))) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
    }
    const bool silent = isDigitalSilence(samples, frames);
    QRV_PortBufferHandOver::handOnPortBuffer(samples);
    const double wakeAfter = silent && wasSilent_ ? kSilentWakeSeconds : kWakeSeconds;
    wasSilent_ = silent;
    samplesSinceWake_ += frames;
    if (samplesSinceWake_ >= wakeAfter * client_->sampleRate()) {
        samplesSinceWake_ = 0;
        client_->wake();
    }
}

// ---- The reader thread ----

void QRV_LtcInput::drain() {
    bool fed = false;
    while (feedNextBlock(fed)) {
    }
    if (fed) {
        publishState();
    }
}

bool QRV_LtcInput::feedNextBlock(bool& fed) {
    BlockHeader header{};
    if (ring_.readable() < sizeof header) {
        return false;
    }
    ring_.read(&header, sizeof header);
    if (block_.size() < header.count) {
        block_.resize(header.count);
    }
    ring_.read(block_.data(), header.count * sizeof(float));
    const std::lock_guard lock(feedMutex_);
    if (header.epoch != fedEpoch_) {
        return true;
    }
    if (header.epoch != readerEpoch_) {
        readerEpoch_ = header.epoch;
        lastReverse_ = false;
    }
    fed = true;
    // JACK's frame time wraps every 2^32 samples; the stream position must not.
    position_ += hasPosition_ ? static_cast<std::int32_t>(header.position - lastFrameTime_) : 0;
    lastFrameTime_ = header.position;
    hasPosition_ = true;
    reader_->write(block_.data(), header.count, position_);
    deliverFrames();
    return true;
}

void QRV_LtcInput::deliverFrames() {
    QRV_LtcFrame frame{};
    while (reader_->read(frame)) {
        lastReverse_ = frame.reverse;
        if (events_.frame) {
            events_.frame(frame, client_->sampleRate());
        }
    }
}

// Under the feed lock throughout: a source closed since the last block fed would otherwise
// get the freshly reset reader's "silent" back over its cleared state.
void QRV_LtcInput::publishState() {
    const std::lock_guard lock(feedMutex_);
    if (readerEpoch_ != fedEpoch_) {
        return;
    }
    QRV_LtcState state;
    state.signal = shownSignal(reader_->signal());
    state.rateCode = reader_->detectedRateCode();
    state.speed = reader_->speed();
    state.levelDbfs = reader_->levelDbfs();
    state.reverse = lastReverse_;
    logNoTimecode(state.signal);
    const std::lock_guard stateLock(stateMutex_);
    state_ = state;
}

// Once per source and per minute at most: the status line says it all the time.
void QRV_LtcInput::logNoTimecode(QRV_LtcState::Signal signal) {
    const auto now = std::chrono::steady_clock::now();
    if (signal != QRV_LtcState::Signal::NoTimecode ||
        (noTimecodeLogged_ && now - lastNoTimecodeLog_ < kNoTimecodeLogInterval)) {
        return;
    }
    noTimecodeLogged_ = true;
    lastNoTimecodeLog_ = now;
    platform::Log::write("no LTC in this signal: %s", sourceName_.c_str());
}

void QRV_LtcInput::sourcesChanged() {
    if (events_.sourcesChanged) {
        events_.sourcesChanged();
    }
}

void QRV_LtcInput::lost() {
    if (events_.systemLost) {
        events_.systemLost();
    }
}
