// The test JACK server and the test peer.
#include "tests/support/JackTestServer.h"

#include <jack/midiport.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

using namespace std::chrono_literals;

void quiet(const char*) {}

bool serverAnswers(const std::string& name)
{
    jack_status_t status{};
    jack_client_t* client =
        jack_client_open("tonvera-test-wait", static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
                         name.c_str());
    if (!client)
        return false;
    jack_client_close(client);
    return true;
}

bool exited(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

// Takes the machine-wide lock of one server name, so that tests started at the same
// moment never both take a name: a server that answers under a name another test holds is
// not ours. The lock goes with the process, also when it dies without cleaning up.
int lockName(const std::string& name)
{
    // Always /tmp: tests may give themselves a TMPDIR of their own.
    const std::string path = "/tmp/" + name + "-" + std::to_string(getuid()) + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

// jackd1 keeps at most eight servers in a registry that reclaims the entry of a dead
// server only for a server of the same name: a few fixed names, tried in turn, never fill
// it, however many test runs were killed.
constexpr int kServerNames = 6;

JackTestServer::JackTestServer()
{
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    std::signal(SIGPIPE, SIG_IGN); // as the program does: libjack's threads can raise it
    // When every name is held by tests running beside this one, wait for one to end.
    const auto until = std::chrono::steady_clock::now() + 60s;
    while (!tryEveryName() && !running_ && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(50ms);
    if (running_)
        environment_.Set("JACK_DEFAULT_SERVER", name_.c_str());
}

// Tries each free name in turn; false when every name was held by another test.
bool JackTestServer::tryEveryName()
{
    bool anyFree = false;
    for (int slot = 0; slot < kServerNames && !running_; ++slot) {
        const std::string name = "tonvera-test-" + std::to_string(slot);
        const int lock = lockName(name);
        if (lock < 0)
            continue;
        anyFree = true;
        running_ = start(name, lock);
    }
    return anyFree;
}

// Starts jackd under this name, whose lock this test holds; false, and the lock given
// back, when a server left by someone else answers under it, or jackd ends (no jackd) or
// does not answer within a few seconds.
bool JackTestServer::start(const std::string& name, int lock)
{
    if (serverAnswers(name) || !launch(name)) {
        close(lock);
        return false;
    }
    lock_ = lock;
    return true;
}

bool JackTestServer::launch(const std::string& name)
{
    // No real-time scheduling (tests run unprivileged); a generous client timeout, as
    // clients under ThreadSanitizer are slow.
    std::vector<std::string> arguments = {"jackd", "--no-realtime", "--timeout", "5000", "--name", name,
                                          "-d", "dummy", "--rate", "48000", "--period", "64"};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    // jackd1 keeps its metadata database in the folder of the server that
    // JACK_DEFAULT_SERVER names; a server of another name without it crashes as soon as a
    // client leaves.
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable)
        if (std::string(*variable).rfind("JACK_DEFAULT_SERVER=", 0) != 0)
            variables.emplace_back(*variable);
    variables.push_back("JACK_DEFAULT_SERVER=" + name);
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        // The server goes with the test, also when the test dies without cleaning up.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvpe("jackd", argv.data(), envp.data());
        _exit(127);
    }
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < until) {
        if (exited(pid))
            return false;
        // Another live server of this name answers too; ours then ends at once.
        if (serverAnswers(name)) {
            std::this_thread::sleep_for(50ms);
            if (exited(pid))
                return false;
            name_ = name;
            pid_ = pid;
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return false;
}

// The name stays locked after Stop until the test ends: its clients must not find another
// test's server under it.
JackTestServer::~JackTestServer()
{
    Stop();
    if (lock_ >= 0)
        close(lock_);
}

void JackTestServer::Stop()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (!exited(pid_)) {
        if (std::chrono::steady_clock::now() > until) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    pid_ = -1;
    running_ = false;
}

JackTestPeer::JackTestPeer()
{
    jack_status_t status{};
    client_ = jack_client_open("tonvera-test-peer", JackNoStartServer, &status);
    if (!client_)
        return;
    in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(client_, &JackTestPeer::process, this);
    if (!in_ || !out_ || jack_activate(client_) != 0) {
        jack_client_close(client_);
        client_ = nullptr;
    }
}

JackTestPeer::~JackTestPeer()
{
    if (client_) {
        jack_deactivate(client_);
        jack_client_close(client_);
    }
}

std::string JackTestPeer::InName() const { return in_ ? jack_port_name(in_) : ""; }
std::string JackTestPeer::OutName() const { return out_ ? jack_port_name(out_) : ""; }

std::vector<std::string> JackTestPeer::WaitForPorts(const std::string& pattern, int timeoutMs, size_t minimum) const
{
    std::vector<std::string> names;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        names.clear();
        const char** ports = jack_get_ports(client_, pattern.c_str(), nullptr, 0);
        for (size_t i = 0; ports && ports[i]; ++i)
            names.emplace_back(ports[i]);
        if (ports)
            jack_free(ports);
        if (names.size() >= minimum)
            break;
        std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < until);
    return names;
}

bool JackTestPeer::Connect(const std::string& from, const std::string& to) const
{
    return jack_connect(client_, from.c_str(), to.c_str()) == 0;
}

bool JackTestPeer::Connected(const std::string& from, const std::string& to) const
{
    // jack_port_connected_to knows only this client's own ports.
    jack_port_t* port = jack_port_by_name(client_, from.c_str());
    if (!port)
        return false;
    bool found = false;
    const char** connections = jack_port_get_all_connections(client_, port);
    for (size_t i = 0; connections && connections[i]; ++i)
        found = found || to == connections[i];
    if (connections)
        jack_free(connections);
    return found;
}

std::vector<uint32_t> JackTestPeer::Received() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

bool JackTestPeer::WaitForReceived(size_t count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return received_.size() >= count; });
}

