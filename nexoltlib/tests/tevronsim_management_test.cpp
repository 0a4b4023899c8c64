// tevronsim answering the device-management protocol: a unicast search on loopback finds
// its generic controllers with their settings, enciphered and fragmented as configured.
#include "device_lists.h"
#include "frame.h"
#include "search.h"
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
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

class TevronsimManagement : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("nexolt_sim_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "devices.ini") << "[hall]\nmodel = TKA-31\nlisten = 127.0.0.1:0\n"
                                              "unit_id = 9\ninput_base = 100\noutput_base = 200\n"
                                              "[gate]\nmodel = TKA-33\nconnect = 127.0.0.1:9\n"
                                              "[boiler]\nmodel = RLX-850\nlisten = 127.0.0.1:0\n";
        std::ofstream(dir / "management.ini")
            << "[management]\nlisten = 127.0.0.1:0\n"
               "[hall]\nmac = 00:30:F9:AA:00:01\nencipher = 1\n"
               "comment = Main hall\n"
               "[gate]\nmac = 00:30:F9:AA:00:02\nfragment_size = 200\n";
        ASSERT_TRUE(sim.start({TEVRONSIM_PATH, "--devices", (dir / "devices.ini").string(),
                               "--management", (dir / "management.ini").string()}));
        std::string line = sim.line_starting("management ");
        ASSERT_EQ(std::sscanf(line.c_str(), "management 127.0.0.1:%hu", &port), 1) << line;
        std::string hall = sim.line_starting("device hall ");
        ASSERT_EQ(std::sscanf(hall.c_str(), "device hall TKA-31 server 127.0.0.1:%hu", &hall_port),
                  1);
    }
    void TearDown() override {
        sim.stop();
        fs::remove_all(dir);
    }

    fs::path dir;
    nexolt::test::SimProcess sim;
    uint16_t port = 0, hall_port = 0;
};

TEST_F(TevronsimManagement, UnicastSearchFindsTheGenericControllers) {
    nexolt::SearchRequest request;
    request.mode = 1;
    request.address = htonl(INADDR_LOOPBACK);
    request.port = port;
    request.wait_ms = 600;
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    ASSERT_EQ(nexolt::search_devices(request, results, error), 1) << error;
    ASSERT_EQ(results.size(), 2u) << "the RLX controller does not speak this protocol";
    std::map<std::string, const lib_env*> by_comment;
    for (const auto& r : results)
        by_comment[r.env.comment] = &r.env;

    const lib_env* hall = by_comment["Main hall"];
    ASSERT_NE(hall, nullptr);
    EXPECT_EQ(hall->product_id, 32);
    EXPECT_EQ(hall->mac[3], 0xAA);
    EXPECT_EQ(hall->io.input_count, 8);
    EXPECT_EQ(hall->io.settings.peer_port, hall_port);
    EXPECT_EQ(hall->io.settings.slave_id, 9);
    EXPECT_EQ(hall->io.settings.input_addr, 100);
    EXPECT_EQ(hall->io.settings.output_addr, 200);
    EXPECT_EQ(hall->io.settings.flags & NEXOLT_IO_ACTIVE, 0u);
    EXPECT_STREQ(hall->io.input_description[1], "DI1");
    EXPECT_EQ(hall->io.html_size_kb, 80) << "filled in after decoding";
    EXPECT_EQ(hall->firmware_major, 1);
    EXPECT_TRUE(nexolt::find_device(1, hall->mac)->cipher);

    const lib_env* gate = by_comment["gate"];
    ASSERT_NE(gate, nullptr);
    EXPECT_EQ(gate->product_id, 52);
    EXPECT_EQ(gate->io.input_count, 2);
    EXPECT_EQ(gate->io.output_count, 1);
    EXPECT_NE(gate->io.settings.flags & NEXOLT_IO_ACTIVE, 0u) << "it connects out itself";
    EXPECT_EQ(gate->io.settings.peer_ip, htonl(INADDR_LOOPBACK));
    EXPECT_EQ(gate->io.settings.peer_port, 9);
    const nexolt::DeviceEntry* entry = nexolt::find_device(1, gate->mac);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->capabilities & 0x0040, 0x0040);
    EXPECT_TRUE(entry->decoded) << "reassembled from 200-byte fragments";
}

