// The exported operations against tevronsim on loopback: what the library sends, what the
// device answers, and the checks that stop a write before anything is sent.
#include "sim_fixture.h"

#include <arpa/inet.h>

#include <array>
#include <cstring>

namespace {

using namespace nexolt::test;

using Field = std::array<uint8_t, 10>;
Field password(const char* text) {
    Field f{};
    std::memcpy(f.data(), text, strnlen(text, 10));
    return f;
}

uint32_t ip(const char* text) {
    uint32_t a = 0;
    inet_pton(AF_INET, text, &a);
    return a;
}

using Operations = SimFixture;

TEST_F(Operations, SearchFillsTheDeviceTableSortedByMac) {
    ASSERT_EQ(found.size(), 3u);
    ASSERT_EQ(get_tevron_count(), 3);
    tevron_info info{};
    ASSERT_EQ(get_tevron_info_by_index(0, &info), 1);
    EXPECT_EQ(std::memcmp(info.mac, kHallMac, 6), 0);
    EXPECT_STREQ(info.address, "127.0.0.1");
    EXPECT_STREQ(info.comment, "hall");
    EXPECT_STREQ(info.product_name, "TKA-31");
    EXPECT_EQ(info.decoded, 1);
    EXPECT_EQ(info.list, 1);
    EXPECT_EQ(info.port, port);
    ASSERT_EQ(get_tevron_info_by_index(2, &info), 1);
    EXPECT_EQ(std::memcmp(info.mac, kYardMac, 6), 0);
    EXPECT_STREQ(info.product_name, "TKA-35");
    EXPECT_EQ(get_tevron_info_by_index(3, &info), -1);
    EXPECT_EQ(get_tevron_info_by_index(-1, &info), -1);
}

TEST_F(Operations, WriteThenReadBack) {
    lib_env record = found_record(kHallMac);
    record.io.settings.slave_id = 7;
    std::strcpy(record.comment, "Renamed hall");
    int error = 0;
    ASSERT_EQ(Nexolt_Write(1, &record, nullptr, &error, port, 0, 16), 1) << error;
    EXPECT_EQ(record.io.settings.slave_id, 7) << "the record holds the device's answer";

    auto writes = logged_at_least(3, 2);
    ASSERT_EQ(writes.size(), 2u) << "sent twice, 10 ms apart";
    EXPECT_EQ(json_number(writes[0], "status"), 0);
    EXPECT_EQ(json_number(writes[0], "flags"), 0x03) << "unicast, enciphered like the device";

    lib_env read{};
    std::memcpy(read.mac, kHallMac, 6);
    ASSERT_EQ(Nexolt_Read2(1, kHallMac, kLoopback, &read, &error, 500, port, 0, 16), 1) << error;
    EXPECT_EQ(std::memcmp(read.mac, kHallMac, 6), 0);
    EXPECT_EQ(read.io.settings.slave_id, 7);
    EXPECT_STREQ(read.comment, "Renamed hall");
    EXPECT_EQ(read.io.settings.peer_port, hall_port) << "settings not written are kept";
}

TEST_F(Operations, DeviceRefusals) {
    struct Case {
        const char* name;
        const uint8_t* mac;
        const char* password;
        uint16_t product_id; // 0: unchanged
        int error;
    } cases[] = {
        {"wrong password", kYardMac, "wrong123", 0, -100},
        {"no password", kYardMac, "", 0, -100},
        {"right password", kYardMac, "yard1234", 0, 0},
        {"product mismatch", kHallMac, "", 33, -700},
    };
    for (const auto& c : cases) {
        lib_env record = found_record(c.mac);
        if (c.product_id) record.product_id = c.product_id;
        Field field = password(c.password);
        int error = 0;
        int result = Nexolt_Write(1, &record, field.data(), &error, port, 0, 16);
        EXPECT_EQ(result, c.error ? -1 : 1) << c.name;
        if (c.error) {
            EXPECT_EQ(error, c.error) << c.name;
        }
    }
}

TEST_F(Operations, UnknownDeviceIsNotSentAnything) {
    lib_env record = found_record(kHallMac);
    record.mac[5] = 0x77;
    int error = 0;
    EXPECT_EQ(Nexolt_Write(1, &record, nullptr, &error, port, 0, 16), -1);
    EXPECT_EQ(error, -900);
    lib_env hall = found_record(kHallMac);
    EXPECT_EQ(Nexolt_Write(0, &hall, nullptr, &error, port, 0, 16), -1) << "not in list 0";
    EXPECT_EQ(error, -900);
    EXPECT_TRUE(logged(3).empty());
}

// Each case breaks one rule of a record that is otherwise fine; none is sent.
TEST_F(Operations, RecordChecksStopTheWrite) {
    struct Case {
        const char* name;
        void (*change)(lib_env&);
        int error;
    } cases[] = {
        {"host part all ones",
         [](lib_env& e) { e.ip4_address = ip("192.168.1.255"), e.ip4_mask = ip("255.255.255.0"); },
         -300},
        {"loopback address", [](lib_env& e) { e.ip4_address = ip("127.0.0.5"); }, -300},
        {"mask with a hole", [](lib_env& e) { e.ip4_mask = ip("255.0.255.0"); }, -301},
        {"empty mask", [](lib_env& e) { e.ip4_mask = 0; }, -301},
        {"two ports 1470",
         [](lib_env& e) {
             e.uart[0].exists = e.uart[3].exists = 1;
             e.uart[0].var.local_port = e.uart[3].var.local_port = 1470;
         },
         -600},
        {"telnet port", [](lib_env& e) { e.uart[0].exists = 1, e.uart[0].var.local_port = 23; },
         -601},
        {"modbus port",
         [](lib_env& e) {
             e.uart[0].exists = 1, e.uart[0].var.local_port = e.io.settings.peer_port;
         },
         -602},
        {"http port", [](lib_env& e) { e.uart[0].exists = 1, e.uart[0].var.local_port = 80; },
         -603},
        {"udp on 50005",
         [](lib_env& e) {
             e.uart[0].exists = 1, e.uart[0].var.local_port = 50005;
             e.uart[0].var.mux_type = NEXOLT_MUX_U2S;
         },
         -604},
        {"udp on 50006",
         [](lib_env& e) {
             e.uart[0].exists = 1, e.uart[0].var.local_port = 50006;
             e.uart[0].var.mux_type = NEXOLT_MUX_U2S;
         },
         -605},
        {"bad macro with macros on",
         [](lib_env& e) {
             e.io.settings.flags |= NEXOLT_IO_MACRO;
             std::strcpy(e.io.macro[2], "I8");
         },
         -400},
        {"bad macro enabled for one output",
         [](lib_env& e) {
             e.io.settings.flags |= 1u << (8 + 5);
             std::strcpy(e.io.macro[5], "(I0");
         },
         -400},
        {"output base inside the inputs",
         [](lib_env& e) { e.io.settings.input_addr = 10, e.io.settings.output_addr = 3; }, -500},
    };
    for (const auto& c : cases) {
        lib_env record = found_record(kHallMac);
        record.ip4_mask = ip("255.255.255.0");
        record.ip4_address = ip("192.168.1.20");
        c.change(record);
        int error = 0;
        EXPECT_EQ(Nexolt_Write(1, &record, nullptr, &error, port, 0, 16), -1) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
    }
    EXPECT_TRUE(logged(3).empty());
}

TEST_F(Operations, AddressObtainedAutomaticallyIsNotChecked) {
    lib_env record = found_record(kHallMac);
    record.ip4_mask = ip("255.0.255.0");
    record.options |= NEXOLT_OPT_DHCP;
    int error = 0;
    EXPECT_EQ(Nexolt_Write(1, &record, nullptr, &error, port, 0, 16), 1) << error;
}

TEST_F(Operations, FragmentedWriteOfThreeThousandBytes) {
    // Two blocks of 1500 bytes that the controller does not know and leaves alone.
    std::vector<uint8_t> payload;
    std::vector<uint8_t> data(1494, 0x5A);
    for (uint8_t i = 0; i < 2; ++i) {
        size_t at = payload.size();
        payload.resize(at + 1500, 0);
        payload[at] = 254;
        payload[at + 1] = i;
        payload[at + 2] = 1500 & 0xFF;
        payload[at + 3] = 1500 >> 8;
        std::memcpy(&payload[at + 4], data.data(), data.size());
        uint16_t crc = crc16(&payload[at], 1498);
        payload[at + 1498] = uint8_t(crc);
        payload[at + 1499] = uint8_t(crc >> 8);
    }
    ASSERT_EQ(payload.size(), 3000u);
    lib_env record = found_record(kGateMac);
    int error = 0;
    ASSERT_EQ(Nexolt_WriteBIN(1, &record, payload.data(), int(payload.size()), &error, port, 0, 16),
              1)
        << error;
    auto writes = logged(3);
    ASSERT_EQ(writes.size(), 3u) << "each fragment sent once";
    const long sizes[] = {1460, 1460, 176}, offsets[] = {0, 1428, 2856};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(json_number(writes[i], "datagram"), sizes[i]);
        EXPECT_EQ(json_number(writes[i], "fragment"), offsets[i]);
        EXPECT_EQ(json_number(writes[i], "flags") & 0x04, i < 2 ? 0x04 : 0) << i;
    }
    EXPECT_EQ(json_number(writes[2], "payload"), 3000) << "reassembled by the device";
    EXPECT_EQ(json_number(writes[2], "status"), 0);
}

