// What the answer watchdog counts: request frames as they are queued, answers as they are
// decoded, and how long the oldest request has waited.
#include <gtest/gtest.h>

#include "answer_wait.h"
#include "corvel/corvel.h"
#include "decoder.h"
#include "frame.h"
#include "support.h"

using corvel::AnswerWait;
using corvel::MonotonicClock;
using corvel_test::hex;
using std::chrono::milliseconds;

namespace {

bool answers(const std::string& body) {
    const auto bytes = hex(body);
    corvel::ReceivedValues values;
    const corvel::DecodeResult result =
        corvel::decode_body(bytes.data(), bytes.size(), 0x2C, values);
    return corvel::answers_request(bytes.data(), bytes.size(), result);
}

} // namespace

TEST(AnswerWait, OldestRequestWaitsFromItsSendingOrTheLastAnswer) {
    AnswerWait wait;
    const MonotonicClock::time_point start{};
    EXPECT_FALSE(wait.waiting());
    EXPECT_EQ(wait.waited(start + milliseconds(5)), MonotonicClock::duration::zero());
    EXPECT_FALSE(wait.requests_sent(0, start)) << "an empty group starts no wait";

    EXPECT_TRUE(wait.requests_sent(3, start));
    EXPECT_FALSE(wait.requests_sent(1, start + milliseconds(40))) << "the first one waits on";
    EXPECT_EQ(wait.outstanding(), 4u);
    EXPECT_EQ(wait.waited(start + milliseconds(100)), milliseconds(100));

    wait.answer_received(start + milliseconds(100));
    EXPECT_EQ(wait.outstanding(), 3u);
    EXPECT_EQ(wait.waited(start + milliseconds(130)), milliseconds(30))
        << "the next request waits from the answer";

    for (int i = 0; i < 3; ++i)
        wait.answer_received(start + milliseconds(200));
    EXPECT_FALSE(wait.waiting());
    EXPECT_EQ(wait.waited(start + milliseconds(900)), MonotonicClock::duration::zero());

    wait.answer_received(start + milliseconds(300));
    EXPECT_EQ(wait.outstanding(), 0u) << "an answer nobody waits for leaves the count at 0";
    EXPECT_TRUE(wait.requests_sent(1, start + milliseconds(400)));
    EXPECT_EQ(wait.waited(start + milliseconds(450)), milliseconds(50));
    wait.clear();
    EXPECT_FALSE(wait.waiting());
    EXPECT_TRUE(wait.requests_sent(1, start + milliseconds(500))) << "a cleared wait starts anew";
}

TEST(AnswerWait, FramesOfAGroupAreCountedByTheirHeaders) {
    corvel::SequenceCounters sequence;
    std::vector<uint8_t> frames;
    corvel::FrameWriter writer(frames, sequence, 1);
    EXPECT_EQ(corvel::count_frames(frames.data(), frames.size()), 0u);
    corvel::append_read_all(writer, CORVEL_FAMILY_RLX850, CORVEL_READ_INPUTS_OUTPUTS);
    EXPECT_EQ(corvel::count_frames(frames.data(), frames.size()), 4u);
    writer.output_pulse(0x2F, 1, 100, 1); // 13 bytes
    writer.identification(0x37, 4, 0x83); // 11 bytes
    EXPECT_EQ(corvel::count_frames(frames.data(), frames.size()), 6u);
}

TEST(AnswerWait, ResponsesAnswerButReportsAndMalformedBodiesDoNot) {
    EXPECT_TRUE(answers("01 02 01 05")) << "discrete inputs";
    EXPECT_TRUE(answers("01 01 01 05")) << "coils";
    EXPECT_TRUE(answers("01 03 02 00 2A")) << "holding registers";
    EXPECT_TRUE(answers("01 04 02 00 2A")) << "input registers, even for a tag nobody asked for";
    EXPECT_TRUE(answers("01 05 00 05 FF 00")) << "coil write";
    EXPECT_TRUE(answers("01 69 00 04 00 64 01")) << "pulse";
    EXPECT_TRUE(answers("01 2B 0E 04 01 00 00 01 85 02 FF 00")) << "identification";
    EXPECT_TRUE(answers("01 82 02")) << "exception";
    EXPECT_TRUE(answers("01 AB 01")) << "identification exception";
    EXPECT_TRUE(answers("01 47 00")) << "a function Corvel does not know";

    EXPECT_FALSE(answers("01 6C 00 F0 00 10 02 00 05")) << "input change report";
    EXPECT_FALSE(answers("01 6C 01 40 00 10 02 00 05")) << "output change report";
    EXPECT_FALSE(answers("01 6C 00 A0 00 01 02 00 05")) << "counter change report";
    EXPECT_FALSE(answers("01 6C 00 00 00 01 02 00 05")) << "report of another address";
    EXPECT_FALSE(answers("01 03 03 00 2A")) << "odd byte count";
    EXPECT_FALSE(answers("01 02")) << "bits missing";
    EXPECT_FALSE(answers("01")) << "no function code";
}
