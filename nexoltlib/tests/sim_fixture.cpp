#include "sim_fixture.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

namespace nexolt::test {

namespace fs = std::filesystem;

void SimFixture::SetUp() {
    dir = fs::temp_directory_path() / ("nexolt_ops_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "devices.ini")
        << "[hall]\nmodel = TKA-31\nlisten = 127.0.0.1:0\noutput_base = 8\n"
           "[gate]\nmodel = TKA-33\nlisten = 127.0.0.1:0\noutput_base = 2\n"
           "[yard]\nmodel = TKA-35\nlisten = 127.0.0.1:0\noutput_base = 4\n";
    std::ofstream(dir / "management.ini") << "[management]\nlisten = 127.0.0.1:0\n"
                                             "[hall]\nmac = 00:30:F9:AA:00:01\nencipher = 1\n"
                                             "address = 10.1.0.1/8\n"
                                             "[gate]\nmac = 00:30:F9:AA:00:02\n"
                                             "fragment_size = 1428\naddress = 10.1.0.2/8\n"
                                             "[yard]\nmac = 00:30:F9:AA:00:03\n"
                                             "password = yard1234\naddress = 10.1.0.3/8\n";
    ASSERT_TRUE(
        sim.start({TEVRONSIM_PATH, "--devices", (dir / "devices.ini").string(), "--management",
                   (dir / "management.ini").string(), "--log", (dir / "requests.log").string()}));
    std::string line = sim.line_starting("management ");
    ASSERT_EQ(std::sscanf(line.c_str(), "management 127.0.0.1:%hu", &port), 1) << line;
    std::string hall = sim.line_starting("device hall ");
    ASSERT_EQ(std::sscanf(hall.c_str(), "device hall TKA-31 server 127.0.0.1:%hu", &hall_port), 1);
    Start_Library(64);
    search();
}

void SimFixture::TearDown() {
    End_Library();
    sim.stop();
    fs::remove_all(dir);
}

void SimFixture::search() {
    found.assign(16, lib_env{});
    int count = 0, error = 0;
    ASSERT_EQ(Nexolt_Search2(1, kLoopback, found.data(), &count, &error, 500, port, 0, 16), 1)
        << error;
    found.resize(size_t(count));
}

lib_env SimFixture::found_record(const uint8_t* mac) const {
    for (const auto& env : found)
        if (std::memcmp(env.mac, mac, 6) == 0) return env;
    ADD_FAILURE() << "device not found";
    return lib_env{};
}

std::vector<std::string> SimFixture::logged(int command) const {
    std::ifstream in(dir / "requests.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (json_number(line, "command") == command) lines.push_back(line);
    return lines;
}

std::vector<std::string> SimFixture::logged_at_least(int command, size_t count) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    std::vector<std::string> lines = logged(command);
    while (lines.size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        lines = logged(command);
    }
    return lines;
}

long json_number(const std::string& line, const std::string& name) {
    std::string key = "\"" + name + "\":";
    size_t at = line.find(key);
    if (at == std::string::npos) return -1;
    return std::strtol(line.c_str() + at + key.size(), nullptr, 10);
}

} // namespace nexolt::test
