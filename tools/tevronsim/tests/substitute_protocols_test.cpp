// One simulated device is the same device to every library: a TKA controller answers
// NexoltLib with its real Modbus/TCP settings, a TKB-11 answers tkb11lib on the same port,
// an RLX answers Kestrel, and none answers another's protocol. Runs in a network namespace
// of its own: the libraries and the demo take their fixed ports.
#include "tkb11_frames.h"
#include "udp_peer.h"

#include "nexoltlib/nexoltlib.h"
#include "tkb11lib/tkb11lib.h"

#include "sim_process.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using discovery::test::Bytes;
using discovery::test::hex;

const uint32_t kLoopback = htonl(INADDR_LOOPBACK);

uint32_t ip(const char* text) {
    return inet_addr(text);
}

// The simulator's default address for the device libraries: one beside NexoltLib's sockets
// on every address.
const uint32_t kSim = ip("127.0.0.2");

// Sends request to address:port and returns the first answer (empty after a second).
Bytes exchange(uint32_t address, uint16_t port, const Bytes& request) {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    to.sin_port = htons(port);
    sendto(fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    Bytes answer(2048);
    pollfd p{fd, POLLIN, 0};
    ssize_t n = poll(&p, 1, 1000) == 1 ? recv(fd, answer.data(), answer.size(), 0) : -1;
    close(fd);
    answer.resize(n > 0 ? size_t(n) : 0);
    return answer;
}

Bytes slice(const Bytes& b, size_t at, size_t n) {
    return at + n <= b.size() ? Bytes(b.begin() + long(at), b.begin() + long(at + n)) : Bytes{};
}

std::string text_at(const Bytes& b, size_t at, size_t n) {
    std::string s(reinterpret_cast<const char*>(b.data()) + at, n);
    return s.substr(0, s.find('\0'));
}

uint16_t port_of(const nexolt::test::SimProcess& sim, const std::string& device) {
    std::string line = sim.line_starting("device " + device + " ");
    return uint16_t(std::stoi(line.substr(line.rfind(':') + 1)));
}

class SameDevice : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("substitute_sim_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "devices.ini")
            << "[press]\nmodel = TKA-35\nlisten = 127.0.0.2:0\nunit_id = 7\ninput_base = 100\n"
               "output_base = 200\ninput_names = Door, Window, , Smoke\noutput_names = Siren\n"
               "[gate]\nmodel = TKB-11\nlisten = 127.0.0.2:0\nunit_id = 4\ninput_base = 16\n"
               "output_base = 32\ninput_names = Gate open\noutput_names = Horn\n"
               "[boiler]\nmodel = RLX-850\nlisten = 127.0.0.2:0\n";
        std::ofstream(dir / "management.ini")
            << "[press]\nmac = 00:30:F9:AA:00:01\ncomment = Press\n"
               "[gate]\nmac = 02:00:00:00:00:0B\ncomment = North gate\n"
               "[boiler]\nmac = 02:00:00:00:01:05\ncomment = Boiler room\n";
        ASSERT_TRUE(sim.start({TEVRONSIM_PATH, "--devices", (dir / "devices.ini").string(),
                               "--management", (dir / "management.ini").string(), "--log",
                               (dir / "requests.log").string()}));
        EXPECT_EQ(sim.line_starting("kestrel "), "kestrel 127.0.0.2:50020");
        Start_Library(64);
    }
    void TearDown() override {
        End_Library();
        sim.stop();
        fs::remove_all(dir);
    }
    std::string log() const {
        std::ifstream in(dir / "requests.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir;
    nexolt::test::SimProcess sim;
};

TEST_F(SameDevice, Tkb11SearchByAddressFindsOnlyTheTkb11WithItsSettings) {
    std::vector<tkb11_record> records(TKB11_MAX_RECORDS);
    int count = 0, error = -1;
    ASSERT_EQ(TKB11_Search(1, kSim, records.data(), &count, &error, TKB11_PORT, 0), 1);
    ASSERT_EQ(count, 1);
    const tkb11_record& r = records[0];
    EXPECT_EQ(r.ip_address, kSim);
    EXPECT_EQ(Bytes(r.mac, r.mac + 6), hex("02 00 00 00 00 0B"));
    EXPECT_EQ(r.mode, 0);
    EXPECT_EQ(r.client_port, port_of(sim, "gate"));
    EXPECT_EQ(r.unit_id, 4);
    EXPECT_EQ(r.input_address, 16);
    EXPECT_EQ(r.output_address, 32);
    EXPECT_STREQ(r.comment, "North gate");
    EXPECT_STREQ(r.input_name, "Gate open");
    EXPECT_STREQ(r.output_name, "Horn");
    EXPECT_NE(log().find("\"device\":\"gate\",\"library\":\"tkb11\",\"opcode\":1"),
              std::string::npos);
}

TEST_F(SameDevice, Tkb11ReadByAddressGivesTheSameRecord) {
    tkb11_record record{};
    int error = -1;
    ASSERT_EQ(TKB11_Read(1, nullptr, kSim, &record, &error, TKB11_PORT, 0), 1) << error;
    EXPECT_EQ(record.client_port, port_of(sim, "gate"));
    EXPECT_STREQ(record.comment, "North gate");
}

TEST_F(SameDevice, NexoltSearchFindsOnlyTheTkaWithItsModbusSettings) {
    std::vector<lib_env> found(16);
    int count = 0, error = 0;
    ASSERT_EQ(Nexolt_Search2(1, kSim, found.data(), &count, &error, 500, NEXOLT_PORT_A, 0, 16), 1)
        << error;
    ASSERT_EQ(count, 1);
    const lib_env& env = found[0];
    EXPECT_EQ(env.product_id, 34); // TKA-35
    EXPECT_EQ(env.device_address, kSim);
    EXPECT_STREQ(env.comment, "Press");
    EXPECT_EQ(env.io.settings.peer_port, port_of(sim, "press"));
    EXPECT_EQ(env.io.settings.slave_id, 7);
    EXPECT_EQ(env.io.settings.input_addr, 100);
    EXPECT_EQ(env.io.settings.output_addr, 200);
    EXPECT_EQ(env.io.settings.flags & NEXOLT_IO_ACTIVE, 0u);
    EXPECT_EQ(env.io.input_count, 4);
    EXPECT_EQ(env.io.output_count, 4);
    const char* inputs[] = {"Door", "Window", "DI2", "Smoke"};
    const char* outputs[] = {"Siren", "DO1", "DO2", "DO3"};
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(std::string(env.io.input_description[n]), inputs[n]);
        EXPECT_EQ(std::string(env.io.output_description[n]), outputs[n]);
    }
}

TEST_F(SameDevice, KestrelSearchAndSettingsAnswersByHand) {
    Bytes found = exchange(kSim, 50020, hex("4B 53 54 4C 01 01 00 07 04 12 0 0 0 0 0 0"));
    ASSERT_EQ(found.size(), 100u);
    EXPECT_EQ(slice(found, 0, 10), hex("4B 53 54 4C 01 81 00 07 00 00"));
    EXPECT_EQ(slice(found, 10, 6), hex("02 00 00 00 01 05"));
    EXPECT_EQ(slice(found, 16, 4), hex("7F 00 00 02"));
    EXPECT_EQ(text_at(found, 20, 16), "RLX-850");
    EXPECT_EQ(text_at(found, 36, 64), "Boiler room");

    Bytes settings = exchange(kSim, 50020, hex("4B 53 54 4C 01 02 00 08 0 0 02 0 0 0 01 05"));
    ASSERT_EQ(settings.size(), 92u);
    EXPECT_EQ(slice(settings, 0, 16), hex("4B 53 54 4C 01 82 00 08 00 00 02 00 00 00 01 05"));
    EXPECT_EQ(slice(settings, 20, 4), hex("7F 00 00 02"));
    uint16_t port = port_of(sim, "boiler");
    EXPECT_EQ(slice(settings, 24, 4), Bytes({uint8_t(port >> 8), uint8_t(port), 255, 0}));
    EXPECT_EQ(text_at(settings, 28, 64), "Boiler room");
}

TEST_F(SameDevice, KestrelSettingsOfAnotherEuiGoUnanswered) {
    EXPECT_TRUE(exchange(kSim, 50020, hex("4B 53 54 4C 01 02 00 09 0 0 02 0 0 0 01 06")).empty());
}

// NexoltLib takes an answer of the other protocol on its port for no answer at all.
TEST(SharedPort, NexoltLibIgnoresTkb11Answers) {
    discovery::test::UdpPeer device(kLoopback, 0, [](const Bytes& request) {
        return std::vector<Bytes>{
            tkb11::test::tkb11_answer(0x82),
            discovery::test::with_sequence_of(request, tkb11::test::tkb11_answer(0x81))};
    });
    ASSERT_TRUE(device.ok());
    Start_Library(64);
    lib_env env{};
    int error = 0;
    EXPECT_EQ(Nexolt_Read2(1, nullptr, kLoopback, &env, &error, 300, device.port(), 0, 16), -1);
    EXPECT_EQ(error, NEXOLT_ERR_NO_REPLY);
    EXPECT_GT(device.requests(), 0);
    End_Library();
}

// The demo: every device on an address of its own, found there by address alone.
class Demo : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sim.start({TEVRONSIM_PATH, "--demo"}));
        Start_Library(64);
    }
    void TearDown() override {
        End_Library();
        sim.stop();
    }
    nexolt::test::SimProcess sim;
};

