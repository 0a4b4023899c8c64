#include "sim_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace nexolt::test {

bool SimProcess::start(const std::vector<std::string>& args) {
    int out[2], in[2];
    if (pipe(out) != 0 || pipe(in) != 0) return false;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(in[0], STDIN_FILENO); // kept open by the parent, so the simulator keeps running
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    close(in[0]);
    out_ = out[0];
    std::string pending;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{out_, POLLIN, 0};
        if (poll(&p, 1, 200) <= 0) continue;
        char buf[512];
        ssize_t n = read(out_, buf, sizeof buf);
        if (n <= 0) return false;
        pending.append(buf, size_t(n));
        for (size_t nl; (nl = pending.find('\n')) != std::string::npos; pending.erase(0, nl + 1)) {
            lines_.push_back(pending.substr(0, nl));
            if (lines_.back() == "ready") return true;
        }
    }
    return false;
}

void SimProcess::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    close(out_);
}

std::string SimProcess::line_starting(const std::string& prefix) const {
    for (const auto& line : lines_)
        if (line.rfind(prefix, 0) == 0) return line;
    return "";
}

} // namespace nexolt::test
