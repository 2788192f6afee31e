#include "JackGraph.h"

#include <cstdint>
#include <cstdlib>
#include <jack/jack.h>
#include <stdexcept>
#include <thread>

namespace quorvel_test {

namespace {

std::vector<std::string> takeNames(const char** names) {
    std::vector<std::string> result;
    for (const char** name = names; name != nullptr && *name != nullptr; ++name) {
        result.emplace_back(*name);
    }
    jack_free(static_cast<void*>(names));
    return result;
}

} // namespace

JackGraph::JackGraph()
    : client_(jack_client_open(privateClientName("quorvel-graph").c_str(), JackNoStartServer,
                               nullptr)) {
    if (client_ == nullptr) {
        throw std::runtime_error("no JACK server (JACK_DEFAULT_SERVER)");
    }
}

JackGraph::~JackGraph() {
    jack_client_close(client_);
}

std::string JackGraph::privateClientName(const std::string& role) {
    const char* server = std::getenv("JACK_DEFAULT_SERVER");
    const std::string name = role + "-" + (server != nullptr ? server : "default");
    return name.substr(0, static_cast<std::size_t>(jack_client_name_size()) - 4); // room for -01
}

std::vector<std::string> JackGraph::ports(const std::string& pattern) const {
    return takeNames(jack_get_ports(client_, pattern.c_str(), nullptr, 0));
}

std::vector<std::string> JackGraph::connections(const std::string& port) const {
    jack_port_t* handle = jack_port_by_name(client_, port.c_str());
    if (handle == nullptr) {
        return {};
    }
    return takeNames(jack_port_get_all_connections(client_, handle));
}

bool JackGraph::hasClient(const std::string& name) const {
    char* uuid = jack_get_uuid_for_client_name(client_, name.c_str());
    jack_free(uuid);
    return uuid != nullptr;
}

bool JackGraph::waitForCycles(unsigned cycles, std::chrono::milliseconds timeout) const {
    // A cycle that starts after the one in progress now is complete once the next one starts.
    const jack_nframes_t period = jack_get_buffer_size(client_);
    const jack_nframes_t start = jack_last_frame_time(client_);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (jack_last_frame_time(client_) - start < (cycles + 1) * period) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool JackGraph::waitForAudio(std::chrono::milliseconds span,
                             std::chrono::milliseconds timeout) const {
    const auto samples = static_cast<std::uint64_t>(jack_get_sample_rate(client_)) *
                         static_cast<std::uint64_t>(span.count()) / 1000;
    const jack_nframes_t period = jack_get_buffer_size(client_);
    return waitForCycles(static_cast<unsigned>((samples + period - 1) / period), timeout);
}

bool JackGraph::connect(const std::string& source, const std::string& destination) const {
    return jack_connect(client_, source.c_str(), destination.c_str()) == 0;
}

bool JackGraph::disconnect(const std::string& source, const std::string& destination) const {
    return jack_disconnect(client_, source.c_str(), destination.c_str()) == 0;
}

} // namespace quorvel_test
