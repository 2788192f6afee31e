#include "QRV_TimedLtcSource.h"

#include "QRV_LtcEncoder.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr double kLevelDbfs = -18.0;

std::uint32_t packed(const TimeCodeTime& t) {
    return static_cast<std::uint32_t>(t.hours) << 24 | static_cast<std::uint32_t>(t.minutes) << 16 |
           static_cast<std::uint32_t>(t.seconds) << 8 | t.frames;
}

} // namespace

void QRV_TimedLtcSource::ClientClose::operator()(jack_client_t* client) const {
    jack_deactivate(client);
    jack_client_close(client);
}

QRV_TimedLtcSource::QRV_TimedLtcSource(const std::string& client, const std::string& port,
                                       std::int32_t rateCode, const TimeCodeTime& from,
                                       std::size_t frames) {
    jack_status_t status{};
    client_.reset(jack_client_open(client.c_str(), JackNoStartServer, &status));
    if (!client_) {
        throw std::runtime_error("cannot open the JACK client '" + client + "'");
    }
    port_ = jack_port_register(client_.get(), port.c_str(), JACK_DEFAULT_AUDIO_TYPE,
                               JackPortIsOutput, 0);
    if (port_ == nullptr) {
        throw std::runtime_error("cannot register the audio output port '" + port + "'");
    }
    portName_ = jack_port_name(port_);
    sampleRate_ = jack_get_sample_rate(client_.get());
    render(rateCode, from, frames);
    if (jack_set_process_callback(client_.get(), &QRV_TimedLtcSource::process, this) != 0 ||
        jack_set_xrun_callback(client_.get(), &QRV_TimedLtcSource::xrun, this) != 0 ||
        jack_activate(client_.get()) != 0) {
        throw std::runtime_error("cannot activate the JACK client '" + client + "'");
    }
}

QRV_TimedLtcSource::~QRV_TimedLtcSource() {
    client_.reset(); // no process callback runs on what follows
}

// The whole run up front, so that the process thread only copies.
void QRV_TimedLtcSource::render(std::int32_t rateCode, const TimeCodeTime& from,
                                std::size_t frames) {
    QRV_LtcEncoder encoder(sampleRate_, rateCode, kLevelDbfs);
    encoder.setTime(from);
    std::vector<float> piece;
    encoder.renderLeadIn(piece);
    run_ = piece;
    for (std::size_t i = 0; i < frames; ++i) {
        labels_.push_back(encoder.time());
        encoder.renderFrame(piece);
        run_.insert(run_.end(), piece.begin(), piece.end());
        frameEnds_.push_back(run_.size());
    }
    encoder.renderClosingEdge(piece);
    run_.insert(run_.end(), piece.begin(), piece.end());
    endTimes_.assign(frames, 0);
}

bool QRV_TimedLtcSource::finished() const {
    return played_.load(std::memory_order_acquire) == run_.size();
}

std::optional<std::size_t> QRV_TimedLtcSource::indexOf(const TimeCodeTime& label) const {
    const auto found = std::ranges::find(labels_, packed(label), packed);
    if (found == labels_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - labels_.begin());
}

QRV_TimedLtcSource::Clock::time_point QRV_TimedLtcSource::endOf(std::size_t index) const {
    return Clock::time_point(Clock::duration(endTimes_.at(index)));
}

int QRV_TimedLtcSource::process(jack_nframes_t frames, void* self) {
    auto& source = *static_cast<QRV_TimedLtcSource*>(self);
    source.fill(static_cast<float*>(jack_port_get_buffer(source.port_, frames)), frames);
    return 0;
}

int QRV_TimedLtcSource::xrun(void* self) {
    static_cast<QRV_TimedLtcSource*>(self)->xruns_.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

void QRV_TimedLtcSource::fill(float* buffer, std::size_t frames) {
    std::size_t n = 0;
    const std::size_t start = played_.load(std::memory_order_relaxed);
    if (playing_.load(std::memory_order_acquire)) {
        n = std::min(frames, run_.size() - start);
        std::copy_n(run_.begin() + static_cast<std::ptrdiff_t>(start), n, buffer);
    }
    std::fill(buffer + n, buffer + frames, 0.0f);
    if (n == 0) {
        return;
    }
    const std::size_t end = start + n;
    // Stamped as the callback ends: the buffer is complete from here on.
    const Clock::rep now = Clock::now().time_since_epoch().count();
    while (nextEnd_ < frameEnds_.size() && frameEnds_[nextEnd_] <= end) {
        endTimes_[nextEnd_++] = now;
    }
    played_.store(end, std::memory_order_release);
}