TEST_F(Operations, ChangePasswordThenWriteWithTheNewOne) {
    lib_env record = found_record(kYardMac);
    EXPECT_NE(record.password[0], 0) << "the device shows that it has a password";
    Field old_pw = password("yard1234"), new_pw = password("gate77");
    int error = 0;
    Field wrong = password("nope1234");
    EXPECT_EQ(Nexolt_ChangePwd(1, &record, wrong.data(), new_pw.data(), &error, port, 0, 16), -1);
    EXPECT_EQ(error, -100);
    ASSERT_EQ(Nexolt_ChangePwd(1, &record, old_pw.data(), new_pw.data(), &error, port, 0, 16), 1)
        << error;
    record = found_record(kYardMac);
    EXPECT_EQ(Nexolt_Write(1, &record, old_pw.data(), &error, port, 0, 16), -1);
    EXPECT_EQ(error, -100);
    record = found_record(kYardMac);
    EXPECT_EQ(Nexolt_Write(1, &record, new_pw.data(), &error, port, 0, 16), 1) << error;
}

TEST_F(Operations, StatusSessionsAreFormattedAndOneCanBeClosed) {
    tevron_info hall{};
    ASSERT_EQ(get_tevron_info_by_index(0, &hall), 1);
    int error = 0;
    ASSERT_EQ(Tevron_Status(&hall, port, &error), 1) << error;
    std::vector<char> text(size_t(get_status_string_length()) + 1);
    get_status_string(text.data());
    EXPECT_STREQ(text.data(), "hall: running, 0 restarts");

    ASSERT_EQ(get_tcpip4_session_count(), 3);
    char line[128];
    ASSERT_EQ(get_tcpip4_session_info(0, line), 1);
    EXPECT_EQ(std::string(line), "[modbus] LISTEN:" + std::to_string(hall_port));
    ASSERT_EQ(get_tcpip4_session_info(2, line), 1);
    EXPECT_STREQ(line, "[nexolt] ESTABLISHED 127.0.0.1:50005");
    EXPECT_EQ(get_tcpip4_session_info(3, line), -1);
    ASSERT_EQ(get_tcpip6_session_count(), 1);
    ASSERT_EQ(get_tcpip6_session_info(0, line), 1);
    EXPECT_STREQ(line, "[http6] LISTEN:80");

    ASSERT_EQ(Tevron_CloseTcpIp4(&hall, 1, "", &error), 1) << error;
    ASSERT_EQ(Tevron_Status(&hall, port, &error), 1) << error;
    ASSERT_EQ(get_tcpip4_session_count(), 2);
    get_tcpip4_session_info(1, line);
    EXPECT_STREQ(line, "[nexolt] ESTABLISHED 127.0.0.1:50005") << "[http] is gone";
}

