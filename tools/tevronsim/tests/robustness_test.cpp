// Arbitrary bytes from a client: every model answers every PDU with a well-formed answer or an
// exception, and the reader never hands out a frame the header did not announce.

#include "request_handler.h"

#include <gtest/gtest.h>

#include <random>

using namespace tevronsim;

namespace {

TEST(Robustness, EveryModelAnswersArbitraryRequestsWithAFrameOrAnException) {
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int> byte(0, 255), length(1, 8);
    // Function codes the devices know, so that most requests get past the first switch.
    const std::uint8_t functions[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x2B, 0x69, 0x0F};
    auto now = Clock::now();
    for (const auto& model : all_models()) {
        DeviceConfig c;
        c.name = "fuzz";
        c.model = &model;
        Device d(c);
        for (int i = 0; i < 5000; ++i) {
            Bytes pdu(static_cast<std::size_t>(length(rng)));
            for (auto& b : pdu)
                b = static_cast<std::uint8_t>(byte(rng));
            if (i % 2) pdu[0] = functions[static_cast<std::size_t>(byte(rng)) % 8];
            if (pdu.size() >= 3 && i % 3 == 0) pdu[1] = 0; // small addresses hit the tables
            Outcome out = handle_request(d, pdu, now);
            ASSERT_GE(out.pdu.size(), 2u) << model.name;
            ASSERT_LE(out.pdu.size(), 253u) << model.name;
            if (out.pdu[0] & 0x80) {
                EXPECT_EQ(out.pdu.size(), 2u);
                EXPECT_EQ(out.pdu[0], pdu[0] | 0x80);
            } else {
                EXPECT_EQ(out.pdu[0], pdu[0]);
            }
            now += std::chrono::milliseconds(1);
            d.advance(now);
        }
    }
}

TEST(Robustness, ReaderSplitsArbitraryStreamsOnlyAtAnnouncedLengths) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        Bytes stream(static_cast<std::size_t>(byte(rng)) + 7);
        for (auto& b : stream)
            b = static_cast<std::uint8_t>(byte(rng));
        stream[4] = 0; // mostly plausible lengths
        FrameReader r;
        r.feed(stream);
        std::size_t used = 0;
        while (auto f = r.next()) {
            used += kHeaderSize + f->pdu.size();
            ASSERT_GE(f->pdu.size(), 1u);
        }
        ASSERT_LE(used, stream.size());
    }
}

} // namespace