TEST_F(Demo, EveryDeviceListensOnItsOwnAddress) {
    EXPECT_EQ(sim.line_starting("device tka-31 "),
              "device tka-31 TKA-31 server 127.0.0.2:15020 unit 1");
    EXPECT_EQ(sim.line_starting("device tka-35 "),
              "device tka-35 TKA-35 server 127.0.0.5:15023 unit 1");
    EXPECT_EQ(sim.line_starting("management 127.0.0.5:"),
              "management 127.0.0.5:50005 127.0.0.5:50007");
}

TEST_F(Demo, NexoltReadByAddressFindsExactlyThatController) {
    lib_env env{};
    int error = 0;
    ASSERT_EQ(Nexolt_Read2(1, nullptr, ip("127.0.0.5"), &env, &error, 500, NEXOLT_PORT_A, 0, 16), 1)
        << error;
    EXPECT_EQ(env.product_id, 34); // TKA-35
    EXPECT_EQ(env.device_address, ip("127.0.0.5"));
    EXPECT_EQ(env.ip4_address, ip("127.0.0.5"));
    EXPECT_EQ(env.io.settings.peer_port, 15023);
    EXPECT_STREQ(env.comment, "tka-35");
}

TEST_F(Demo, Tkb11ReadByAddressFindsTheTkb11) {
    tkb11_record record{};
    int error = 0;
    ASSERT_EQ(TKB11_Read(1, nullptr, ip("127.0.0.9"), &record, &error, TKB11_PORT, 0), 1) << error;
    EXPECT_EQ(record.ip_address, ip("127.0.0.9"));
    EXPECT_EQ(record.client_port, 15027);
    EXPECT_STREQ(record.comment, "tkb-11");
    // The TKA controllers beside it keep to their own protocol.
    std::vector<tkb11_record> records(TKB11_MAX_RECORDS);
    int count = -1;
    ASSERT_EQ(TKB11_Search(1, ip("127.0.0.5"), records.data(), &count, &error, TKB11_PORT, 0), 1);
    EXPECT_EQ(count, 0);
}

TEST_F(Demo, KestrelAnswersOnTheRlxAddress) {
    Bytes found =
        exchange(ip("127.0.0.10"), 50020, hex("4B 53 54 4C 01 01 00 01 00 00 0 0 0 0 0 0"));
    ASSERT_EQ(found.size(), 100u);
    EXPECT_EQ(slice(found, 16, 4), hex("7F 00 00 0A"));
    EXPECT_EQ(text_at(found, 20, 16), "RLX-810");
}

} // namespace
