// Block framing and request frames, byte for byte.
#include "blocks.h"
#include "bytes.h"
#include "frame.h"
#include "rc4.h"

#include "nexoltlib/nexoltlib.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(BlockFraming, PaddingKeepsLengthsMultiplesOfFour) {
    struct Case {
        size_t n, length;
    } cases[] = {{0, 8}, {1, 8}, {2, 8}, {3, 12}, {4, 12}, {5, 12}, {6, 12}, {7, 16}, {56, 64}};
    for (const auto& c : cases) {
        Bytes data(c.n, 0xAB), out;
        nexolt::append_block(out, 7, 3, data.data(), c.n);
        ASSERT_EQ(out.size(), c.length) << c.n;
        EXPECT_EQ(nexolt::load_u16(out.data() + 2), c.length);
        EXPECT_EQ(nexolt::load_u16(out.data() + c.length - 2),
                  crc16(out.data(), int(c.length - 2)));
        for (size_t i = 4 + c.n; i < c.length - 2; ++i)
            EXPECT_EQ(out[i], 0) << "padding";
    }
}

TEST(BlockFraming, ExactBytes) {
    Bytes out;
    const uint8_t code[2] = {0x20, 0x00};
    nexolt::append_block(out, 2, 1, code, 2);
    uint16_t crc = crc16(Bytes{0x02, 0x01, 0x08, 0x00, 0x20, 0x00}.data(), 6);
    EXPECT_EQ(out, (Bytes{0x02, 0x01, 0x08, 0x00, 0x20, 0x00, uint8_t(crc), uint8_t(crc >> 8)}));

    out.clear();
    nexolt::append_block(out, 0, 0, nullptr, 0);
    crc = crc16(Bytes{0, 0, 8, 0, 0, 0}.data(), 6);
    EXPECT_EQ(out, (Bytes{0, 0, 8, 0, 0, 0, uint8_t(crc), uint8_t(crc >> 8)}));
}

TEST(BlockReader, StopsAtBadBlocks) {
    Bytes good;
    const uint8_t value[4] = {1, 2, 3, 4};
    nexolt::append_block(good, 3, 0, value, 4);
    nexolt::append_block(good, 3, 1, value, 4);

    struct Case {
        const char* name;
        Bytes bytes;
        int blocks_read;
        bool failed;
    };
    Bytes bad_crc = good;
    bad_crc[12 + 5] ^= 1;
    Bytes overrun = good;
    nexolt::store_u16(overrun.data() + 12 + 2, 16);
    Bytes tiny = good;
    nexolt::store_u16(tiny.data() + 2, 4);
    Bytes trailing = good;
    trailing.push_back(0);
    Case cases[] = {
        {"good", good, 2, false},
        {"bad CRC in the second block", bad_crc, 1, true},
        {"length beyond the data", overrun, 1, true},
        {"length below a block", tiny, 0, true},
        {"stray trailing byte", trailing, 2, true},
        {"empty", {}, 0, false},
    };
    for (const auto& c : cases) {
        nexolt::BlockReader reader(c.bytes.data(), c.bytes.size());
        nexolt::BlockView block;
        int read = 0;
        while (reader.next(block))
            ++read;
        EXPECT_EQ(read, c.blocks_read) << c.name;
        EXPECT_EQ(reader.failed(), c.failed) << c.name;
    }
}

TEST(RequestFrame, HeaderWithoutPayload) {
    const uint8_t mac[6] = {0, 0x30, 0xF9, 1, 2, 3};
    Bytes frame = nexolt::build_request(nexolt::kCmdRead, 0x03, mac, 0x1234, {});
    Bytes expected = {0x2A, 0x76, 0x4E, 0x01, 0x33, 0x03, 0x02, 0x00, 0x00, 0x00, 0x00,
                      0x30, 0xF9, 0x01, 0x02, 0x03, 0x00, 0x00, 0x00, 0x00, 0x34, 0x12,
                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(frame, expected);
}

TEST(RequestFrame, PayloadCrcAndCipher) {
    Bytes payload;
    const uint8_t pw[10] = {'s', 'e', 'c', 'r', 'e', 't'};
    nexolt::append_block(payload, 6, 0, pw, 10);
    uint16_t crc = crc16(payload.data(), int(payload.size()));

    Bytes plain = nexolt::build_request(nexolt::kCmdChangePassword, 0x00, nullptr, 1, payload);
    ASSERT_EQ(plain.size(), 32 + payload.size());
    EXPECT_EQ(nexolt::load_u16(plain.data() + 8), crc);
    EXPECT_EQ(Bytes(plain.begin() + 32, plain.end()), payload);

    Bytes sealed = nexolt::build_request(nexolt::kCmdChangePassword, 0x01, nullptr, 1, payload);
    EXPECT_EQ(nexolt::load_u16(sealed.data() + 8), crc) << "CRC is over the plaintext";
    Bytes body(sealed.begin() + 32, sealed.end()), expected(payload.size());
    nexolt::crypt_payload(crc, payload.data(), expected.data(), payload.size());
    EXPECT_EQ(body, expected);
    EXPECT_NE(body, payload);
}

TEST(RequestFrame, SequenceFollowsTheCounter) {
    uint16_t first = nexolt::next_sequence();
    EXPECT_EQ(nexolt::next_sequence(), uint16_t(first + 1));
}

TEST(ReplyHeader, CapabilitiesNeedTheMarker) {
    nexolt::FrameHeader h{};
    nexolt::store_u16(h.capability_bits, 0x8041);
    EXPECT_EQ(h.capabilities(), 0);
    nexolt::store_u16(h.capability_marker, 0x00C3);
    EXPECT_EQ(h.capabilities(), 0x8041);
    EXPECT_EQ(h.capability_marker[0], 0xC3);
}

} // namespace
