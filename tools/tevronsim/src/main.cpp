// tevronsim: plays the maker's I/O controllers on Modbus/TCP so that the program can be run
// and tested without hardware.

#include "commands.h"
#include "demo.h"
#include "device_file.h"
#include "device_management_responder.h"
#include "simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <list>
#include <string>

using namespace tevronsim;

namespace {

const char* const kUsage =
    "usage: tevronsim --devices FILE [--log FILE] [--management FILE]\n"
    "       tevronsim --demo [--demo-port PORT] [--log FILE] [--management FILE]\n"
    "Serves the devices of FILE (or one device of every model, on loopback ports from PORT,\n"
    "default 15020), prints a line per device and then \"ready\", and takes commands on\n"
    "standard input (\"help\" lists them). --log writes every request received as a JSON\n"
    "line to FILE (\"-\": standard output). --management FILE also answers the\n"
    "device-management protocol (TKA models), tkb11lib (TKB-11) and Kestrel (RLX models) as\n"
    "that file says; a device with answer_by_broadcast = 1 there replies to 255.255.255.255\n"
    "out of the interface the request came in on. In the demo every device has an address\n"
    "of its own, 127.0.0.2 and up, where it answers all three on ports 50005, 50007 and\n"
    "50020 (or the file's ports); --management then gives only the devices' settings.\n";

int signal_pipe[2] = {-1, -1};

void on_signal(int) {
    int saved = errno;
    char c = 1;
    [[maybe_unused]] auto n = ::write(signal_pipe[1], &c, 1);
    errno = saved;
}

struct Options {
    std::string devices;
    std::string log;
    std::string management;
    bool demo = false;
    long demo_port = kDemoFirstPort;
};

bool parse_options(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool has_value = i + 1 < argc;
        if (a == "--devices" && has_value) {
            o.devices = argv[++i];
        } else if (a == "--log" && has_value) {
            o.log = argv[++i];
        } else if (a == "--management" && has_value) {
            o.management = argv[++i];
        } else if (a == "--demo") {
            o.demo = true;
        } else if (a == "--demo-port" && has_value) {
            if (!parse_integer(argv[++i], 1, 65535 - 20, o.demo_port)) return false;
        } else {
            return false;
        }
    }
    return o.demo != !o.devices.empty();
}

// Reads command lines from standard input; at its end the simulator keeps running.
class CommandInput {
  public:
    explicit CommandInput(Simulator& sim) : sim_(sim) {
        sim_.loop().watch(STDIN_FILENO, POLLIN, [this](short) { read_some(); });
    }

  private:
    void read_some() {
        char buf[4096];
        ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
        if (n <= 0) {
            sim_.loop().unwatch(STDIN_FILENO);
            return;
        }
        pending_.append(buf, static_cast<std::size_t>(n));
        for (auto nl = pending_.find('\n'); nl != std::string::npos; nl = pending_.find('\n')) {
            std::string line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            CommandReply reply = run_command(sim_, line);
            if (!reply.text.empty()) std::printf("%s\n", reply.text.c_str());
            std::fflush(stdout);
            if (reply.quit) sim_.loop().stop();
        }
    }

    Simulator& sim_;
    std::string pending_;
};

// Every device listens on a descriptor of its own and holds one per client.
void allow_all_descriptors() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) std::perror("tevronsim: setrlimit");
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    allow_all_descriptors();
    std::vector<DeviceConfig> configs;
    std::string error;
    if (options.demo) {
        configs = demo_devices(static_cast<std::uint16_t>(options.demo_port));
    } else if (!load_device_file(options.devices, configs, error)) {
        std::fprintf(stderr, "tevronsim: %s\n", error.c_str());
        return 1;
    }

    RequestLog log;
    if (!options.log.empty()) {
        error = log.open(options.log);
        if (!error.empty()) {
            std::fprintf(stderr, "tevronsim: %s\n", error.c_str());
            return 1;
        }
    }

    ::signal(SIGPIPE, SIG_IGN);
    if (::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("tevronsim: pipe");
        return 1;
    }
    ::signal(SIGINT, on_signal);
    ::signal(SIGTERM, on_signal);

    EventLoop loop;
    loop.watch(signal_pipe[0], POLLIN, [&loop](short) { loop.stop(); });
    Simulator sim(loop, log);
    for (auto& c : configs)
        sim.add(std::move(c));
    error = sim.start();
    if (!error.empty()) {
        std::fprintf(stderr, "tevronsim: %s\n", error.c_str());
        return 1;
    }
    std::vector<std::string> names;
    for (const auto& h : sim.hosts())
        names.push_back(h->device().name());
    ManagementConfig config;
    bool configured = options.management.empty()
                          ? management_from_ini({}, names, config, error)
                          : load_management_file(options.management, names, config, error);
    std::vector<ManagementConfig> sites;
    if (configured && options.demo)
        sites = demo_sites(names, config);
    else if (configured && !options.management.empty())
        sites.push_back(std::move(config));
    // A list: the responders keep their place on the event loop.
    std::list<DeviceManagementResponder> management;
    for (auto& site : sites)
        if (error.empty()) error = management.emplace_back(sim, log, std::move(site)).start();
    if (!configured || !error.empty()) {
        std::fprintf(stderr, "tevronsim: %s\n", error.c_str());
        return 1;
    }
    for (const auto& h : sim.hosts())
        std::printf("%s\n", sim.device_line(*h).c_str());
    for (const auto& m : management)
        std::printf("%s\n%s\n", m.line().c_str(), m.kestrel_line().c_str());
    std::printf("ready\n");
    std::fflush(stdout);

    CommandInput input(sim);
    loop.run();
    return 0;
}