void JackTestPeer::Play(const std::vector<uint32_t>& messages)
{
    std::lock_guard<std::mutex> lock(mutex_);
    toSend_.insert(toSend_.end(), messages.begin(), messages.end());
}

// JACK's thread. A mutex in a process callback would be wrong in a real program; for a
// test peer on a dummy server it keeps the code plain.
int JackTestPeer::process(jack_nframes_t frames, void* self)
{
    auto* peer = static_cast<JackTestPeer*>(self);
    void* in = jack_port_get_buffer(peer->in_, frames);
    void* out = jack_port_get_buffer(peer->out_, frames);
    jack_midi_clear_buffer(out);
    std::lock_guard<std::mutex> lock(peer->mutex_);
    const jack_nframes_t events = jack_midi_get_event_count(in);
    for (jack_nframes_t i = 0; i < events; ++i) {
        jack_midi_event_t event{};
        if (jack_midi_event_get(&event, in, i) == 0 && event.size >= 1) {
            uint32_t packed = 0;
            for (size_t b = 0; b < event.size && b < 3; ++b)
                packed |= static_cast<uint32_t>(event.buffer[b]) << (8 * b);
            peer->received_.push_back(packed);
        }
    }
    if (events > 0)
        peer->arrived_.notify_all();
    jack_nframes_t time = 0;
    for (uint32_t message : peer->toSend_) {
        const int size = (message & 0xF0) == 0xC0 || (message & 0xF0) == 0xD0 ? 2 : 3;
        const unsigned char bytes[3] = {uint8_t(message), uint8_t(message >> 8), uint8_t(message >> 16)};
        jack_midi_event_write(out, std::min(time++, frames - 1), bytes, static_cast<size_t>(size));
    }
    peer->toSend_.clear();
    return 0;
}

#if defined(__SANITIZE_THREAD__)
// libjack and RtMidi are not built for ThreadSanitizer: their lock-free ring buffers pass
// MIDI between the sending thread and JACK's thread with atomics it cannot see, so it
// reports the buffers' copies as races. Qt is not either: the thread pool it draws and
// scales pictures with synchronises through futexes, so what Qt itself allocates, frees and
// copies is left out (the window's tests over JACK). Our own state stays checked.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libjack.so.0\n"
           "race:librtmidi.so.6\n"
           "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n";
}
#endif
