// unpack_data / pack_data: round trips per product kind, emission order, the filler block,
// decoding that stops at a bad block, and the product-derived fields.
#include "blocks.h"
#include "bytes.h"
#include "record_builders.h"
#include "record_codec.h"

#include "nexoltlib/nexoltlib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using nexolt::test::encode;

std::vector<std::pair<int, int>> block_ids(const Bytes& blocks) {
    std::vector<std::pair<int, int>> ids;
    nexolt::BlockReader reader(blocks.data(), blocks.size());
    nexolt::BlockView b;
    while (reader.next(b))
        ids.emplace_back(b.type, b.index);
    EXPECT_FALSE(reader.failed());
    return ids;
}

lib_env decode(const Bytes& blocks, int expect = 1) {
    lib_env env;
    std::memset(&env, 0x5A, sizeof env);
    EXPECT_EQ(unpack_data(blocks.data(), &env, int(blocks.size())), expect);
    return env;
}

template <typename T> T at(const lib_env& env, size_t offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(&env) + offset, sizeof value);
    return value;
}

TEST(RecordCodec, RoundTripsEveryProductKind) {
    struct Case {
        const char* name;
        lib_env env;
    } cases[] = {
        {"TKA-31", nexolt::test::io_controller(32)},
        {"TKA-33", nexolt::test::io_controller(52)},
        {"TKA-31P", nexolt::test::io_controller(104)},
        {"serial, 2 ports", nexolt::test::serial_server(17, 17, 2)},
        {"serial, alternative blocks", nexolt::test::serial_server(54, 54, 3)},
        {"wireless", nexolt::test::wireless_server()},
        {"PLM-40", nexolt::test::plm40()},
        {"RTU", nexolt::test::rtu()},
    };
    for (auto& c : cases) {
        Bytes first = encode(c.env);
        lib_env decoded = decode(first);
        EXPECT_EQ(encode(decoded), first) << c.name;
        EXPECT_EQ(decoded.product_id, c.env.product_id) << c.name;
        EXPECT_EQ(decoded.ip4_address, c.env.ip4_address) << c.name;
        EXPECT_STREQ(decoded.comment, c.env.comment) << c.name;
        for (int n = 0; n < NEXOLT_MAX_UART; ++n) {
            EXPECT_EQ(decoded.uart[n].exists, c.env.uart[n].exists) << c.name << " port " << n;
            EXPECT_EQ(std::memcmp(&decoded.uart[n], &c.env.uart[n], sizeof decoded.uart[n]), 0)
                << c.name << " port " << n;
        }
    }
}

TEST(RecordCodec, IoControllerFieldsAtTheirOffsets) {
    lib_env env = decode(encode(nexolt::test::io_controller(32)));
    EXPECT_EQ(at<uint16_t>(env, 86), 32);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&env) + 7808), "line 32");
    EXPECT_EQ(at<uint8_t>(env, 7992), 8);
    EXPECT_EQ(at<uint8_t>(env, 7993), 8);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&env) + 8316 + 16 * 3), "Door 3");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&env) + 8444 + 16 * 7), "Lamp 7");
    EXPECT_EQ(at<uint32_t>(env, 8572) & NEXOLT_IO_ACTIVE, NEXOLT_IO_ACTIVE);
    EXPECT_EQ(at<uint16_t>(env, 8572 + 8), 502);
    EXPECT_EQ(at<uint16_t>(env, 8572 + 10), 7);
    EXPECT_EQ(at<uint16_t>(env, 8572 + 14), 8);
    EXPECT_EQ(at<uint32_t>(env, 8628), 1u);
    EXPECT_STREQ(env.io.modbus_peer_host, "scada.example");
    EXPECT_STREQ(env.io.macro[0], "I0*(I1+/I2)");
    // Link-quality counters are preset when the device does not send them.
    EXPECT_EQ(at<uint32_t>(env, 9344), 1000u);
    EXPECT_EQ(at<uint32_t>(env, 9344 + 28), 70u);
}

