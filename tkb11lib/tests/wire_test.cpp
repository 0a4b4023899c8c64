// The frames against bytes laid out by hand, and what a decoder makes of bad ones.
#include "tkb11_frames.h"
#include "wire.h"

#include "tkb11lib/tkb11lib.h"

#include <gtest/gtest.h>

namespace {

using discovery::test::hex;
using tkb11::test::Bytes;
using tkb11::test::tkb11_answer;

TEST(Tkb11Frames, SearchRequestBytes) {
    EXPECT_EQ(tkb11::encode_request({tkb11::kOpSearch, 0x1234, {}}),
              hex("54 4B 31 31 01 01 12 34 00 00 00 00 00 00 00 00"));
}

TEST(Tkb11Frames, ReadRequestCarriesTheMac) {
    EXPECT_EQ(tkb11::encode_request({tkb11::kOpRead, 0x0102, {2, 0, 0, 0, 0, 0x0B}}),
              hex("54 4B 31 31 01 02 01 02 00 00 02 00 00 00 00 0B"));
}

TEST(Tkb11Frames, AnswerFillsTheRecordInHostOrder) {
    Bytes frame = tkb11_answer(0x82);
    auto answer = tkb11::decode_answer(frame.data(), frame.size(), {tkb11::kOpRead, 0, {}});
    ASSERT_TRUE(answer);
    ASSERT_EQ(answer->error, 0);
    const tkb11_record& r = answer->record;
    const uint8_t address[4] = {10, 1, 0, 11};
    EXPECT_EQ(std::memcmp(&r.ip_address, address, 4), 0);
    EXPECT_EQ(r.mac[5], 0x0B);
    EXPECT_EQ(r.client_port, 502);
    EXPECT_EQ(r.server_port, 503);
    EXPECT_EQ(r.mode, 1);
    EXPECT_EQ(r.unit_id, 3);
    EXPECT_EQ(r.input_address, 0);
    EXPECT_EQ(r.output_address, 8);
    EXPECT_STREQ(r.comment, "boiler");
    EXPECT_STREQ(r.input_name, "door");
    EXPECT_STREQ(r.output_name, "lamp");
}

TEST(Tkb11Frames, EncodedAnswerIsTheHandWrittenOne) {
    Bytes frame = tkb11_answer(0x81);
    auto answer = tkb11::decode_answer(frame.data(), frame.size(), {tkb11::kOpSearch, 0, {}});
    ASSERT_TRUE(answer);
    EXPECT_EQ(tkb11::encode_answer({tkb11::kOpSearch, 0, {}}, 0, answer->record), frame);
}

TEST(Tkb11Frames, RefusalIsAHeaderWithItsStatus) {
    tkb11_record record{};
    record.mac[5] = 9;
    EXPECT_EQ(tkb11::encode_answer({tkb11::kOpRead, 7, {}}, 1, record),
              hex("54 4B 31 31 01 82 00 07 01 00 00 00 00 00 00 09"));
}

struct BadAnswer {
    const char* name;
    Bytes frame;
    int error; // -1: not an answer at all
};

Bytes changed(Bytes b, size_t at, uint8_t value) {
    b[at] = value;
    return b;
}

Bytes resized(Bytes b, size_t size) {
    b.resize(size, 0x41);
    return b;
}

class Tkb11BadAnswers : public testing::TestWithParam<BadAnswer> {};

TEST_P(Tkb11BadAnswers, GiveTheirErrorAndNoRecord) {
    const BadAnswer& c = GetParam();
    auto answer = tkb11::decode_answer(c.frame.data(), c.frame.size(), {tkb11::kOpRead, 0, {}});
    if (c.error < 0) {
        EXPECT_FALSE(answer);
        return;
    }
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->error, c.error);
}

// A device-management frame (its own magic) and a request of this protocol are no answers.
INSTANTIATE_TEST_SUITE_P(
    Frames, Tkb11BadAnswers,
    testing::Values(
        BadAnswer{"empty", {}, -1}, BadAnswer{"short", resized(tkb11_answer(0x82), 15), -1},
        BadAnswer{"nexolt", hex("2A 76 4E 01 33 80 02 00 00 00 02 00 00 00 00 0B"), -1},
        BadAnswer{"request", hex("54 4B 31 31 01 02 00 00 00 00 00 00 00 00 00 00"), -1},
        BadAnswer{"other_sequence", changed(tkb11_answer(0x82), 7, 1), -1},
        BadAnswer{"truncated", resized(tkb11_answer(0x82), 120), TKB11_ERR_GARBLED},
        BadAnswer{"over_long", resized(tkb11_answer(0x82), 1500), TKB11_ERR_GARBLED},
        BadAnswer{"header_only", resized(tkb11_answer(0x82), 16), TKB11_ERR_GARBLED},
        BadAnswer{"mac_mismatch", changed(tkb11_answer(0x82), 15, 0x0C), TKB11_ERR_GARBLED},
        BadAnswer{"version", changed(tkb11_answer(0x82), 4, 2), TKB11_ERR_UNKNOWN},
        BadAnswer{"status", changed(tkb11_answer(0x82), 8, 9), TKB11_ERR_UNKNOWN},
        BadAnswer{"password", hex("54 4B 31 31 01 82 00 00 01 00 02 00 00 00 00 0B"),
                  TKB11_ERR_PASSWORD},
        BadAnswer{"locked", hex("54 4B 31 31 01 82 00 00 02 00 02 00 00 00 00 0B"),
                  TKB11_ERR_LOCKED}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Tkb11Frames, FullTextsStayInsideTheirFields) {
    Bytes frame = tkb11_answer(0x82);
    std::memset(frame.data() + 16 + 120, 'x', 64);
    auto answer = tkb11::decode_answer(frame.data(), frame.size(), {tkb11::kOpRead, 0, {}});
    ASSERT_TRUE(answer);
    EXPECT_EQ(std::string(answer->record.comment, sizeof answer->record.comment),
              std::string(32, 'x'));
    EXPECT_EQ(std::string(answer->record.input_name, 16), std::string(16, 'x'));
}

} // namespace
