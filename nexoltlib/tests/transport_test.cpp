// Unicast searches against devices on loopback, through the real sockets.
#include "fake_device.h"
#include "frame.h"
#include "record_builders.h"
#include "reply_intake.h"
#include "search.h"
#include "transport.h"

#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <sys/socket.h>

#include <chrono>
#include <cstring>

namespace {

using nexolt::test::FakeDevice;
using nexolt::test::FakeDeviceConfig;

const uint32_t kLoopback = htonl(INADDR_LOOPBACK);

nexolt::SearchRequest unicast_to(uint16_t port) {
    nexolt::SearchRequest request;
    request.mode = 1;
    request.address = kLoopback;
    request.port = port;
    request.wait_ms = 600;
    return request;
}

FakeDeviceConfig device(uint16_t product_id) {
    FakeDeviceConfig config;
    config.env = nexolt::test::io_controller(product_id);
    config.bind_address = kLoopback;
    return config;
}

TEST(UnicastSearch, FindsTheDeviceAndListsIt) {
    FakeDevice dev(device(32));
    ASSERT_TRUE(dev.start());
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    ASSERT_EQ(nexolt::search_devices(unicast_to(dev.port()), results, error), 1) << error;
    ASSERT_EQ(results.size(), 1u) << "three requests per interface, one device";
    EXPECT_GE(dev.requests(), 3);
    EXPECT_EQ(dev.requests() % 3, 0);
    const lib_env& env = results[0].env;
    EXPECT_EQ(env.product_id, 32);
    EXPECT_EQ(env.device_address, kLoopback);
    EXPECT_EQ(env.firmware_major, 1);
    EXPECT_EQ(env.firmware_minor_rev, 2 * 256);
    EXPECT_EQ(env.io.settings.peer_port, 502);
    EXPECT_EQ(env.io.html_size_kb, 80);

    int decoded = 0;
    const uint8_t mac[6] = {0x00, 0x30, 0xF9, 0x12, 0x34, 0x56};
    lib_env* cached = get_env_raw_lib_env_by_mac_addr(1, mac, &decoded);
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(decoded, 1);
    EXPECT_STREQ(cached->comment, "line 32");
}

TEST(UnicastSearch, EncipheredAndFragmentedReplies) {
    FakeDeviceConfig config = device(104);
    config.cipher = true;
    config.capabilities = 0x0040;
    config.fragment_size = 300;
    FakeDevice dev(config);
    ASSERT_TRUE(dev.start());
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    ASSERT_EQ(nexolt::search_devices(unicast_to(dev.port()), results, error), 1) << error;
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].env.product_id, 104);
    EXPECT_STREQ(results[0].env.io.output_description[7], "Lamp 7");
    EXPECT_EQ(results[0].env.io.html_size_kb, 80);
}

TEST(UnicastSearch, NobodyAnsweringIsASuccessWithNoResult) {
    FakeDevice silent(device(32));
    ASSERT_TRUE(silent.start());
    uint16_t port = silent.port();
    silent.stop(); // the port is now closed
    std::vector<nexolt::ReplyResult> results{nexolt::ReplyResult{}};
    int error = 0;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(nexolt::search_devices(unicast_to(port), results, error), 1) << error;
    EXPECT_TRUE(results.empty());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(550));
}

TEST(UnicastSearch, LocalFilterWithoutSuchInterface) {
    nexolt::SearchRequest request = unicast_to(50005);
    inet_pton(AF_INET, "192.0.2.77", &request.local); // documentation range, never local
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    EXPECT_EQ(nexolt::search_devices(request, results, error), -1);
    EXPECT_EQ(error, NEXOLT_ERR_NO_INTERFACE);
}

TEST(Transport, RequestToAKnownDeviceGoesTwiceThroughOneSocket) {
    FakeDevice dev(device(52));
    ASSERT_TRUE(dev.start());
    nexolt::Transport transport;
    ASSERT_EQ(transport.open_for_device({1, kLoopback, dev.port(), 0}, "127.0.0.1"), 0);
    const uint8_t mac[6] = {0x00, 0x30, 0xF9, 0x12, 0x34, 0x56};
    auto frame = nexolt::build_request(nexolt::kCmdRead, 0x03, mac, nexolt::next_sequence(), {});
    ASSERT_EQ(transport.send_to_device(frame, true), 0);

    nexolt::IntakeContext context;
    context.request = nexolt::read_header(frame.data());
    context.target = kLoopback;
    context.max_results = 4;
    int datagrams = 0;
    auto sink = [&](const uint8_t* data, size_t length, nexolt::sys::Endpoint source,
                    const nexolt::InterfaceEntry& via) {
        ++datagrams;
        nexolt::take_reply(context, data, length, source, {via.address_text, via.index});
    };
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(transport.wait(2000, 2000, sink, [&] { return !context.results.empty(); }), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500))
        << "ends as soon as the operation's test says so";
    ASSERT_EQ(context.results.size(), 1u);
    EXPECT_EQ(context.results[0].env.product_id, 52);
    EXPECT_EQ(dev.requests(), 2);
    EXPECT_GE(datagrams, 1);
}

