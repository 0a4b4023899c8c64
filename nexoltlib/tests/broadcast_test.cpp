// Broadcast searches. Run only through run_in_netns.sh, inside namespaces it creates.
#include "device_lists.h"
#include "fake_device.h"
#include "record_builders.h"
#include "search.h"
#include "transport.h"

#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using nexolt::test::FakeDevice;
using nexolt::test::FakeDeviceConfig;

// Refuses to broadcast unless the wrapper started us in a namespace other than the one it
// was started from (it passes that namespace's inode).
bool inside_test_namespace() {
    const char* outer = std::getenv("NEXOLT_TEST_OUTER_NETNS");
    struct stat own {};
    if (!outer || !*outer || stat("/proc/self/ns/net", &own) != 0) return false;
    return std::to_string(own.st_ino) != outer;
}

#define REQUIRE_TEST_NAMESPACE()                                                                   \
    if (!inside_test_namespace()) GTEST_SKIP() << "only inside run_in_netns.sh namespaces"

nexolt::SearchRequest broadcast() {
    nexolt::SearchRequest request;
    request.mode = 0;
    request.wait_ms = 800;
    return request;
}

FakeDeviceConfig device_across_veth() {
    FakeDeviceConfig config;
    config.env = nexolt::test::io_controller(52);
    config.ports = {NEXOLT_PORT_A, NEXOLT_PORT_B};
    config.netns =
        std::getenv("NEXOLT_TEST_DEVICE_NETNS") ? std::getenv("NEXOLT_TEST_DEVICE_NETNS") : "";
    return config;
}

TEST(BroadcastSearch, FindsTheDeviceBehindTheVeth) {
    REQUIRE_TEST_NAMESPACE();
    FakeDevice dev(device_across_veth());
    ASSERT_TRUE(dev.start());
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    ASSERT_EQ(nexolt::search_devices(broadcast(), results, error), 1) << error;
    ASSERT_EQ(results.size(), 1u) << "heard three times, listed once";
    EXPECT_EQ(dev.requests(), 3) << "A twice and B once";
    char address[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &results[0].env.device_address, address, sizeof address);
    EXPECT_STREQ(address, "10.201.0.2");
    EXPECT_EQ(results[0].env.io.input_count, 2);
    EXPECT_EQ(results[0].env.io.output_count, 1);

    const uint8_t mac[6] = {0x00, 0x30, 0xF9, 0x12, 0x34, 0x56};
    const nexolt::DeviceEntry* entry = nexolt::find_device(0, mac);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->interface_address, "10.201.0.1");
    EXPECT_EQ(nexolt::device_count(1), 0u);
}

TEST(BroadcastSearch, EncipheredFragmentedDeviceOnALocalFilter) {
    REQUIRE_TEST_NAMESPACE();
    FakeDeviceConfig config = device_across_veth();
    config.env = nexolt::test::io_controller(32);
    config.cipher = true;
    config.capabilities = 0x0041;
    config.fragment_size = 256;
    FakeDevice dev(config);
    ASSERT_TRUE(dev.start());
    nexolt::SearchRequest request = broadcast();
    inet_pton(AF_INET, "10.201.0.1", &request.local);
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    ASSERT_EQ(nexolt::search_devices(request, results, error), 1) << error;
    ASSERT_EQ(results.size(), 1u);
    EXPECT_STREQ(results[0].env.io.input_description[7], "Door 7");
}

TEST(BroadcastSearch, EmptyNetworkIsASuccessWithNoDevice) {
    REQUIRE_TEST_NAMESPACE();
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    EXPECT_EQ(nexolt::search_devices(broadcast(), results, error), 1) << error;
    EXPECT_TRUE(results.empty());
}

TEST(BroadcastSearch, FindsTevronsimDevices) {
    REQUIRE_TEST_NAMESPACE();
    if (!std::getenv("NEXOLT_TEST_TEVRONSIM")) GTEST_SKIP() << "run_in_netns.sh starts tevronsim";
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    ASSERT_EQ(nexolt::search_devices(broadcast(), results, error), 1) << error;
    ASSERT_EQ(results.size(), 2u);
    for (const auto& r : results) {
        char address[INET_ADDRSTRLEN], own[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &r.env.device_address, address, sizeof address);
        inet_ntop(AF_INET, &r.env.ip4_address, own, sizeof own);
        EXPECT_STREQ(address, "10.201.0.2");
        EXPECT_STREQ(own, "10.201.0.2") << "the device reports the address the broadcast reached";
        const nexolt::DeviceEntry* entry = nexolt::find_device(0, r.env.mac);
        ASSERT_NE(entry, nullptr);
        if (std::string(r.env.comment) == "press") {
            EXPECT_EQ(r.env.product_id, 34);
            EXPECT_EQ(r.env.io.input_count, 4);
            EXPECT_TRUE(entry->cipher);
        } else {
            EXPECT_STREQ(r.env.comment, "pump");
            EXPECT_EQ(r.env.product_id, 104);
            EXPECT_EQ(r.env.io.html_size_kb, 96);
            EXPECT_TRUE(entry->decoded);
            EXPECT_EQ(entry->capabilities, 0x0040);
        }
    }
}

