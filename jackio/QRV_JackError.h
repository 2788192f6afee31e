#pragma once

// What went wrong with JACK, in words a user can read, and what kind of failure it was, so a
// caller can turn it into its own error type (the MIDI input throws RtMidiError).

#include <stdexcept>
#include <string>

class QRV_JackError : public std::runtime_error {
public:
    enum class Kind {
        NoServer,      // no server answers, or it has stopped
        Refused,       // the server would not register a port or run the client
        SourceGone,    // the named source is not there (any more)
        ConnectFailed, // the source is there but could not be connected
    };

    QRV_JackError(Kind kind, const std::string& message)
        : std::runtime_error(message)
        , kind_(kind) {}

    Kind kind() const { return kind_; }

private:
    Kind kind_;
};