TEST(RecordCodec, IoControllerEmissionOrder) {
    lib_env env = nexolt::test::io_controller(52);
    std::vector<std::pair<int, int>> expected = {
        {2, 1},  {2, 0},  {3, 0},  {3, 1}, {3, 2},    {3, 3}, {5, 0},  {7, 0},
        {33, 0}, {34, 0}, {8, 0},  {8, 1}, {35, 128}, {6, 0}, {6, 1},  {64, 0},
        {36, 0}, {37, 0}, {35, 2}, {7, 1}, {7, 2},    {7, 9}, {39, 0}, {40, 0}};
    EXPECT_EQ(block_ids(encode(env)), expected);
}

TEST(RecordCodec, OptionalSectionsFollowTheArguments) {
    lib_env env = nexolt::test::serial_server(17, 17, 1);
    env.options |= 2u << NEXOLT_OPT_DDNS_SHIFT;
    uint8_t out[NEXOLT_MAX_PAYLOAD];
    int length = 0;
    ASSERT_EQ(pack_data(out, 32, 0, 0, 1, 0, 1, 0, 1, &env, &length), 1);
    auto ids = block_ids(Bytes(out, out + length));
    auto has = [&](int t, int i) {
        return std::find(ids.begin(), ids.end(), std::pair{t, i}) != ids.end();
    };
    EXPECT_TRUE(has(4, 0) && has(4, 2) && has(4, 3) && has(4, 16) && has(43, 0)) << "IPv6";
    EXPECT_FALSE(has(4, 8)) << "only the P models have a Modbus/TCP IPv6 peer";
    EXPECT_TRUE(has(35, 129) && !has(35, 128)) << "dynamic DNS kind 2";
    EXPECT_TRUE(has(46, 0) && has(46, 1) && has(46, 2)) << "e-mail notification";
    EXPECT_EQ(ids.back(), (std::pair{38, 0})) << "tuning comes last";

    env.options = (env.options & ~(7u << NEXOLT_OPT_DDNS_SHIFT)) | (5u << NEXOLT_OPT_DDNS_SHIFT);
    ids = block_ids(encode(env));
    EXPECT_FALSE(has(35, 128) || has(35, 129)) << "kinds 4 to 7 send no host name";
}

TEST(RecordCodec, FillerAfterA256ByteBoundary) {
    // Dynamic DNS off (kind 4), three serial ports and the tuning block come to 768 bytes.
    lib_env env = nexolt::test::serial_server(17, 17, 3);
    env.options |= 4u << NEXOLT_OPT_DDNS_SHIFT;
    uint8_t out[NEXOLT_MAX_PAYLOAD];
    int length = 0;
    ASSERT_EQ(pack_data(out, 32, 0, 0, 0, 0, 0, 0, 1, &env, &length), 1);
    ASSERT_EQ(length, 776);
    const uint8_t* last = out + 768;
    EXPECT_EQ(last[0], 0);
    EXPECT_EQ(last[1], 0);
    EXPECT_EQ(nexolt::load_u16(last + 2), 8);
    EXPECT_EQ(unpack_data(out, &env, length), 1);

    ASSERT_EQ(pack_data(out, 32, 0, 0, 0, 0, 0, 0, 0, &env, &length), 1);
    EXPECT_EQ(length, 752) << "no filler elsewhere";
}

TEST(RecordCodec, DecodingStopsAtTheFirstBadBlock) {
    Bytes blocks;
    const uint16_t id = 52;
    nexolt::append_block(blocks, 2, 1, &id, 2);
    char comment[64] = "kept?";
    nexolt::append_block(blocks, 7, 0, comment, 64);
    const uint32_t address = 0x0701000A;
    nexolt::append_block(blocks, 3, 0, &address, 4);

    Bytes bad = blocks;
    bad[8 + 10] ^= 0xFF; // inside the comment block
    lib_env env = decode(bad, 0);
    EXPECT_EQ(env.product_id, 52);
    EXPECT_EQ(env.io.input_count, 2);
    EXPECT_EQ(env.comment[0], 0);
    EXPECT_EQ(env.ip4_address, 0u);

    Bytes short_block = blocks;
    short_block.resize(blocks.size() - 3);
    env = decode(short_block, 0);
    EXPECT_STREQ(env.comment, "kept?");
    EXPECT_EQ(env.ip4_address, 0u);

    Bytes zero_length = blocks;
    nexolt::store_u16(zero_length.data() + 2, 0);
    decode(zero_length, 0);
}

