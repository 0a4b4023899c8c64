// The broadcast searches of the three libraries, run by run_broadcast_in_netns.sh inside a
// namespace whose only neighbour is tevronsim with one TKA, TKB-11 and RLX device (and
// twins and a zero MAC that must not show): each library finds only its own.
#include "kestrel/kestrel.h"
#include "nexoltlib/nexoltlib.h"
#include "tkb11lib/tkb11lib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const uint32_t kDevice = inet_addr("10.203.0.2");

TEST(Broadcast, NexoltLibFindsOnlyTheTka) {
    Start_Library(64);
    std::vector<lib_env> found(16);
    int count = 0, error = 0;
    ASSERT_EQ(Nexolt_Search2(0, 0, found.data(), &count, &error, 800, NEXOLT_PORT_A, 0, 16), 1)
        << error;
    ASSERT_EQ(count, 1);
    EXPECT_EQ(found[0].product_id, 34); // TKA-35
    EXPECT_EQ(found[0].io.settings.peer_port, 15101);
    End_Library();
}

TEST(Broadcast, Tkb11FindsOnlyTheTkb11OnceWithItsAddress) {
    std::vector<tkb11_record> records(TKB11_MAX_RECORDS);
    int count = 0, error = -1;
    ASSERT_EQ(TKB11_Search(0, 0, records.data(), &count, &error, TKB11_PORT, 0), 1) << error;
    EXPECT_EQ(error, 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(records[0].ip_address, kDevice);
    EXPECT_EQ(records[0].mac[5], 0x0B);
    EXPECT_EQ(records[0].client_port, 15102);
    EXPECT_EQ(records[0].unit_id, 4);
    EXPECT_STREQ(records[0].comment, "North gate");
}

TEST(Broadcast, Tkb11ReadsByMacOverBroadcast) {
    const uint8_t mac[6] = {2, 0, 0, 0, 0, 0x0B};
    tkb11_record record{};
    int error = -1;
    ASSERT_EQ(TKB11_Read(0, mac, 0, &record, &error, TKB11_PORT, 0), 1) << error;
    EXPECT_EQ(record.client_port, 15102);
    const uint8_t nobody[6] = {2, 0, 0, 0, 0, 0x0C};
    EXPECT_EQ(TKB11_Read(0, nobody, 0, &record, &error, TKB11_PORT, 0), -1);
    EXPECT_EQ(error, TKB11_ERR_NO_ANSWER);
}

TEST(Broadcast, KestrelFindsOnlyTheRlxOnceAndReadsItsSettings) {
    Kestrel_SetSearchTimeout(600);
    ASSERT_EQ(Search(1033, u"Add I/O Controller"), 1);
    char16_t product[KESTREL_TEXT_SIZE], information[KESTREL_TEXT_SIZE];
    ASSERT_EQ(GetDeviceInfo(0, product, information), 1);
    EXPECT_EQ(std::u16string(product), u"RLX-850");
    EXPECT_EQ(std::u16string(information), u"[02:00:00:00:01:05] Boiler room - [10.203.0.2]");
    EXPECT_EQ(std::u16string(GetHostAddress(0)), u"");
    EXPECT_EQ(GetCorvelPortNumber(0), -1);
    ASSERT_EQ(ReadEnv(0), 1);
    EXPECT_EQ(GetUnitId(0), 255);
    EXPECT_EQ(GetCommunicationMode(0), 0);
    EXPECT_EQ(GetCorvelPortNumber(0), 15103);
    EXPECT_EQ(std::u16string(GetHostAddress(0)), u"10.203.0.2");
    EXPECT_EQ(std::u16string(GetComment(0)), u"Boiler room");
    ASSERT_NE(GetEUI(0), nullptr);
    EXPECT_EQ(GetEUI(0)[5], 0x05);
    EXPECT_EQ(GetEUI(1), nullptr);
}

// Broadcasts never go out on loopback: with nothing else there, nothing is searched.
TEST(LoopbackOnly, NoInterfaceToBroadcastOn) {
    std::vector<tkb11_record> records(TKB11_MAX_RECORDS);
    int count = 0, error = 0;
    EXPECT_EQ(TKB11_Search(0, 0, records.data(), &count, &error, TKB11_PORT, 0), -1);
    EXPECT_EQ(error, TKB11_ERR_LOCAL_ADDRESS);
    const uint8_t mac[6] = {2, 0, 0, 0, 0, 0x0B};
    EXPECT_EQ(TKB11_Read(0, mac, 0, records.data(), &error, TKB11_PORT, 0), -1);
    EXPECT_EQ(error, TKB11_ERR_LOCAL_ADDRESS);
    Kestrel_SetSearchTimeout(200);
    EXPECT_EQ(Search(1033, u""), 0);
}

} // namespace
