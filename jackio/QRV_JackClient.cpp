#include "QRV_JackClient.h"

#include "QRV_JackError.h"

#include <cerrno>
#include <chrono>
#include <jack/jack.h>

namespace {

using namespace std::chrono_literals;

// The reader looks at stop and loss this often even when nothing wakes it.
constexpr auto kReaderTimeout = 100ms;
// A source that was disconnected is silent once this many cycles started after the change.
constexpr std::uint64_t kSettleCycles = 2;
constexpr auto kSettleTimeout = 250ms;

// libjack reports a missing server on stderr before the caller can say it in its own words.
class QuietJackErrors {
public:
    QuietJackErrors()
        : error_(jack_error_callback) {
        jack_set_error_function([](const char*) {});
    }
    ~QuietJackErrors() { jack_set_error_function(error_); }
    QuietJackErrors(const QuietJackErrors&) = delete;
    QuietJackErrors& operator=(const QuietJackErrors&) = delete;

private:
    void (*error_)(const char*);
};

[[noreturn]] void fail(QRV_JackError::Kind kind, const std::string& message) {
    throw QRV_JackError(kind, message);
}

} // namespace

QRV_JackClient::QRV_JackClient(const std::string& clientName, const std::string& portName,
                               const char* portType)
    : portType_(portType) {
    {
        const QuietJackErrors quiet;
        jack_status_t status{};
        client_ = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
    }
    if (client_ == nullptr) {
        fail(QRV_JackError::Kind::NoServer, "no JACK server is running");
    }
    port_ = jack_port_register(client_, portName.c_str(), portType, JackPortIsInput, 0);
    if (port_ == nullptr) {
        close();
        fail(QRV_JackError::Kind::Refused, "the JACK server refused an input port");
    }
    sampleRate_ = jack_get_sample_rate(client_);
}

QRV_JackClient::~QRV_JackClient() {
    close();
}

void QRV_JackClient::activate(Handler& handler) {
    start(handler);
    try {
        resume();
    } catch (const QRV_JackError&) {
        close();
        throw;
    }
}

// Callbacks can only be set on an inactive client.
void QRV_JackClient::start(Handler& handler) {
    handler_ = &handler;
    jack_set_process_callback(client_, &QRV_JackClient::process, this);
    jack_set_port_registration_callback(client_, &QRV_JackClient::portRegistration, this);
    jack_set_port_rename_callback(client_, &QRV_JackClient::portRename, this);
    jack_on_info_shutdown(client_, &QRV_JackClient::shutdown, this);
    reader_ = std::jthread([this](const std::stop_token& stop) { readerLoop(stop); });
}

void QRV_JackClient::resume() {
    if (active_) {
        return;
    }
    if (lost_.load() || client_ == nullptr) {
        fail(QRV_JackError::Kind::NoServer, "the JACK server has stopped");
    }
    if (jack_activate(client_) != 0) {
        fail(QRV_JackError::Kind::Refused, "the JACK server would not run the input");
    }
    active_ = true;
}

void QRV_JackClient::pause() {
    if (!active_ || lost_.load() || client_ == nullptr) {
        return;
    }
    disconnect();
    jack_deactivate(client_);
    active_ = false;
}

// Deactivate before close; stop the reader only once JACK can no longer wake it.
void QRV_JackClient::close() {
    if (client_ != nullptr) {
        if (!lost_.load() && active_) {
            jack_deactivate(client_);
        }
        active_ = false;
        jack_client_close(client_);
        client_ = nullptr;
        port_ = nullptr;
    }
    if (reader_.joinable()) {
        reader_.request_stop();
        wake_.signal();
        reader_.join();
    }
}

std::vector<std::string> QRV_JackClient::sourceNames() const {
    std::vector<std::string> names;
    if (lost_.load() || client_ == nullptr) {
        return names;
    }
    const char** ports = jack_get_ports(client_, nullptr, portType_, JackPortIsOutput);
    for (const char** port = ports; port != nullptr && *port != nullptr; ++port) {
        names.emplace_back(*port);
    }
    jack_free(static_cast<void*>(ports));
    return names;
}

void QRV_JackClient::connect(const std::string& source) {
    if (lost_.load() || client_ == nullptr) {
        fail(QRV_JackError::Kind::NoServer, "the JACK server has stopped");
    }
    jack_port_t* port = jack_port_by_name(client_, source.c_str());
    if (port == nullptr || (jack_port_flags(port) & JackPortIsOutput) == 0) {
        fail(QRV_JackError::Kind::SourceGone, "the source is no longer there");
    }
    const int error = jack_connect(client_, source.c_str(), jack_port_name(port_));
    if (error != 0 && error != EEXIST) {
        fail(QRV_JackError::Kind::ConnectFailed, "JACK could not connect the source");
    }
}

bool QRV_JackClient::disconnect() {
    if (lost_.load() || client_ == nullptr || jack_port_connected(port_) <= 0) {
        return false;
    }
    jack_port_disconnect(client_, port_);
    waitForCycles(kSettleCycles);
    return true;
}

void QRV_JackClient::waitForCycles(std::uint64_t count) {
    const std::uint64_t target = cycles() + count;
    const auto deadline = std::chrono::steady_clock::now() + kSettleTimeout;
    while (cycles() < target && !lost_.load() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
}

// ---- JACK's threads ----

int QRV_JackClient::process(jack_nframes_t frames, void* self) {
    auto* client = static_cast<QRV_JackClient*>(self);
    client->handler_->process(frames);
    client->cycles_.fetch_add(1, std::memory_order_release);
    return 0;
}

void QRV_JackClient::noteSourcesChanged() {
    sourcesChanged_.store(true);
    wake_.signal();
}

void QRV_JackClient::portRegistration(jack_port_id_t, int, void* self) {
    static_cast<QRV_JackClient*>(self)->noteSourcesChanged();
}

void QRV_JackClient::portRename(jack_port_id_t, const char*, const char*, void* self) {
    static_cast<QRV_JackClient*>(self)->noteSourcesChanged();
}

void QRV_JackClient::shutdown(jack_status_t, const char*, void* self) {
    auto* client = static_cast<QRV_JackClient*>(self);
    client->lost_.store(true);
    client->wake_.signal();
}

// ---- The reader thread ----

void QRV_JackClient::readerLoop(const std::stop_token& stop) {
    bool reportedLoss = false;
    while (!stop.stop_requested()) {
        wake_.wait(kReaderTimeout);
        handler_->drain();
        if (sourcesChanged_.exchange(false)) {
            handler_->sourcesChanged();
        }
        if (lost_.load() && !reportedLoss) {
            reportedLoss = true;
            handler_->lost();
        }
    }
}
