#include "JackServer.h"

#include <csignal>
#include <fcntl.h>
#include <jack/jack.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace mtcgen {

namespace {

using namespace std::chrono_literals;

jack_client_t* openProbe(const std::string& name) {
    // libjack names a client's socket in /dev/shm after the client, not its server: probes of
    // two servers with one name, opening at once, would take each other's socket.
    const std::string client = ("quorvel-probe-" + name).substr(0, 60);
    jack_status_t status{};
    const auto options = static_cast<jack_options_t>(JackNoStartServer | JackServerName);
    return jack_client_open(client.c_str(), options, &status, name.c_str());
}

// Silences libjack's error and information messages for the life of the object.
class QuietJackErrors {
public:
    QuietJackErrors()
        : error_(jack_error_callback)
        , info_(jack_info_callback) {
        jack_set_error_function([](const char*) {});
        jack_set_info_function([](const char*) {});
    }
    ~QuietJackErrors() {
        jack_set_error_function(error_);
        jack_set_info_function(info_);
    }
    QuietJackErrors(const QuietJackErrors&) = delete;
    QuietJackErrors& operator=(const QuietJackErrors&) = delete;

private:
    void (*error_)(const char*);
    void (*info_)(const char*);
};

pid_t spawnJackd(const std::string& name, unsigned period) {
    const std::string periodText = std::to_string(period);
    std::vector<std::string> args = {"jackd", "-n", name, "-d", "dummy", "-p", periodText};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, "jackd", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw std::runtime_error("cannot start jackd (is jackd2 installed?)");
    }
    return pid;
}

} // namespace

JackServer::JackServer(std::string name, unsigned period)
    : name_(std::move(name))
    , period_(period) {}

JackServer::~JackServer() {
    stop();
}

void JackServer::start(std::chrono::milliseconds timeout) {
    // libjack reports every refused probe on stderr; while the server comes up that is noise.
    const QuietJackErrors quiet;
    if (answers(name_)) {
        throw std::runtime_error("a JACK server named " + name_ + " is already running");
    }
    pid_ = spawnJackd(name_, period_);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (exited()) {
            throw std::runtime_error("jackd " + name_ + " exited during start-up");
        }
        if (answers(name_)) {
            return;
        }
        std::this_thread::sleep_for(50ms);
    }
    stop();
    throw std::runtime_error("jackd " + name_ + " did not answer in time");
}

bool JackServer::exited() {
    if (pid_ <= 0) {
        return true;
    }
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return true;
    }
    return false;
}

void JackServer::stop() {
    if (exited()) {
        return;
    }
    kill(pid_, SIGTERM);
    for (int i = 0; i < 100 && !exited(); ++i) {
        std::this_thread::sleep_for(50ms);
    }
    if (!exited()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

bool JackServer::answers(const std::string& name) {
    jack_client_t* client = openProbe(name);
    if (client == nullptr) {
        return false;
    }
    jack_client_close(client);
    return true;
}

std::optional<JackServer::Timing> JackServer::timing(const std::string& name) {
    jack_client_t* client = openProbe(name);
    if (client == nullptr) {
        return std::nullopt;
    }
    const Timing result{jack_get_buffer_size(client), jack_get_sample_rate(client)};
    jack_client_close(client);
    return result;
}

} // namespace mtcgen