TEST_F(Operations, RebootIsCountedInTheStatus) {
    lib_env record = found_record(kGateMac);
    int error = 0;
    ASSERT_EQ(Nexolt_ReBoot(1, &record, &error, port, 0, 16), 1) << error;
    char text[64] = {};
    uint8_t sessions[48 * 24];
    int count = 0;
    ASSERT_EQ(Nexolt_Status(1, &record, text, sizeof text, sessions, &count, &error, port, 0, 16),
              1)
        << error;
    EXPECT_STREQ(text, "gate: running, 1 restarts");
    EXPECT_EQ(count, 3);
    EXPECT_EQ(sessions[0], 1) << "LISTEN";
}

TEST_F(Operations, DuplicateAddressResultsAreKept) {
    lib_env record = found_record(kHallMac);
    int error = 0;
    ASSERT_EQ(Nexolt_DAD(1, &record, &error, port, 0, 16), 1) << error;
    EXPECT_EQ(get_dad_count_ip4(), 0);
    EXPECT_DOUBLE_EQ(get_dad_tick_ip4(), 1.0);
    EXPECT_DOUBLE_EQ(get_dad_tick_ip6_link_local(), 2.0);
    EXPECT_DOUBLE_EQ(get_dad_tick_ip6_gua(), 3.0);
    auto control = logged(9);
    ASSERT_FALSE(control.empty());
    EXPECT_NE(control[0].find("\"note\":\"dad\""), std::string::npos);
}

