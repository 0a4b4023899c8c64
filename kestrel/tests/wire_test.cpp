// Kestrel's frames against bytes laid out by hand, the texts the calls hand out, and what the
// decoders make of bad answers.
#include "found_device.h"
#include "text.h"
#include "wire.h"

#include "udp_peer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using discovery::test::Bytes;
using discovery::test::hex;

void put(Bytes& b, size_t at, const Bytes& bytes) {
    std::memcpy(b.data() + at, bytes.data(), bytes.size());
}

void put_text(Bytes& b, size_t at, const char* text) {
    std::memcpy(b.data() + at, text, std::strlen(text));
}

// RLX-850 02:00:00:00:01:05 at 10.1.0.21, comment "Pump hall" in UTF-8 with "ü".
Bytes search_answer() {
    Bytes b(100, 0);
    put(b, 0, {'K', 'S', 'T', 'L', 0x01, 0x81, 0x00, 0x2A});
    put(b, 10, {0x02, 0x00, 0x00, 0x00, 0x01, 0x05});
    put(b, 16, {10, 1, 0, 21});
    put_text(b, 20, "RLX-850");
    put_text(b, 36,
             "Pump h\xC3\xBC"
             "ll");
    return b;
}

// Server on 10.1.0.21:5020, unit 7, mode 0, comment "north".
Bytes settings_answer() {
    Bytes b(92, 0);
    put(b, 0, {'K', 'S', 'T', 'L', 0x01, 0x82, 0x00, 0x2B});
    put(b, 10, {0x02, 0x00, 0x00, 0x00, 0x01, 0x05});
    put(b, 16, {10, 1, 0, 21});
    put(b, 20, {10, 1, 0, 21});
    put(b, 24, {0x13, 0x9C});
    b[26] = 7;
    put_text(b, 28, "north");
    return b;
}

TEST(KestrelFrames, SearchRequestCarriesTheLanguage) {
    EXPECT_EQ(kestrel::encode_request({kestrel::kOpSearch, 0x002A, 1042, {}}),
              hex("4B 53 54 4C 01 01 00 2A 04 12 00 00 00 00 00 00"));
}

TEST(KestrelFrames, SettingsRequestCarriesTheEui) {
    EXPECT_EQ(kestrel::encode_request({kestrel::kOpSettings, 0x002B, 0, {2, 0, 0, 0, 1, 5}}),
              hex("4B 53 54 4C 01 02 00 2B 00 00 02 00 00 00 01 05"));
}

TEST(KestrelFrames, SearchAnswerDecodes) {
    Bytes frame = search_answer();
    auto answer = kestrel::decode_search_answer(frame.data(), frame.size(), 0x2A);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->model, u"RLX-850");
    EXPECT_EQ(answer->comment, u"Pump h\u00FCll");
    EXPECT_EQ(kestrel::information_text(*answer),
              u"[02:00:00:00:01:05] Pump h\u00FCll - [10.1.0.21]");
    EXPECT_EQ(kestrel::encode_search_answer(0x2A, *answer), frame);
}

TEST(KestrelFrames, InformationWithoutCommentHasNoGap) {
    kestrel::SearchAnswer found{{0xAB, 0, 0, 0, 0, 1}, 0x0100007F, u"RLX-810", u""};
    EXPECT_EQ(kestrel::information_text(found), u"[AB:00:00:00:00:01] - [127.0.0.1]");
}

TEST(KestrelFrames, SettingsAnswerDecodes) {
    Bytes frame = settings_answer();
    auto answer = kestrel::decode_settings_answer(frame.data(), frame.size(), 0x2B);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->port, 5020);
    EXPECT_EQ(answer->unit_id, 7);
    EXPECT_EQ(answer->mode, 0);
    EXPECT_EQ(kestrel::dotted(answer->host_address), u"10.1.0.21");
    EXPECT_EQ(answer->comment, u"north");
    EXPECT_EQ(kestrel::encode_settings_answer(0x2B, *answer), frame);
}

Bytes changed(Bytes b, size_t at, uint8_t value) {
    b[at] = value;
    return b;
}

Bytes resized(Bytes b, size_t size) {
    b.resize(size, 0x41);
    return b;
}

Bytes zero_eui(Bytes b) {
    std::fill(b.begin() + 10, b.begin() + 16, 0);
    return b;
}

struct BadFrame {
    const char* name;
    Bytes frame;
};

class KestrelBadSearchAnswers : public testing::TestWithParam<BadFrame> {};

TEST_P(KestrelBadSearchAnswers, AreDropped) {
    const Bytes& f = GetParam().frame;
    EXPECT_FALSE(kestrel::decode_search_answer(f.data(), f.size(), 0x2A));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, KestrelBadSearchAnswers,
    testing::Values(BadFrame{"empty", {}}, BadFrame{"short", resized(search_answer(), 99)},
                    BadFrame{"over_long", resized(search_answer(), 101)},
                    BadFrame{"magic", changed(search_answer(), 0, 'X')},
                    BadFrame{"version", changed(search_answer(), 4, 2)},
                    BadFrame{"opcode", changed(search_answer(), 5, 0x82)},
                    BadFrame{"sequence", changed(search_answer(), 7, 0x2B)},
                    BadFrame{"zero_eui", zero_eui(search_answer())},
                    BadFrame{"unknown_model", changed(search_answer(), 26, '9')},
                    BadFrame{"request", hex("4B 53 54 4C 01 01 00 2A 04 12 00 00 00 00 00 00")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KestrelFrames, SettingsWithAnUnknownModeAreDropped) {
    Bytes frame = changed(settings_answer(), 27, 2);
    EXPECT_FALSE(kestrel::decode_settings_answer(frame.data(), frame.size(), 0x2B));
}

struct TextCase {
    const char* name;
    Bytes field;
    std::u16string text;
};

class KestrelWireTexts : public testing::TestWithParam<TextCase> {};

TEST_P(KestrelWireTexts, DecodeWithinTheirField) {
    const TextCase& c = GetParam();
    EXPECT_EQ(kestrel::utf16_from_field(c.field.data(), c.field.size()), c.text);
}

INSTANTIATE_TEST_SUITE_P(Fields, KestrelWireTexts,
                         testing::Values(TextCase{"padded", hex("41 42 00 43"), u"AB"},
                                         TextCase{"full", hex("41 42 43"), u"ABC"},
                                         TextCase{"korean", hex("ED 95 9C 00"), u"\uD55C"},
                                         TextCase{"astral", hex("F0 9F 98 80"), u"\U0001F600"},
                                         TextCase{"cut_sequence", hex("41 E2 82"),
                                                  u"A\uFFFD\uFFFD"},
                                         TextCase{"stray_continuation", hex("80 41"), u"\uFFFDA"},
                                         TextCase{"overlong", hex("C0 80"), u"\uFFFD"},
                                         TextCase{"surrogate", hex("ED A0 80"), u"\uFFFD"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KestrelWireTexts, EncodingStopsAtACharacterBoundary) {
    uint8_t field[4];
    kestrel::utf8_into_field(u"A\uD55C\uD55C", field, sizeof field);
    EXPECT_EQ(Bytes(field, field + 4), hex("41 ED 95 9C"));
}

TEST(KestrelWireTexts, CopiesAreCutToTheBuffer) {
    char16_t buffer[4];
    kestrel::copy_text(u"RLX-850", buffer, 4);
    EXPECT_EQ(std::u16string(buffer), u"RLX");
}

} // namespace
