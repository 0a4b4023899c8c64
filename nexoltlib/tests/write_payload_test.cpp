// The pieces of a write that need no socket: merging into the reported settings, cutting
// into fragments, session texts, the library banner.
#include "blocks.h"
#include "device_exchange.h"
#include "env_merge.h"
#include "frame.h"
#include "tevron_sessions.h"

#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

using nexolt::append_block;
using Bytes = std::vector<uint8_t>;

Bytes block(uint8_t type, uint8_t index, size_t n, uint8_t fill) {
    Bytes data(n, fill), out;
    append_block(out, type, index, data.data(), n);
    return out;
}

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(MergeIntoRawEnv, Rules) {
    Bytes raw = join({block(5, 0, 4, 1), block(7, 0, 64, 2), block(99, 0, 4, 3)});
    struct Case {
        const char* name;
        Bytes blocks;
        Bytes expected;
    } cases[] = {
        {"same length replaced in place", block(5, 0, 4, 9),
         join({block(5, 0, 4, 9), block(7, 0, 64, 2), block(99, 0, 4, 3)})},
        {"other length takes the old one's place", block(7, 0, 16, 9),
         join({block(5, 0, 4, 1), block(7, 0, 16, 9), block(99, 0, 4, 3)})},
        {"new block appended", block(3, 0, 4, 9), join({raw, block(3, 0, 4, 9)})},
        {"random identifier never merged", block(10, 0, 10, 9), raw},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nexolt::merge_into_raw_env(raw, c.blocks), c.expected) << c.name;
}

TEST(MergeIntoRawEnv, DynamicDnsHostNamesShareOnePlace) {
    Bytes raw = join({block(35, 128, 64, 1), block(5, 0, 4, 1)});
    EXPECT_EQ(nexolt::merge_into_raw_env(raw, block(35, 129, 64, 2)),
              join({block(35, 129, 64, 2), block(5, 0, 4, 1)}));
}

TEST(MergeIntoRawEnv, NothingAppendedBeyondThePayloadLimit) {
    Bytes raw = block(254, 0, 9990, 0); // 9996 bytes
    EXPECT_EQ(nexolt::merge_into_raw_env(raw, block(5, 0, 4, 1)), raw);
}

TEST(RandomIdentifier, AppendedOnceWithTenBytes) {
    Bytes blocks = block(5, 0, 4, 1);
    nexolt::append_random_identifier(blocks);
    ASSERT_EQ(blocks.size(), 12u + 16u);
    EXPECT_EQ(blocks[12], 10);
    EXPECT_EQ(blocks[14], 16) << "10 data bytes: a 16-byte block";
    nexolt::append_random_identifier(blocks);
    EXPECT_EQ(blocks.size(), 28u);
}

TEST(Fragments, ThreeThousandBytesGiveThreeDatagrams) {
    Bytes payload(3000, 0xA5);
    auto frame = nexolt::build_request(nexolt::kCmdWrite, 0x02, nullptr, 7, payload);
    auto pieces = nexolt::split_fragments(frame);
    ASSERT_EQ(pieces.size(), 3u);
    const size_t sizes[] = {1460, 1460, 176};
    const uint16_t offsets[] = {0, 1428, 2856};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(pieces[i].size(), sizes[i]);
        auto h = nexolt::read_header(pieces[i].data());
        EXPECT_EQ(h.fragment(), offsets[i]);
        EXPECT_EQ(bool(h.flags & 0x04), i < 2);
        EXPECT_EQ(h.flags & 0x02, 0x02);
        EXPECT_EQ(h.payload_crc(), crc16(payload.data(), 3000)) << "CRC of the whole";
    }
    EXPECT_EQ(nexolt::split_fragments(nexolt::build_request(3, 0, nullptr, 1, {})).size(), 1u);
}

TEST(StatusMapping, EveryStatus) {
    const int expected[] = {0, -907, -100, -700, -904, -906, -800};
    for (int status = 0; status <= 6; ++status)
        EXPECT_EQ(nexolt::status_error(uint8_t(status)), expected[status]) << status;
    EXPECT_EQ(nexolt::status_error(200), -800);
}

std::array<uint8_t, 24> session4(uint8_t state, const char* name, const char* peer, uint16_t local,
                                 uint16_t remote) {
    std::array<uint8_t, 24> e{};
    e[0] = state;
    std::memcpy(e.data() + 4, name, std::strlen(name));
    inet_pton(AF_INET, peer, e.data() + 16);
    e[20] = uint8_t(local), e[21] = uint8_t(local >> 8);
    e[22] = uint8_t(remote), e[23] = uint8_t(remote >> 8);
    return e;
}

TEST(SessionText, ByState) {
    struct Case {
        uint8_t state;
        const char* text; // nullptr: no text
    } cases[] = {
        {0, "[tcp1] CLOSED"},
        {1, "[tcp1] LISTEN:502"},
        {2, "[tcp1] SYN_SENT 192.0.2.4:40001"},
        {3, "[tcp1] SYN_RCVD 192.0.2.4:40001"},
        {4, "[tcp1] ESTABLISHED 192.0.2.4:40001"},
        {7, "[tcp1] CLOSE_WAIT"},
        {9, "[tcp1] LAST_ACK 192.0.2.4:40001"},
        {11, "[tcp1] END"},
        {12, nullptr},
    };
    for (const auto& c : cases) {
        std::string text;
        bool shown = nexolt::format_session4(
            session4(c.state, "tcp1", "192.0.2.4", 502, 40001).data(), text);
        EXPECT_EQ(shown, c.text != nullptr) << int(c.state);
        if (c.text) {
            EXPECT_EQ(text, c.text);
        }
    }
    std::array<uint8_t, 48> v6{};
    v6[0] = 4;
    std::memcpy(v6.data() + 4, "web", 3);
    inet_pton(AF_INET6, "2001:db8::7", v6.data() + 28);
    v6[46] = 0x50; // peer port 80
    std::string text;
    ASSERT_TRUE(nexolt::format_session6(v6.data(), text));
    EXPECT_EQ(text, "[web] ESTABLISHED [2001:db8::7]:80");
}

TEST(LibraryVersion, BannerFillsItsEightySixBytes) {
    char banner[100];
    std::memset(banner, 0x7F, sizeof banner);
    GetLibraryVersion(banner);
    EXPECT_EQ(std::strlen(banner), 85u);
    EXPECT_NE(std::string(banner).find("2.1F"), std::string::npos);
    EXPECT_NE(std::string(banner).find("January 12, 2023"), std::string::npos);
    EXPECT_EQ(banner[86], 0x7F);
}

} // namespace