TEST_F(Operations, SelfSignedCertificateIsWrittenAndReadBack) {
    int error = 0;
    EXPECT_EQ(Tevron_ReadCert(kGateMac, port, &error), -1);
    EXPECT_EQ(error, -909) << "nothing written yet";
    ASSERT_EQ(Tevron_WriteSelfSignedCertificates(kGateMac, 1024, "KR", "Seoul", "Guro", "Tarvex",
                                                 "Plant", "gate.example", "ops@example.com", port,
                                                 &error),
              1)
        << error;
    auto writes = logged(12);
    ASSERT_GE(writes.size(), 4u) << "certificate items go out in pieces, each twice";
    EXPECT_EQ(json_number(writes.front(), "flags") & 0x04, 0x04);
    EXPECT_NE(writes[1].find("fragment repeat"), std::string::npos) << writes[1];
    EXPECT_EQ(json_number(writes.back(), "flags") & 0x04, 0);

    ASSERT_EQ(Tevron_ReadCert(kGateMac, port, &error), 1) << error;
    std::vector<char> text(size_t(get_certificates_string_length()) + 1);
    get_certificates_string(text.data());
    std::string shown(text.data());
    EXPECT_EQ(shown.rfind("Issuer :\r\n", 0), 0u) << shown;
    EXPECT_NE(shown.find("gate.example"), std::string::npos);
    EXPECT_NE(shown.find("Public Key Algorithm: rsaEncryption"), std::string::npos);
}

TEST_F(Operations, TevronLayerChecksPasswordLengthFirst) {
    tevron_info yard{};
    ASSERT_EQ(get_tevron_info_by_index(2, &yard), 1);
    int error = 0;
    for (const char* bad : {"abc", "123456789"}) {
        EXPECT_EQ(Tevron_Write(&yard, bad, port, &error), -1) << bad;
        EXPECT_EQ(error, -905) << bad;
    }
    uint8_t unknown[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(Tevron_Write(unknown, "yard1234", port, &error), -1);
    EXPECT_EQ(error, -900);
    EXPECT_EQ(Tevron_Write(&yard, "yard1234", port, &error), 1) << error;
}

} // namespace
