#include "sim_child.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace simtest {

namespace fs = std::filesystem;

SimChild::SimChild(const std::string& device_text) {
    char templ[] = "/tmp/tevronsim-test-XXXXXX";
    if (!mkdtemp(templ)) throw std::runtime_error("mkdtemp failed");
    dir_ = templ;
    std::ofstream(dir_ + "/devices.ini") << device_text;
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
        // A test killed by its timeout must not leave the simulator holding its ports.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        std::string devices = dir_ + "/devices.ini", log = dir_ + "/requests.jsonl";
        execl(TEVRONSIM_PATH, "tevronsim", "--devices", devices.c_str(), "--log", log.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    to_child_ = in[1];
    from_child_ = out[0];
    for (;;) {
        // The device lines come once every listener is bound, which for thousands of devices
        // takes the system seconds.
        std::string line = read_line(30000);
        if (line == "ready") break;
        if (line.rfind("device ", 0) == 0) {
            // device NAME MODEL ROLE HOST:PORT unit N
            auto name_end = line.find(' ', 7);
            std::string name = line.substr(7, name_end - 7);
            auto unit = line.rfind(" unit ");
            auto colon = line.rfind(':', unit);
            ports_[name] = std::stoi(line.substr(colon + 1, unit - colon - 1));
        }
    }
}

SimChild::~SimChild() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    if (to_child_ >= 0) close(to_child_);
    if (from_child_ >= 0) close(from_child_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

std::string SimChild::read_line(int timeout_ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        auto nl = pending_.find('\n');
        if (nl != std::string::npos) {
            std::string line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            return line;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        pollfd p{from_child_, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0)
            throw std::runtime_error("tevronsim did not answer");
        char buf[4096];
        ssize_t n = read(from_child_, buf, sizeof buf);
        if (n <= 0) throw std::runtime_error("tevronsim ended");
        pending_.append(buf, static_cast<size_t>(n));
    }
}

std::vector<std::string> SimChild::command(const std::string& line) {
    std::string text = line + "\n";
    if (write(to_child_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw std::runtime_error("cannot write to tevronsim");
    std::vector<std::string> out;
    for (;;) {
        std::string reply = read_line(5000);
        if (reply == "ok") return out;
        if (reply.rfind("error:", 0) == 0) throw std::runtime_error(line + ": " + reply);
        out.push_back(reply);
    }
}

size_t SimChild::connections(const std::string& device) {
    const std::string line = command("show " + device).at(0);
    const size_t at = line.find(" connections ");
    return at == std::string::npos ? 0 : std::stoul(line.substr(at + 13));
}

std::vector<std::string> SimChild::log_lines() const {
    std::ifstream in(dir_ + "/requests.jsonl");
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

double SimChild::cpu_seconds() const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    std::string stat;
    std::getline(in, stat);
    // The command name in parentheses may hold spaces; the fields count from its end.
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string skip;
    for (int field = 3; field < 14; ++field)
        fields >> skip;
    long long utime = 0, stime = 0;
    if (!(fields >> utime >> stime)) return -1;
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

int free_port(bool ipv6) {
    int fd = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    sockaddr_storage ss{};
    socklen_t len;
    if (ipv6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&ss);
        a->sin6_family = AF_INET6;
        a->sin6_addr = in6addr_loopback;
        len = sizeof *a;
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&ss);
        a->sin_family = AF_INET;
        a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        len = sizeof *a;
    }
    bind(fd, reinterpret_cast<sockaddr*>(&ss), len);
    getsockname(fd, reinterpret_cast<sockaddr*>(&ss), &len);
    int port = ipv6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&ss)->sin6_port)
                    : ntohs(reinterpret_cast<sockaddr_in*>(&ss)->sin_port);
    close(fd);
    return port;
}

long json_number(const std::string& line, const std::string& name) {
    auto at = line.find("\"" + name + "\":");
    if (at == std::string::npos) return -1;
    return std::strtol(line.c_str() + at + name.size() + 3, nullptr, 10);
}

std::string json_text(const std::string& line, const std::string& name) {
    auto at = line.find("\"" + name + "\":\"");
    if (at == std::string::npos) return "";
    auto start = at + name.size() + 4;
    return line.substr(start, line.find('"', start) - start);
}

} // namespace simtest
