// Text accessors against the caller's buffer: a getter writes at most the field width, the
// terminator included, whatever the field holds. And a WPA passphrase longer than the device
// takes never leaves the library.
#include "device_lists.h"
#include "record_builders.h"
#include "tevron_table.h"

#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

using namespace nexolt::test;

// Lists the record as a found device of the Tevron_ table; returns its cached record.
lib_env& listed(const lib_env& env, uint16_t capabilities = 0) {
    nexolt::clear_device_lists();
    nexolt::DeviceEntry entry;
    std::memcpy(entry.mac, kMac, 6);
    entry.env = env;
    std::memcpy(entry.env.mac, kMac, 6);
    entry.env.device_address = htonl(INADDR_LOOPBACK);
    entry.decoded = true;
    entry.unicast = true;
    entry.capabilities = capabilities;
    entry.interface_address = "127.0.0.1";
    nexolt::store_device(1, entry);
    nexolt::rebuild_tevron_table();
    return nexolt::find_device(1, kMac)->env;
}

char* at(lib_env& env, size_t offset) {
    return reinterpret_cast<char*>(&env) + offset;
}

#define AT(field) offsetof(lib_env, field)

TEST(TextAccessors, FullFieldStaysWithinTheFieldWidth) {
    using Getter = std::function<int(char*)>;
    struct Case {
        const char* name;
        size_t offset, width;
        Getter get;
    };
    const size_t port0 = AT(uart[0]);
    const Case cases[] = {
        {"pppoe_id", AT(pppoe), 24, [](char* t) { return get_pppoe_id(kMac, t); }},
        {"pppoe_pwd", AT(pppoe) + 24, 24, [](char* t) { return get_pppoe_pwd(kMac, t); }},
        {"ddns_id", AT(ddns), 24,
         [](char* t) { return get_ip4_change_notification_ddns_id(kMac, t); }},
        {"ddns_pwd", AT(ddns) + 24, 24,
         [](char* t) { return get_ip4_change_notification_ddns_pwd(kMac, t); }},
        {"ddns_host", AT(ddns_host), 64,
         [](char* t) { return get_ip4_change_notification_ddns_host(kMac, t); }},
        {"comment", AT(comment), 64, [](char* t) { return get_comment(kMac, t); }},
        {"email", AT(email_address), 64,
         [](char* t) { return get_event_notification_email(kMac, t); }},
        {"ssid", AT(ssid), 32, [](char* t) { return get_wlan_ssid(kMac, t); }},
        {"passphrase", AT(wpa_passphrase), 64,
         [](char* t) { return get_wlan_wpa_passphrase(kMac, t); }},
        {"eap_id", AT(eap), 24, [](char* t) { return get_wlan_wpa_enterprise_id(kMac, t); }},
        {"eap_pwd", AT(eap) + 24, 24, [](char* t) { return get_wlan_wpa_enterprise_pwd(kMac, t); }},
        {"plm40_id", AT(plm) + NEXOLT_PLM_ID, 16, [](char* t) { return get_plm40_id(kMac, t); }},
        {"plm40_host1", AT(plm) + NEXOLT_PLM_HOST1, 64,
         [](char* t) { return get_plm40_first_server_host(kMac, t); }},
        {"plm40_host2", AT(plm) + NEXOLT_PLM_HOST2, 64,
         [](char* t) { return get_plm40_second_server_host(kMac, t); }},
        {"rtu_id", AT(plm) + NEXOLT_PLM_RTU_VARS, 16, [](char* t) { return get_rtu_id(kMac, t); }},
        {"macro 7", AT(io.macro) + 7 * 32, 32,
         [](char* t) { return get_io_macro_text(kMac, 7, t); }},
        {"input 2", AT(io.input_description) + 2 * 16, 16,
         [](char* t) { return get_io_comment(kMac, 0, 2, t); }},
        {"output 7", AT(io.output_description) + 7 * 16, 16,
         [](char* t) { return get_io_comment(kMac, 1, 7, t); }},
        {"modbus peer host", AT(io.modbus_peer_host), 64,
         [](char* t) { return get_io_modbus_peer_address(kMac, t); }},
        {"serial peer host", port0 + offsetof(nexolt_uart_section, peer_host), 64,
         [](char* t) { return get_uart_peer_address(kMac, 0, t); }},
    };
    constexpr char kCanary = 0x5A;
    for (const auto& c : cases) {
        lib_env env = io_controller(32);
        env.uart[0].exists = 1;
        lib_env& cached = listed(env);
        std::memset(at(cached, c.offset), 'x', c.width);
        char buffer[64 + 8];
        std::memset(buffer, kCanary, sizeof buffer);
        ASSERT_EQ(c.get(buffer), 1) << c.name;
        EXPECT_EQ(std::string(buffer, c.width), std::string(c.width - 1, 'x') + '\0') << c.name;
        EXPECT_EQ(buffer[c.width], kCanary) << c.name << ": the byte after the buffer";
    }
}

