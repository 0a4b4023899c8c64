#include "test_support.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace iomira::smtp::test {
namespace {

constexpr int kPeerIdleMs = 20000;

std::vector<char*> argvOf(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

bool waitReadable(int handle, int timeoutMs) {
    pollfd entry{handle, POLLIN, 0};
    int ready;
    while ((ready = poll(&entry, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    return ready > 0;
}

} // namespace

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "iomira-smtp-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

int runProgram(const std::vector<std::string>& args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv = argvOf(args);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

void makeCertificate(const std::filesystem::path& folder) {
    const int status = runProgram({OPENSSL_CLI, "req", "-x509", "-newkey", "ec", "-pkeyopt",
                                   "ec_paramgen_curve:prime256v1", "-nodes", "-days", "1", "-subj",
                                   "/CN=localhost", "-keyout", (folder / "key.pem").string(),
                                   "-out", (folder / "cert.pem").string()});
    if (status != 0) throw std::runtime_error("openssl req failed");
}

PythonSmtpServer::PythonSmtpServer(const std::vector<std::string>& options) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<std::string> args = {"/usr/bin/python3", SMTP_TEST_SERVER, "--dir",
                                     dir_.path().string()};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv = argvOf(args);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    toChild_ = in[1];
    fromChild_ = out[0];
    if (spawned != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start the test SMTP server");
    }

    std::string announced;
    char c;
    while (announced.find('\n') == std::string::npos && waitReadable(fromChild_, kPeerIdleMs) &&
           ::read(fromChild_, &c, 1) == 1)
        announced += c;
    if (announced.rfind("PORT ", 0) != 0) {
        stop();
        throw std::runtime_error("test SMTP server did not start");
    }
    port_ = static_cast<uint16_t>(std::stoi(announced.substr(5)));
}

PythonSmtpServer::~PythonSmtpServer() {
    stop();
}

// Closing its input ends the server; one that does not end within five seconds is killed.
void PythonSmtpServer::stop() {
    if (pid_ < 0) return;
    ::close(toChild_);
    int status = 0;
    for (int i = 0; i < 100 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
        poll(nullptr, 0, 50);
    if (waitpid(pid_, &status, WNOHANG) == 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    ::close(fromChild_);
    pid_ = -1;
}

std::vector<std::string> PythonSmtpServer::events() const {
    return readLines(dir_.path() / "events.log");
}

std::string PythonSmtpServer::message(int n) const {
    return readFile(dir_.path() / ("message-" + std::to_string(n) + ".eml"));
}

Peer::~Peer() {
    close();
}

bool Peer::send(std::string_view text) const {
    while (!text.empty()) {
        const ssize_t sent = ::send(handle_, text.data(), text.size(), MSG_NOSIGNAL);
        if (sent <= 0) return false;
        text.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

std::string Peer::readUntil(std::string_view terminator) {
    char buffer[4096];
    size_t end;
    while ((end = pending_.find(terminator)) == std::string::npos) {
        if (!waitReadable(handle_, kPeerIdleMs)) break;
        const ssize_t got = ::recv(handle_, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        pending_.append(buffer, static_cast<size_t>(got));
    }
    const size_t take = end == std::string::npos ? pending_.size() : end + terminator.size();
    std::string line = pending_.substr(0, take);
    pending_.erase(0, take);
    return line;
}

std::string Peer::readToEnd(bool& closed, std::chrono::milliseconds limit) {
    std::string all;
    all.swap(pending_);
    char buffer[4096];
    closed = false;
    while (waitReadable(handle_, static_cast<int>(limit.count()))) {
        const ssize_t got = ::recv(handle_, buffer, sizeof buffer, 0);
        if (got <= 0) {
            closed = true;
            break;
        }
        all.append(buffer, static_cast<size_t>(got));
    }
    return all;
}

void Peer::close() {
    if (handle_ >= 0) ::close(handle_);
    handle_ = -1;
}

void Peer::reset() {
    const linger abort{1, 0};
    setsockopt(handle_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    close();
}

ScriptedServer::ScriptedServer(Script script) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 1) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on loopback");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, script = std::move(script)] {
        if (!waitReadable(listener_, kPeerIdleMs)) return;
        const int handle = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (handle < 0) return;
        Peer peer(handle);
        script(peer);
    });
}

ScriptedServer::~ScriptedServer() {
    join();
    ::close(listener_);
}

void ScriptedServer::join() {
    if (thread_.joinable()) thread_.join();
}

int openDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

} // namespace iomira::smtp::test
