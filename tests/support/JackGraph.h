#pragma once

// A plain JACK client on the tests' server (JACK_DEFAULT_SERVER) for looking at the graph:
// which ports and clients exist and what is connected to what.
//
// Threading: one thread at a time.

#include <chrono>
#include <string>
#include <vector>

struct _jack_client;

namespace quorvel_test {

class JackGraph {
public:
    // Throws std::runtime_error when the server does not answer.
    JackGraph();
    ~JackGraph();
    JackGraph(const JackGraph&) = delete;
    JackGraph& operator=(const JackGraph&) = delete;

    // A client name for `role` that no test on another server uses: libjack names a client's
    // socket in /dev/shm after the client alone, so clients of the same name that open at once
    // on two servers (test runs of two build folders) take each other's socket and fail.
    static std::string privateClientName(const std::string& role);

    // Full names of the ports whose name matches the regular expression.
    std::vector<std::string> ports(const std::string& pattern) const;
    std::vector<std::string> connections(const std::string& port) const;
    bool hasClient(const std::string& name) const;

    // Waits (bounded) until the server has run `cycles` complete process cycles after this
    // call, so that every client has handed on what was queued for it before.
    bool waitForCycles(unsigned cycles, std::chrono::milliseconds timeout) const;
    // Waits (bounded) until the server has processed at least `span` of audio after this call.
    bool waitForAudio(std::chrono::milliseconds span, std::chrono::milliseconds timeout) const;

    // Connect and disconnect two ports by their full names; true when the server agreed.
    bool connect(const std::string& source, const std::string& destination) const;
    bool disconnect(const std::string& source, const std::string& destination) const;

private:
    _jack_client* client_;
};

} // namespace quorvel_test