TEST(TextAccessors, PassphraseSetterTakesWhatTheDeviceTakes) {
    const std::string p32(32, 'p'), p33(33, 'p'), p64(64, 'p');
    struct Case {
        const char* name;
        uint16_t capabilities; // bit 2: 64-character passphrases
        const std::string* text;
        int result;
    } cases[] = {
        {"32 on a 32-character device", 0, &p32, 1},
        {"33 on a 32-character device", 0, &p33, -2},
        {"64 on a 64-character device", 0x0004, &p64, 1},
    };
    for (const auto& c : cases) {
        lib_env& cached = listed(wireless_server(), c.capabilities);
        EXPECT_EQ(set_wlan_wpa_passphrase(kMac, c.text->c_str()), c.result) << c.name;
        std::string kept(cached.wpa_passphrase, strnlen(cached.wpa_passphrase, 64));
        EXPECT_EQ(kept, c.result == 1 ? *c.text : "password") << c.name;
    }
}

// Position of block (type, index) in an encoded payload, or the payload's length.
size_t block_at(const uint8_t* blocks, size_t length, uint8_t type, uint8_t index) {
    for (size_t at = 0; at + 4 <= length;) {
        size_t size = size_t(blocks[at + 2] | blocks[at + 3] << 8);
        if (size < 8) break;
        if (blocks[at] == type && blocks[at + 1] == index) return at;
        at += size;
    }
    return length;
}

TEST(TextAccessors, PassphraseBeyondTheDeviceLimitIsNotEncoded) {
    lib_env env = wireless_server();
    std::memset(env.wpa_passphrase, 'p', 64);
    static uint8_t out[NEXOLT_MAX_PAYLOAD];
    int length = 0;
    EXPECT_EQ(pack_data(out, 32, 0, 0, 0, 0, 0, 0, 0, &env, &length), 0);
    EXPECT_EQ(pack_data(out, 64, 0, 0, 0, 0, 0, 0, 0, &env, &length), 1) << "fits (9,8)";

    // 32 characters fill (9,4); the key in (9,5) is PBKDF2-HMAC-SHA1 of them and "IEEE".
    const char* text = "0123456789abcdefghijklmnopqrstuv";
    std::memset(env.wpa_passphrase, 0, 64);
    std::memcpy(env.wpa_passphrase, text, 32);
    ASSERT_EQ(pack_data(out, 32, 0, 0, 0, 0, 0, 0, 0, &env, &length), 1);
    size_t phrase = block_at(out, size_t(length), 9, 4);
    ASSERT_LT(phrase, size_t(length));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out + phrase + 4), 32), text);
    const uint8_t key[32] = {0x6D, 0x31, 0x59, 0x18, 0x9A, 0x7B, 0x88, 0x16, 0x95, 0x02, 0x6C,
                             0x75, 0x89, 0x16, 0x69, 0x99, 0xF8, 0x0F, 0xA7, 0x5B, 0x01, 0xBD,
                             0xDF, 0x1A, 0x72, 0xAA, 0x45, 0xE2, 0xD3, 0xAF, 0x15, 0x0B};
    size_t psk = block_at(out, size_t(length), 9, 5);
    ASSERT_LT(psk, size_t(length));
    EXPECT_EQ(std::memcmp(out + psk + 4, key, 32), 0);
}

TEST(TextAccessors, WriteOfAPassphraseBeyondTheDeviceLimitIsRefused) {
    lib_env env = wireless_server();
    env.ip4_address = htonl(0x0A010001);
    env.ip4_mask = htonl(0xFF000000);
    std::memset(env.wpa_passphrase, 'p', 64);
    lib_env record = listed(env);
    const lib_env before = record;
    for (auto write : {Nexolt_Write, Nexolt_Write2}) {
        int error = 0;
        EXPECT_EQ(write(1, &record, nullptr, &error, 0, 0, 4), -1);
        EXPECT_EQ(error, NEXOLT_ERR_PASSPHRASE_LENGTH);
        EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
    }
}

} // namespace