// The Tevron_ layer over broadcast: the search fills the device table from list 0, and a
// write to a device of that list goes out by broadcast, addressed by its MAC.
TEST(BroadcastSearch, TevronLayerWithTevronsim) {
    REQUIRE_TEST_NAMESPACE();
    if (!std::getenv("NEXOLT_TEST_TEVRONSIM")) GTEST_SKIP() << "run_in_netns.sh starts tevronsim";
    int error = 0;
    ASSERT_EQ(Tevron_Search(0, &error), 1) << error;
    ASSERT_EQ(get_tevron_count(), 2);
    tevron_info first{}, second{};
    ASSERT_EQ(get_tevron_info_by_index(0, &first), 1);
    ASSERT_EQ(get_tevron_info_by_index(1, &second), 1);
    EXPECT_LT(std::memcmp(first.mac, second.mac, 6), 0) << "sorted by MAC";
    EXPECT_EQ(first.list, 0);
    EXPECT_STREQ(first.address, "10.201.0.2");
    EXPECT_EQ(first.port, NEXOLT_PORT_A);

    ASSERT_EQ(set_comment(&first, "Written by broadcast"), 1);
    EXPECT_EQ(Tevron_Write(&first, "", 0, &error), -1) << "both bases are 0 in the device file";
    EXPECT_EQ(error, -500);
    ASSERT_EQ(set_io_output_address(&first, 16), 1);
    ASSERT_EQ(Tevron_Write(&first, "", 0, &error), 1) << error;
    ASSERT_EQ(Tevron_Search(0, &error), 1) << error;
    char comment[65];
    ASSERT_EQ(get_comment(&first, comment), 1);
    EXPECT_STREQ(comment, "Written by broadcast");
    EXPECT_EQ(get_io_output_address(&first), 16);
}

// tevronsim's "yard" on 10.1.0.1/8 answers a host on 192.168.7.1/24 by broadcast only: the
// search lists it, and a write to it (by broadcast, by MAC) hears its broadcast reply.
TEST(ForeignSubnet, DeviceThatAnswersByBroadcastIsFoundAndWritten) {
    REQUIRE_TEST_NAMESPACE();
    if (!std::getenv("NEXOLT_TEST_TEVRONSIM")) GTEST_SKIP() << "run_in_netns.sh starts tevronsim";
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    ASSERT_EQ(nexolt::search_devices(broadcast(), results, error), 1) << error;
    ASSERT_EQ(results.size(), 1u);
    char address[INET_ADDRSTRLEN], own[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &results[0].env.device_address, address, sizeof address);
    inet_ntop(AF_INET, &results[0].env.ip4_address, own, sizeof own);
    EXPECT_STREQ(address, "10.1.0.1");
    EXPECT_STREQ(own, "10.1.0.1");
    EXPECT_STREQ(results[0].env.comment, "yard");
    const nexolt::DeviceEntry* entry = nexolt::find_device(0, results[0].env.mac);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->interface_address, "192.168.7.1");

    ASSERT_EQ(Tevron_Search(0, &error), 1) << error;
    ASSERT_EQ(get_tevron_count(), 1);
    tevron_info yard{};
    ASSERT_EQ(get_tevron_info_by_index(0, &yard), 1);
    ASSERT_EQ(set_comment(&yard, "Yard gate"), 1);
    ASSERT_EQ(set_io_output_address(&yard, 16), 1);
    ASSERT_EQ(Tevron_Write(&yard, "", 0, &error), 1) << error;
    ASSERT_EQ(nexolt::search_devices(broadcast(), results, error), 1) << error;
    ASSERT_EQ(results.size(), 1u);
    EXPECT_STREQ(results[0].env.comment, "Yard gate");
}

// The host end of the veth has no address when the test starts; the address given to it
// between two searches is searched by the second.
TEST(GrowingTable, AnAddressAddedBetweenSearchesIsSearched) {
    REQUIRE_TEST_NAMESPACE();
    const char* link = std::getenv("NEXOLT_TEST_BARE_LINK");
    if (!link) GTEST_SKIP() << "run_in_netns.sh names the bare link";
    FakeDevice dev(device_across_veth());
    ASSERT_TRUE(dev.start());
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    ASSERT_EQ(nexolt::search_devices(broadcast(), results, error), 1) << error;
    EXPECT_TRUE(results.empty()) << "only loopback has an address yet";

    std::string command = std::string("ip addr add 10.202.0.1/24 dev ") + link;
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_EQ(nexolt::search_devices(broadcast(), results, error), 1) << error;
    ASSERT_EQ(results.size(), 1u);
    const nexolt::DeviceEntry* entry = nexolt::find_device(0, results[0].env.mac);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->interface_address, "10.202.0.1");
}

// A namespace whose only interface is loopback: the table holds 127.0.0.1 alone, the
// broadcast stays on that host, and the search ends after its window with no device.
TEST(LoopbackOnly, SearchFindsNothing) {
    REQUIRE_TEST_NAMESPACE();
    std::vector<nexolt::InterfaceEntry> table;
    ASSERT_EQ(nexolt::refresh_interfaces(0, table), 0);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].address_text, "127.0.0.1");
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    EXPECT_EQ(nexolt::search_devices(broadcast(), results, error), 1) << error;
    EXPECT_TRUE(results.empty());
}

// Not even loopback is up: no IPv4 address at all, so there is no interface to search on.
TEST(LoopbackDown, SearchReportsNoInterface) {
    REQUIRE_TEST_NAMESPACE();
    std::vector<nexolt::ReplyResult> results;
    int error = 0;
    EXPECT_EQ(nexolt::search_devices(broadcast(), results, error), -1);
    EXPECT_EQ(error, NEXOLT_ERR_NO_INTERFACE);
}

} // namespace
