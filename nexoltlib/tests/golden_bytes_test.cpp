// Bytes written out by hand from the protocol's tables, never produced by the library: the
// device side of tevronsim shares the library's encoder and cipher, so only these catch a
// rule that is wrong on both ends. Block CRCs were worked out with an independent CRC-16.
#include "blocks.h"
#include "device_exchange.h"
#include "device_lists.h"
#include "frame.h"
#include "reassembly.h"
#include "record_builders.h"
#include "record_codec.h"
#include "reply_intake.h"
#include "tevron_table.h"

#include "nexoltlib/accessors.h"
#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using BlockId = std::pair<int, int>; // type, index

const uint8_t kMac[6] = {0x00, 0x30, 0xF9, 0x12, 0x34, 0x56};

// The whole block (type, index) of a block sequence, walked by its length fields.
Bytes block_of(const Bytes& blocks, int type, int index) {
    for (size_t at = 0; at + 4 <= blocks.size();) {
        size_t length = size_t(blocks[at + 2] | (blocks[at + 3] << 8));
        if (length < 8 || at + length > blocks.size()) break;
        if (blocks[at] == type && blocks[at + 1] == index)
            return Bytes(blocks.begin() + long(at), blocks.begin() + long(at + length));
        at += length;
    }
    return {};
}

std::vector<BlockId> block_ids(const Bytes& blocks) {
    std::vector<BlockId> ids;
    for (size_t at = 0; at + 4 <= blocks.size();) {
        size_t length = size_t(blocks[at + 2] | (blocks[at + 3] << 8));
        if (length < 8 || at + length > blocks.size()) break;
        ids.emplace_back(blocks[at], blocks[at + 1]);
        at += length;
    }
    return ids;
}

Bytes record_bytes(const lib_env& env, size_t offset, size_t size) {
    auto* base = reinterpret_cast<const uint8_t*>(&env);
    return Bytes(base + offset, base + offset + size);
}

// ---- Cipher key: the 14-byte device constant, then the payload CRC low byte first.

TEST(GoldenCipher, KeyIsTheDeviceConstantThenTheCrcLowByteFirst) {
    // RC4 under 4E 78 6C 21 9B 3D E2 57 0A C4 71 8F 26 B9 | 34 12 of "settings".
    const Bytes expected = {0xF1, 0x13, 0x15, 0x8C, 0x05, 0x48, 0x62, 0xFE};
    Bytes out(8);
    rc4_crypt_data(0x1234, reinterpret_cast<const uint8_t*>("settings"), 8, out.data());
    EXPECT_EQ(out, expected);
}

TEST(GoldenCipher, EncipheredRequestFrame) {
    const uint8_t password[10] = {'s', 'e', 'c', 'r', 'e', 't'};
    Bytes payload;
    nexolt::append_block(payload, 6, 0, password, sizeof password);
    const Bytes plain = {
        0x06, 0x00, 0x10, 0x00,                                   // type 6, index 0, length 16
        's',  'e',  'c',  'r',  'e', 't', 0x00, 0x00, 0x00, 0x00, // current password
        0x4C, 0x9E,                                               // CRC, no padding for 10
    };
    ASSERT_EQ(payload, plain);
    const Bytes expected = {0x2A, 0x76, 0x4E, 0x01, // magic
                            0x33,                   // version
                            0x01,                   // flags: enciphered
                            0x04,                   // command: change password
                            0x00,                   // status
                            0x7A, 0x98,             // CRC of the plaintext payload, little-endian
                            0x00, 0x30, 0xF9, 0x12, 0x34, 0x56, // MAC
                            0x00, 0x00, 0x00, 0x00,             // reserved, firmware
                            0x02, 0x01,                         // sequence 0x0102
                            0x00, 0x00,                         // fragment offset
                            0x00, 0x00, 0x00, 0x00,             // capability marker and bits
                            0x00, 0x00, 0x00, 0x00,             // reserved
                            // the block under the key ending 7A 98
                            0xF2, 0x90, 0x55, 0xCD, 0x57, 0x5B, 0x3B, 0x3F, 0x51, 0x35, 0xC2, 0xEF,
                            0xA3, 0x23, 0xCB, 0x6A};
    EXPECT_EQ(nexolt::build_request(nexolt::kCmdChangePassword, 0x01, kMac, 0x0102, payload),
              expected);
}