TEST(Transport, KnownDeviceUsesTheRecordedInterface) {
    nexolt::Transport transport;
    nexolt::TransportTarget target{1, kLoopback, 0, 0};
    EXPECT_EQ(transport.open_for_device(target, "192.0.2.1"), NEXOLT_ERR_NO_INTERFACE);
    ASSERT_EQ(transport.open_for_device(target, "127.0.0.1"), 0);
    ASSERT_EQ(transport.entries().size(), 1u);
    EXPECT_EQ(transport.entries()[0].address_text, "127.0.0.1");
    EXPECT_EQ(transport.entries()[0].destination_a.port, 50005);
    EXPECT_EQ(transport.entries()[0].destination_b.port, 50007);
}

// An address that merely begins with an interface's address names another interface.
TEST(Transport, KnownDeviceNeedsTheExactInterfaceAddress) {
    nexolt::Transport transport;
    nexolt::TransportTarget target{1, kLoopback, 0, 0};
    for (const char* recorded : {"127.0.0.12", "127.0.0.1 ", "27.0.0.1", ""})
        EXPECT_EQ(transport.open_for_device(target, recorded), NEXOLT_ERR_NO_INTERFACE) << recorded;
}

TEST(InterfaceTable, FindsOnlyTheEqualAddress) {
    std::vector<nexolt::InterfaceEntry> table(3);
    table[0].address_text = "10.0.0.1";
    table[1].address_text = "10.0.0.12";
    table[2].address_text = "192.168.10.1";
    struct Case {
        const char* recorded;
        int entry; // -1: none
    } cases[] = {
        {"10.0.0.1", 0},   {"10.0.0.12", 1}, {"192.168.10.1", 2}, {"10.0.0.123", -1}, {"0.0.1", -1},
        {"192.168.1", -1}, {"", -1}};
    for (const auto& c : cases) {
        const nexolt::InterfaceEntry* hit = nexolt::find_interface(table, c.recorded);
        EXPECT_EQ(hit ? int(hit - table.data()) : -1, c.entry) << c.recorded;
    }
}

// The sockets on every address tell replies apart by the interface they came in on.
TEST(Sockets, ReportTheArrivalInterfaceWhenAsked) {
    for (bool report : {true, false}) {
        int receiver = -1, sender = -1;
        ASSERT_EQ(nexolt::sys::udp_open(false, receiver), 0);
        ASSERT_EQ(nexolt::sys::udp_open(false, sender), 0);
        if (report) {
            ASSERT_EQ(nexolt::sys::udp_report_arrival(receiver), 0);
        }
        ASSERT_EQ(nexolt::sys::udp_bind(receiver, {kLoopback, 0}), 0);
        sockaddr_in bound{};
        socklen_t length = sizeof bound;
        ASSERT_EQ(getsockname(receiver, reinterpret_cast<sockaddr*>(&bound), &length), 0);
        const uint8_t datagram[3] = {1, 2, 3};
        ASSERT_EQ(nexolt::sys::udp_send(sender, {kLoopback, ntohs(bound.sin_port)}, datagram, 3),
                  0);
        int error = 0;
        ASSERT_EQ(nexolt::sys::wait_readable({receiver}, 2000, error), 0) << error;
        uint8_t buffer[8];
        nexolt::sys::Endpoint source{};
        unsigned arrival = 99;
        EXPECT_EQ(nexolt::sys::udp_receive(receiver, buffer, sizeof buffer, source, arrival), 3);
        EXPECT_EQ(arrival, report ? if_nametoindex("lo") : 0u);
        EXPECT_EQ(source.address, kLoopback);
        nexolt::sys::close_socket(receiver);
        nexolt::sys::close_socket(sender);
    }
}

// Only a complete, decoded answer ends a read; otherwise the caller's record keeps every
// byte it had, apart from the address the read itself names.
struct PartialAnswer {
    const char* what;
    size_t skipped_fragments;
    bool damaged;
    int result;
};

TEST(Read, OnlyACompleteDecodedAnswerFillsTheRecord) {
    const PartialAnswer cases[] = {{"continuation without its start", 1, false, -1},
                                   {"a block failing its CRC", 0, true, -1},
                                   {"the whole answer", 0, false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDeviceConfig config = device(32);
        config.capabilities = 0x0040;
        config.fragment_size = 400;
        config.skipped_fragments = c.skipped_fragments;
        config.damaged = c.damaged;
        FakeDevice dev(config);
        ASSERT_TRUE(dev.start());
        lib_env record;
        std::memset(&record, 0x5A, sizeof record);
        record.device_address = kLoopback;
        std::memcpy(record.mac, config.mac, 6);
        const lib_env before = record;
        int error = 0;
        EXPECT_EQ(Nexolt_Read2(1, nullptr, kLoopback, &record, &error, 600, dev.port(), 0, 4),
                  c.result);
        if (c.result == 1) {
            EXPECT_EQ(record.product_id, 32);
            EXPECT_EQ(record.io.settings.peer_port, 502);
            continue;
        }
        EXPECT_EQ(error, NEXOLT_ERR_NO_REPLY);
        EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
    }
}

} // namespace