TEST_F(TevronsimManagement, RequestForOneMacIsAnsweredByThatDeviceAlone) {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in sim_address{};
    sim_address.sin_family = AF_INET;
    sim_address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sim_address.sin_port = htons(port);
    const uint8_t gate[6] = {0x00, 0x30, 0xF9, 0xAA, 0x00, 0x02};
    auto request = nexolt::build_request(nexolt::kCmdRead, 0x03, gate, 0x4242, {});
    ASSERT_EQ(sendto(fd, request.data(), request.size(), 0,
                     reinterpret_cast<sockaddr*>(&sim_address), sizeof sim_address),
              ssize_t(request.size()));
    std::vector<std::vector<uint8_t>> replies;
    uint8_t buffer[2048];
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, 300) > 0) {
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) replies.emplace_back(buffer, buffer + n);
    }
    close(fd);
    ASSERT_GE(replies.size(), 2u) << "fragments of at most 200 payload bytes";
    size_t total = 0;
    for (size_t i = 0; i < replies.size(); ++i) {
        const auto& r = replies[i];
        ASSERT_GE(r.size(), 32u);
        EXPECT_EQ(std::memcmp(r.data() + 10, gate, 6), 0);
        EXPECT_EQ(r[5] & 0x80, 0x80);
        EXPECT_EQ(r[5] & 0x02, 0x02) << "answers a unicast request as unicast";
        EXPECT_EQ(bool(r[5] & 0x04), i + 1 < replies.size()) << "more-fragments flag";
        EXPECT_EQ(r[20] | (r[21] << 8), 0x4242) << "sequence echoed";
        EXPECT_EQ(size_t(r[22] | (r[23] << 8)), total) << "fragment offset";
        EXPECT_EQ(r[24], 0xC3);
        EXPECT_LE(r.size() - 32, 200u);
        total += r.size() - 32;
    }
}

// A full result array: 256 controllers that all answer in fragments, every copy of the
// request answered, each found once with its whole settings.
TEST(TevronsimManyDevices, SearchFinds256FragmentingControllers) {
    fs::path dir = fs::temp_directory_path() / ("nexolt_many_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream devices(dir / "devices.ini");
    std::ofstream management(dir / "management.ini");
    management << "[management]\nlisten = 127.0.0.1:0\n";
    for (int i = 0; i < 256; ++i) {
        devices << "[d" << i << "]\nmodel = TKA-31\nlisten = 127.0.0.1:0\n";
        management << "[d" << i << "]\nfragment_size = 512\n";
    }
    devices.close();
    management.close();
    nexolt::test::SimProcess sim;
    ASSERT_TRUE(sim.start({TEVRONSIM_PATH, "--devices", (dir / "devices.ini").string(),
                           "--management", (dir / "management.ini").string()}));
    uint16_t port = 0;
    std::string line = sim.line_starting("management ");
    ASSERT_EQ(std::sscanf(line.c_str(), "management 127.0.0.1:%hu", &port), 1) << line;

    nexolt::SearchRequest request;
    request.mode = 1;
    request.address = htonl(INADDR_LOOPBACK);
    request.port = port;
    request.maximum = 256;
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    ASSERT_EQ(nexolt::search_devices(request, results, error), 1) << error;
    sim.stop();
    fs::remove_all(dir);
    EXPECT_EQ(results.size(), 256u);
    size_t decoded = 0;
    for (const auto& r : results)
        decoded += r.decoded && r.env.io.input_count == 8;
    EXPECT_EQ(decoded, results.size());
    EXPECT_EQ(nexolt::device_count(1), results.size());
}

} // namespace