Bytes product_blocks(uint16_t code, uint16_t id) {
    Bytes blocks;
    nexolt::append_block(blocks, 2, 0, &code, 2);
    nexolt::append_block(blocks, 2, 1, &id, 2);
    return blocks;
}

TEST(RecordCodec, ProductDerivedPortCountsAndFlags) {
    struct Case {
        uint16_t code, id;
        int inputs, outputs, is_io, is_wlan;
    } cases[] = {{0, 52, 2, 1, 1, 0}, {0, 104, 8, 8, 1, 0}, {16, 0, 8, 8, 1, 0},
                 {34, 0, 4, 4, 1, 0}, {0, 102, 4, 4, 1, 0}, {0, 103, 2, 1, 1, 0},
                 {21, 0, 0, 0, 0, 1}, {0, 60, 0, 0, 0, 1},  {17, 17, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        lib_env env = decode(product_blocks(c.code, c.id));
        EXPECT_EQ(env.io.input_count, c.inputs) << c.code << "/" << c.id;
        EXPECT_EQ(env.io.output_count, c.outputs) << c.code << "/" << c.id;
        EXPECT_EQ(int(env.io.is_io), c.is_io) << c.code << "/" << c.id;
        EXPECT_EQ(int(env.is_wlan), c.is_wlan) << c.code << "/" << c.id;
    }
}

TEST(RecordCodec, HostNameIndexTwoDependsOnTheIoFlag) {
    char host[64] = "peer.example";
    Bytes io = product_blocks(0, 32);
    nexolt::append_block(io, 35, 2, host, 64);
    lib_env env = decode(io);
    EXPECT_STREQ(env.io.modbus_peer_host, "peer.example");
    EXPECT_EQ(env.uart[2].exists, 0u);

    Bytes serial;
    nexolt::append_block(serial, 35, 2, host, 64);
    serial.insert(serial.end(), io.begin(), io.begin() + 16);
    env = decode(serial);
    EXPECT_EQ(env.io.modbus_peer_host[0], 0);
    EXPECT_STREQ(env.uart[2].peer_host, "peer.example");
    EXPECT_EQ(env.uart[2].exists, 1u);
}

TEST(RecordCodec, PostDecodingFillsThePageStoreSize) {
    struct Case {
        uint16_t id, reported, shown;
    } cases[] = {{32, 0, 80}, {52, 0, 80}, {103, 0, 96}, {104, 0, 96}, {32, 64, 64}};
    for (const auto& c : cases) {
        Bytes blocks = product_blocks(0, c.id);
        nexolt::append_block(blocks, 64, 0, &c.reported, 2);
        lib_env env = decode(blocks);
        nexolt::post_decode(env);
        EXPECT_EQ(env.io.html_size_kb, c.shown) << c.id;
    }
}

TEST(RecordCodec, PostDecodingFirmwareBits) {
    lib_env env = nexolt::test::serial_server(17, 17, 2);
    env.firmware_major = 1;
    env.firmware_minor_rev = 511;
    nexolt::post_decode(env);
    EXPECT_EQ(env.options & NEXOLT_OPT_SECURE, 0u);
    env.firmware_minor_rev = 512;
    nexolt::post_decode(env);
    EXPECT_NE(env.options & NEXOLT_OPT_SECURE, 0u);
    EXPECT_NE(env.uart[1].dev.word & (1u << 18), 0u);

    lib_env plm = nexolt::test::plm40();
    nexolt::post_decode(plm);
    EXPECT_NE(nexolt::load_u32(plm.plm + NEXOLT_PLM_SERIAL) & (1u << 18), 0u);
}

TEST(RecordCodec, WirelessKeyAndPowerTableBeforeEncoding) {
    lib_env env = nexolt::test::wireless_server();
    Bytes blocks = encode(env);
    lib_env decoded = decode(blocks);
    const uint8_t ieee_key[4] = {0xf4, 0x2c, 0x6f, 0xc5};
    EXPECT_EQ(std::memcmp(decoded.wpa_psk, ieee_key, 4), 0);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(decoded.wlan_power[i], 56);
    EXPECT_EQ(decoded.wlan_power[14], 0);

    env.options &= ~NEXOLT_OPT_WLAN;
    std::memset(env.wlan_power, 0, sizeof env.wlan_power);
    decoded = decode(encode(env));
    EXPECT_EQ(decoded.wpa_psk[0] | decoded.wpa_psk[31], 0) << "key cleared while wireless is off";
    EXPECT_EQ(decoded.wlan_power[0], 0);
}

TEST(RecordCodec, SecondPortBaudRule) {
    lib_env env = nexolt::test::serial_server(18, 18, 2);
    env.uart[0].dev.sio_baud = env.uart[0].dev.max_baud;
    lib_env decoded = decode(encode(env));
    EXPECT_EQ(decoded.uart[1].dev.sio_baud, 0u);
    env.uart[0].dev.sio_baud = 9600;
    env.uart[1].dev.sio_baud = 0;
    decoded = decode(encode(env));
    EXPECT_EQ(decoded.uart[1].dev.sio_baud, 19200u);
}

TEST(RecordCodec, OperationDataIsKeptBesideTheRecord) {
    Bytes blocks;
    const char message[] = "firmware update pending";
    nexolt::append_block(blocks, 53, 0, message, sizeof message);
    const uint8_t cert[5] = {0x30, 0x03, 0x02, 0x01, 0x05};
    nexolt::append_block(blocks, 11, 2, cert, sizeof cert);
    decode(blocks);
    char text[64] = {};
    EXPECT_EQ(get_device_message(text), int(std::strlen(message)));
    EXPECT_STREQ(text, message);
    EXPECT_GE(get_cert_length(), 5);
    uint8_t kept[16] = {};
    get_cert(kept);
    EXPECT_EQ(std::memcmp(kept, cert, 5), 0);

    blocks.clear();
    const uint8_t zeros[8] = {};
    nexolt::append_block(blocks, 11, 2, zeros, sizeof zeros);
    decode(blocks);
    EXPECT_EQ(get_cert_length(), 0) << "an all-zero certificate clears the kept one";
}

TEST(RecordCodec, UartCountFromRawBlocks) {
    Bytes blocks = encode(nexolt::test::serial_server(17, 17, 3));
    EXPECT_EQ(get_uart_count_from_raw_buf(blocks.data(), int(blocks.size())), 3);
    blocks[blocks.size() - 1] ^= 1;
    EXPECT_EQ(get_uart_count_from_raw_buf(blocks.data(), int(blocks.size())), -1);
}

TEST(RecordCodec, CopyRecord) {
    lib_env a = nexolt::test::io_controller(32), b{};
    copy_lib_env(&b, &a);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
}

// Block (7, 17 + n) describes serial port n only on the products that send it; elsewhere it
// neither fills a description nor makes the port exist.
TEST(Decode, SerialDescriptionsOnlyForTheProductsThatSendThem) {
    const struct {
        uint16_t code;
        bool described;
    } cases[] = {{54, true}, {57, true}, {58, true}, {16, false}, {18, false}, {21, false}};
    char text[32] = "Line to the packing hall";
    for (const auto& c : cases) {
        Bytes blocks;
        nexolt::append_block(blocks, 2, 0, &c.code, 2);
        nexolt::append_block(blocks, 7, 18, text, sizeof text);
        lib_env env = decode(blocks);
        EXPECT_EQ(env.uart[1].exists, c.described ? 1u : 0u) << c.code;
        EXPECT_EQ(std::string(env.uart[1].description), c.described ? text : "") << c.code;
    }
}

} // namespace