TEST(GoldenCipher, SettingsFileKeyHasZeroInTheCrcPlace) {
    const Bytes file = {
        0x08, 0x00, 0x00, 0x00, // payload length
        // block (2,1) 02 01 08 00 34 00 BD 5C under the key ending 00 00
        0x35, 0xBF, 0x5D, 0x42, 0xD5, 0x44, 0x9E, 0x78, 0xAA, 0xED, // CRC of the payload as stored
        0x00, 0x00, 0x00, 0x00, '3', 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // trailer, version '3'
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    std::string path = testing::TempDir() + "golden_" + std::to_string(getpid()) + ".nlx";
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(std::fwrite(file.data(), 1, file.size(), out), file.size());
    std::fclose(out);
    auto result = std::make_unique<nexolt_env_file>();
    EXPECT_EQ(parse_env_file(path.c_str(), result.get()), 0);
    std::remove(path.c_str());
    EXPECT_EQ(result->result, 0);
    ASSERT_EQ(result->payload_length, 8);
    const Bytes plain = {0x02, 0x01, 0x08, 0x00, 0x34, 0x00, 0xBD, 0x5C};
    EXPECT_EQ(Bytes(result->payload, result->payload + 8), plain);
}

// ---- Field order inside the blocks.

// A device in the lookup table, so the accessors can set fields by their meaning.
lib_env& known_device(const lib_env& env) {
    nexolt::clear_device_lists();
    nexolt::DeviceEntry entry;
    std::memcpy(entry.mac, kMac, 6);
    entry.env = env;
    std::memcpy(entry.env.mac, kMac, 6);
    entry.decoded = true;
    entry.product_id = env.product_id;
    entry.interface_address = "127.0.0.1";
    nexolt::store_device(1, entry);
    nexolt::rebuild_tevron_table();
    return nexolt::find_device(1, kMac)->env;
}

Bytes encode(lib_env env, nexolt::EncodeOptions options = {}) {
    return nexolt::encode_record(env, options);
}

TEST(GoldenBlocks, IdentityBlockGivesMacAndSecureValue) {
    const Bytes block = {
        0x01, 0x00, 0x14, 0x00,             // type 1, index 0, length 20
        0x00, 0x30, 0xF9, 0xAA, 0xBB, 0xCC, // MAC
        0x11, 0x22, 0x33, 0x44, 0x55, 0x66, // SECURE
        0x00, 0x00,                         // padding
        0x39, 0x83,                         // CRC
    };
    lib_env env;
    ASSERT_TRUE(nexolt::decode_record(block.data(), block.size(), env, nullptr));
    EXPECT_EQ(record_bytes(env, 6, 6), Bytes(block.begin() + 10, block.begin() + 16))
        << "SECURE at record offset 6";
}

TEST(GoldenBlocks, Ip6AddressThenPrefixLength) {
    const Bytes block = {
        0x04, 0x00, 0x18, 0x00,                         // type 4, index 0, length 24
        0x20, 0x01, 0x0D, 0xB8, 0x00, 0x00, 0x00, 0x00, // 2001:db8::1
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, //
        0x40, 0x00,                                     // prefix length 64
        0x5A, 0xD8,                                     // CRC
    };
    lib_env env = nexolt::test::serial_server(17, 17, 1);
    inet_pton(AF_INET6, "2001:db8::1", env.ip6_address);
    env.ip6_prefix = 64;
    nexolt::EncodeOptions ip6;
    ip6.ip6 = true;
    EXPECT_EQ(block_of(encode(env, ip6), 4, 0), block);

    lib_env decoded;
    ASSERT_TRUE(nexolt::decode_record(block.data(), block.size(), decoded, nullptr));
    EXPECT_EQ(record_bytes(decoded, 232, 18), Bytes(block.begin() + 4, block.begin() + 22));
}

TEST(GoldenBlocks, AllowedIp4AddressThenMask) {
    const Bytes block = {
        0x22, 0x00, 0x10, 0x00, // type 34, index 0, length 16
        0xC0, 0xA8, 0x07, 0x00, // 192.168.7.0
        0xFF, 0xFF, 0xFF, 0x00, // 255.255.255.0
        0x00, 0x00,             // padding
        0x63, 0x13,             // CRC
    };
    lib_env env = nexolt::test::serial_server(17, 17, 1);
    inet_pton(AF_INET, "192.168.7.0", &env.allowed_ip4_address);
    inet_pton(AF_INET, "255.255.255.0", &env.allowed_ip4_mask);
    EXPECT_EQ(block_of(encode(env), 34, 0), block);

    lib_env decoded;
    ASSERT_TRUE(nexolt::decode_record(block.data(), block.size(), decoded, nullptr));
    EXPECT_EQ(record_bytes(decoded, 7800, 8), Bytes(block.begin() + 4, block.begin() + 12));
}

TEST(GoldenBlocks, AddressNotification) {
    const Bytes block = {
        0x27, 0x00, 0x14, 0x00, // type 39, index 0, length 20
        0x01, 0x00, 0x00, 0x00, // bits 0-2: data format 1 (hexadecimal)
        0x0A, 0x00, 0x00, 0x09, // peer 10.0.0.9
        0x58, 0x1B,             // peer port 7000
        0x3C, 0x00,             // interval 60
        0x00, 0x00,             // padding
        0xAE, 0x62,             // CRC
    };
    lib_env& env = known_device(nexolt::test::serial_server(17, 17, 1));
    EXPECT_EQ(set_ip4_change_notification_data_type(kMac, 1), 1);
    EXPECT_EQ(set_ip4_change_notification_peer_address(kMac, "10.0.0.9"), 1);
    EXPECT_EQ(set_ip4_change_notification_peer_port(kMac, 7000), 1);
    EXPECT_EQ(set_ip4_change_notification_interval(kMac, 60), 1);
    EXPECT_EQ(block_of(encode(env), 39, 0), block);
}

TEST(GoldenBlocks, EmailNotificationOptionsAndMasks) {
    const Bytes options_block = {
        0x2E, 0x00, 0x14, 0x00, // type 46, index 0, length 20
        0x01,                   // protocol: SMTP
        0x03,                   // event type 3
        0x02,                   // security: TLS
        0x00,                   //
        0xC0, 0xA8, 0x01, 0x19, // server 192.168.1.25
        0x2C, 0x01,             // interval 300
        0x00, 0x00,             //
        0x00, 0x00,             // padding
        0x5B, 0x8B,             // CRC
    };
    const Bytes masks_block = {
        0x2E, 0x02, 0x10, 0x00, // type 46, index 2, length 16
        0xA5, 0x00, 0x00, 0x00, // notifying input mask
        0x5A, 0x00, 0x00, 0x00, // notifying output mask
        0x00, 0x00,             // padding
        0x80, 0x43,             // CRC
    };
    lib_env& env = known_device(nexolt::test::io_controller(32));
    EXPECT_EQ(set_event_notification_protocol(kMac, 1), 1);
    EXPECT_EQ(set_event_notification_type(kMac, 3), 1);
    EXPECT_EQ(set_event_notification_auth(kMac, 2), 1);
    EXPECT_EQ(set_event_notification_peer_address(kMac, "192.168.1.25"), 1);
    EXPECT_EQ(set_event_notification_interval(kMac, 300), 1);
    env.email_input_mask = 0xA5;
    env.email_output_mask = 0x5A;
    nexolt::EncodeOptions email;
    email.email_notification = true;
    Bytes blocks = encode(env, email);
    EXPECT_EQ(block_of(blocks, 46, 0), options_block);
    EXPECT_EQ(block_of(blocks, 46, 2), masks_block);
}

struct SerialCase {
    const char* name;
    uint16_t product_code;
    Bytes hardware, network, separator;
};

TEST(GoldenBlocks, SerialPortBlocksByProduct) {
    // Hardware word 0x06B6: max_stype 2, stype 1 (RS485), databit 3 (8), stopbit 2 (two),
    // parity 2 (odd), flowctrl 1 (RTS/CTS); then max_baud 230400 and sio_baud 115200.
    // Network: local_ip 0, peer 192.168.7.50, ports 4001/4002, COD, no_delay and
    // cod_listen, water_mark 512, time_mark 100, timeout 30. Separator 0D 0A, length 2,
    // send rule 1.
    const SerialCase cases[] = {
        {"code 17",
         17,
         {0x10, 0x00, 0x14, 0x00, 0xB6, 0x06, 0x00, 0x00, 0x00, 0x84,
          0x03, 0x00, 0x00, 0xC2, 0x01, 0x00, 0x00, 0x00, 0x72, 0xC5},
         {0x20, 0x00, 0x1C, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xA8, 0x07, 0x32, 0xA1, 0x0F,
          0xA2, 0x0F, 0x02, 0x03, 0x00, 0x02, 0x64, 0x00, 0x1E, 0x00, 0x00, 0x00, 0x3C, 0xBD},
         {0x2A, 0x00, 0x0C, 0x00, 0x0D, 0x0A, 0x00, 0x00, 0x02, 0x10, 0x3C, 0x44}},
        {"code 54",
         54,
         {0x14, 0x00, 0x14, 0x00, 0xB6, 0x06, 0x00, 0x00, 0x00, 0x84,
          0x03, 0x00, 0x00, 0xC2, 0x01, 0x00, 0x00, 0x00, 0xD5, 0x35},
         {0x2C, 0x00, 0x1C, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xA8, 0x07, 0x32, 0xA1, 0x0F,
          0xA2, 0x0F, 0x02, 0x03, 0x00, 0x02, 0x64, 0x00, 0x1E, 0x00, 0x00, 0x00, 0x57, 0x1F},
         {0x2D, 0x00, 0x0C, 0x00, 0x0D, 0x0A, 0x00, 0x00, 0x02, 0x10, 0xC6, 0x58}},
    };
    const uint8_t separator[4] = {0x0D, 0x0A, 0x00, 0x00};
    for (const auto& c : cases) {
        lib_env port = nexolt::test::serial_server(c.product_code, c.product_code, 1);
        port.uart[0].dev = {2, 230400, 9600};
        port.uart[0].separator_word = 0;
        lib_env& env = known_device(port);
        EXPECT_EQ(set_uart_serial_type(kMac, 0, 1), 1) << c.name;
        EXPECT_EQ(set_uart_databit(kMac, 0, 8), 1) << c.name;
        EXPECT_EQ(set_uart_stopbit(kMac, 0, 2), 1) << c.name;
        EXPECT_EQ(set_uart_parity(kMac, 0, 2), 1) << c.name;
        EXPECT_EQ(set_uart_flow_control(kMac, 0, 1), 1) << c.name;
        EXPECT_EQ(set_uart_baudrate(kMac, 0, 115200), 1) << c.name;
        EXPECT_EQ(set_uart_local_port(kMac, 0, 4001), 1) << c.name;
        EXPECT_EQ(set_uart_peer_address(kMac, 0, "192.168.7.50"), 1) << c.name;
        EXPECT_EQ(set_uart_peer_port(kMac, 0, 4002), 1) << c.name;
        EXPECT_EQ(set_uart_communication_mode(kMac, 0, NEXOLT_MUX_COD), 1) << c.name;
        EXPECT_EQ(set_uart_tcp_nodelay(kMac, 0, 1), 1) << c.name;
        EXPECT_EQ(set_uart_cod_tcp_server(kMac, 0, 1), 1) << c.name;
        EXPECT_EQ(set_uart_watermark(kMac, 0, 512), 1) << c.name;
        EXPECT_EQ(set_uart_data_frame_interval(kMac, 0, 100), 1) << c.name;
        EXPECT_EQ(set_uart_timeout(kMac, 0, 30), 1) << c.name;
        EXPECT_EQ(set_uart_separator(kMac, 0, separator), 1) << c.name;
        EXPECT_EQ(set_uart_separator_length(kMac, 0, 2), 1) << c.name;
        EXPECT_EQ(set_uart_separator_type(kMac, 0, 1), 1) << c.name;
        Bytes blocks = encode(env);
        EXPECT_EQ(block_of(blocks, c.hardware[0], 0), c.hardware) << c.name;
        EXPECT_EQ(block_of(blocks, c.network[0], 0), c.network) << c.name;
        EXPECT_EQ(block_of(blocks, c.separator[0], 0), c.separator) << c.name;
    }
}

// ---- Blocks emitted per product and option, in the device's order.

std::vector<BlockId> ids_of(const char* text) {
    std::vector<BlockId> ids;
    int type = 0, index = 0, used = 0;
    while (std::sscanf(text, " (%d,%d)%n", &type, &index, &used) == 2) {
        ids.emplace_back(type, index);
        text += used;
    }
    return ids;
}

lib_env with_ddns_kind(lib_env env, uint32_t kind) {
    env.options |= kind << NEXOLT_OPT_DDNS_SHIFT;
    return env;
}

struct EmissionCase {
    const char* name;
    lib_env env;
    nexolt::EncodeOptions options;
    const char* blocks;
};

nexolt::EncodeOptions options(int wpa_limit, bool pp64_only, bool ip6, bool rsn, bool email,
                              bool tune) {
    return {wpa_limit, pp64_only, ip6, rsn, email, tune};
}

TEST(GoldenEmission, BlocksPerProductAndOption) {
    using namespace nexolt::test;
    const auto none = options(32, false, false, false, false, false);
    const EmissionCase cases[] = {
        {"I/O controller, 2 inputs and 1 output", io_controller(52), none,
         "(2,1)(2,0)(3,0)(3,1)(3,2)(3,3)(5,0)(7,0)(33,0)(34,0)(8,0)(8,1)(35,128)(6,0)(6,1)"
         "(64,0)(36,0)(37,0)(35,2)(7,1)(7,2)(7,9)(39,0)(40,0)"},
        {"I/O controller with IPv6, e-mail notification and tuning", io_controller(104),
         options(32, false, true, false, true, true),
         "(2,1)(2,0)(3,0)(3,1)(3,2)(3,3)(4,0)(4,2)(4,3)(4,8)(5,0)(7,0)(33,0)(34,0)(43,0)"
         "(8,0)(8,1)(35,128)(6,0)(6,1)(64,0)(36,0)(36,1)(36,2)(36,3)(36,4)(36,5)(36,6)(36,7)"
         "(37,0)(35,2)(7,1)(7,2)(7,3)(7,4)(7,5)(7,6)(7,7)(7,8)(7,9)(7,10)(7,11)(7,12)(7,13)"
         "(7,14)(7,15)(7,16)(39,0)(46,0)(46,1)(46,2)(40,0)(38,0)"},
        {"code 54, two ports, IPv6", serial_server(54, 54, 2),
         options(32, false, true, false, false, false),
         "(2,1)(2,0)(3,0)(3,1)(3,2)(3,3)(4,0)(4,2)(4,3)"
         "(20,0)(44,0)(35,0)(45,0)(4,16)(7,17)(20,1)(44,1)(35,1)(45,1)(4,17)(7,18)"
         "(5,0)(7,0)(33,0)(34,0)(43,0)(8,0)(8,1)(35,128)(6,0)(6,1)(39,0)(40,0)"},
        {"serial server, dynamic DNS kind 2", with_ddns_kind(serial_server(17, 17, 1), 2), none,
         "(2,1)(2,0)(3,0)(3,1)(3,2)(3,3)(16,0)(32,0)(35,0)(42,0)(5,0)(7,0)(33,0)(34,0)"
         "(8,0)(8,1)(35,129)(6,0)(6,1)(39,0)(40,0)"},
        {"serial server, dynamic DNS kind 5", with_ddns_kind(serial_server(17, 17, 1), 5), none,
         "(2,1)(2,0)(3,0)(3,1)(3,2)(3,3)(16,0)(32,0)(35,0)(42,0)(5,0)(7,0)(33,0)(34,0)"
         "(8,0)(8,1)(6,0)(6,1)(39,0)(40,0)"},
        {"wireless, 32-character limit, RSN", wireless_server(),
         options(32, false, false, true, false, false),
         "(2,1)(2,0)(3,0)(3,1)(3,2)(3,3)(16,0)(32,0)(35,0)(42,0)(5,0)(7,0)(33,0)(34,0)"
         "(8,0)(8,1)(35,128)(6,0)(6,1)(39,0)(40,0)"
         "(9,0)(9,1)(9,2)(9,3)(9,4)(9,5)(9,6)(9,7)(8,3)"},
        {"wireless, 64-character keys only", wireless_server(),
         options(64, true, false, false, false, false),
         "(2,1)(2,0)(3,0)(3,1)(3,2)(3,3)(16,0)(32,0)(35,0)(42,0)(5,0)(7,0)(33,0)(34,0)"
         "(8,0)(8,1)(35,128)(6,0)(6,1)(39,0)(9,0)(9,1)(9,8)(9,9)(9,6)(9,7)"},
        {"PLM-40", plm40(), none,
         "(2,1)(2,0)(3,0)(3,1)(3,2)(3,3)(41,0)(41,1)(41,2)(41,3)(41,4)(35,64)(35,65)"
         "(5,0)(7,0)(33,0)(34,0)(8,0)(8,1)(35,128)(6,0)(6,1)(39,0)(40,0)"},
        {"RTU, port map even with 64-character keys only", rtu(),
         options(64, true, false, false, false, false),
         "(2,1)(2,0)(3,0)(3,1)(3,2)(3,3)(16,0)(41,5)(41,6)(5,0)(7,0)(33,0)(34,0)"
         "(8,0)(8,1)(35,128)(6,0)(6,1)(39,0)(40,0)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(block_ids(encode(c.env, c.options)), ids_of(c.blocks)) << c.name;
}

// ---- Fragmented payloads: one keystream over the whole payload, cut afterwards.

TEST(GoldenFragments, WriteIsEncipheredWholeThenCut) {
    Bytes payload = {0xFE, 0x00, 0xB8, 0x0B}; // user page block, 3000 bytes long
    for (int i = 0; i < 2994; ++i)
        payload.push_back(uint8_t(i * 7));
    payload.insert(payload.end(), {0x91, 0xD1}); // its CRC
    auto frame = nexolt::build_request(nexolt::kCmdWrite, 0x03, kMac, 0x0042, payload);
    auto datagrams = nexolt::split_fragments(frame);
    ASSERT_EQ(datagrams.size(), 3u);

    struct Piece {
        size_t size;
        uint8_t flags, offset_low, offset_high;
        Bytes body_start; // first 8 enciphered bytes of the piece
    };
    const Piece pieces[] = {
        {1460, 0x07, 0x00, 0x00, {0x85, 0x32, 0xBA, 0x64, 0x5B, 0x44, 0x09, 0xAD}},
        {1460, 0x07, 0x94, 0x05, {0xBE, 0xB1, 0x27, 0x53, 0xC7, 0x97, 0xB4, 0x99}},
        {176, 0x03, 0x28, 0x0B, {0x49, 0xA3, 0xBE, 0x38, 0x4A, 0x32, 0x49, 0x9F}},
    };
    for (size_t i = 0; i < 3; ++i) {
        const Bytes& d = datagrams[i];
        const Piece& p = pieces[i];
        ASSERT_EQ(d.size(), p.size) << i;
        const Bytes header = {
            0x2A,         0x76,          0x4E, 0x01, 0x33, // magic, version
            p.flags,                                       // enciphered, unicast, more to come
            0x03,         0x00,                            // write, status
            0x08,         0x45,                            // CRC of the whole plaintext
            0x00,         0x30,          0xF9, 0x12, 0x34, 0x56, // MAC
            0x00,         0x00,          0x00, 0x00, 0x42, 0x00, // reserved, firmware, sequence
            p.offset_low, p.offset_high,                         // fragment offset: 0, 1428, 2856
            0x00,         0x00,          0x00, 0x00, 0x00, 0x00, 0x00, // capability and reserved
            0x00};
        EXPECT_EQ(Bytes(d.begin(), d.begin() + 32), header) << i;
        EXPECT_EQ(Bytes(d.begin() + 32, d.begin() + 40), p.body_start) << i;
    }
}

TEST(GoldenFragments, EncipheredReplyInTwoPieces) {
    // Blocks (2,1) product id 34 and (7,0) comment "golden", enciphered under CRC 0x6D73 and
    // cut after 40 bytes; header flags 0x87 then 0x83, capability bit 6 set.
    const Bytes first = {0x2A, 0x76, 0x4E, 0x01, 0x33, 0x87, 0x02, 0x00, 0x73, 0x6D, 0x00, 0x30,
                         0xF9, 0x12, 0x34, 0x56, 0x00, 0x01, 0x02, 0x00, 0x42, 0x00, 0x00, 0x00,
                         0xC3, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4A, 0x1C, 0xD0, 0x2F,
                         0xF8, 0x58, 0x59, 0xDF, 0x60, 0x20, 0xDA, 0x9E, 0xF0, 0xAA, 0x93, 0x3C,
                         0xD9, 0xE8, 0xFF, 0xDD, 0xB4, 0x7B, 0xD4, 0x65, 0x14, 0xEE, 0xD2, 0xB5,
                         0x3D, 0xD2, 0x62, 0x28, 0x47, 0x9F, 0x6B, 0x92, 0xFB, 0x8A, 0xD9, 0x9C};
    const Bytes second = {0x2A, 0x76, 0x4E, 0x01, 0x33, 0x83, 0x02, 0x00, 0x73, 0x6D, 0x00, 0x30,
                          0xF9, 0x12, 0x34, 0x56, 0x00, 0x01, 0x02, 0x00, 0x42, 0x00, 0x28, 0x00,
                          0xC3, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x7D, 0xCD, 0x55, 0x24,
                          0x76, 0xC5, 0xA0, 0xF0, 0x36, 0x53, 0x1A, 0x97, 0x17, 0xD4, 0xB9, 0x80,
                          0x32, 0x12, 0x96, 0x40, 0xD9, 0x6A, 0x9A, 0x04, 0xC2, 0x5D, 0x23, 0xE8,
                          0xAE, 0xBE, 0x54, 0x00, 0x10, 0x54, 0x10, 0x56, 0xFE, 0x2B, 0x85, 0xB2};
    nexolt::clear_device_lists();
    nexolt::reassembly_table().clear();
    nexolt::IntakeContext context;
    context.request =
        nexolt::read_header(nexolt::build_request(nexolt::kCmdRead, 0x03, kMac, 0x0042, {}).data());
    context.target = htonl(INADDR_LOOPBACK);
    context.max_results = 4;
    const nexolt::sys::Endpoint device{htonl(INADDR_LOOPBACK), 50005};
    nexolt::take_reply(context, first.data(), first.size(), device, {"127.0.0.1", 1});
    EXPECT_TRUE(context.results.empty()) << "more to come";
    nexolt::take_reply(context, second.data(), second.size(), device, {"127.0.0.1", 1});
    ASSERT_EQ(context.results.size(), 1u);
    EXPECT_TRUE(context.results[0].decoded);
    EXPECT_EQ(context.results[0].env.product_id, 34);
    EXPECT_STREQ(context.results[0].env.comment, "golden");
}

} // namespace
