// Cutting a byte stream into frames, however the stream is split.
#include <gtest/gtest.h>

#include "reassembler.h"
#include "support.h"

using corvel::Reassembler;
using corvel_test::Bytes;
using corvel_test::hex;

namespace {

struct Cut {
    std::vector<Bytes> bodies;
    std::vector<uint8_t> tags;
    int bad_lengths = 0;
};

// Feeds the stream in the given chunks and collects what the reassembler produced.
Cut feed_in_chunks(const Bytes& stream, const std::vector<size_t>& chunk_sizes) {
    Reassembler reassembler;
    Cut cut;
    size_t at = 0;
    for (size_t chunk : chunk_sizes) {
        size_t end = std::min(stream.size(), at + chunk);
        while (at < end) {
            Reassembler::Event event;
            at += reassembler.feed(stream.data() + at, end - at, event);
            if (event == Reassembler::Event::Body) {
                cut.bodies.emplace_back(reassembler.body(),
                                        reassembler.body() + reassembler.body_length());
                cut.tags.push_back(reassembler.tag());
            } else if (event == Reassembler::Event::BadLength) {
                ++cut.bad_lengths;
            }
        }
    }
    return cut;
}

const Bytes two_frames = hex("2D 00 00 00 00 04 01 01 01 A5 "
                             "2C 07 00 00 00 04 01 02 01 0F");

} // namespace

TEST(Reassembly, SplitAtEveryByte) {
    for (size_t split = 0; split <= two_frames.size(); ++split) {
        Cut cut = feed_in_chunks(two_frames, {split, two_frames.size()});
        ASSERT_EQ(cut.bodies.size(), 2u) << "split at " << split;
        EXPECT_EQ(cut.bodies[0], hex("01 01 01 A5"));
        EXPECT_EQ(cut.bodies[1], hex("01 02 01 0F"));
        EXPECT_EQ(cut.tags, (std::vector<uint8_t>{0x2D, 0x2C}));
    }
    Cut bytewise = feed_in_chunks(two_frames, std::vector<size_t>(two_frames.size(), 1));
    EXPECT_EQ(bytewise.bodies.size(), 2u);
}

TEST(Reassembly, LengthIsTheLowByteOnly) {
    Cut cut = feed_in_chunks(hex("2E 00 00 00 01 06 01 03 02 12 34 FF"), {100});
    ASSERT_EQ(cut.bodies.size(), 1u);
    EXPECT_EQ(cut.bodies[0].size(), 6u);
}

TEST(Reassembly, BodyOver250IsRejectedAndTheNextBytesAreAHeader) {
    Bytes stream = hex("2D 00 00 00 00 FB");
    Bytes next = hex("2D 01 00 00 00 04 01 01 01 03");
    stream.insert(stream.end(), next.begin(), next.end());
    Cut cut = feed_in_chunks(stream, {stream.size()});
    EXPECT_EQ(cut.bad_lengths, 1);
    ASSERT_EQ(cut.bodies.size(), 1u);
    EXPECT_EQ(cut.bodies[0], hex("01 01 01 03"));

    Bytes largest_stream = hex("2D 00 00 00 00 FA");
    largest_stream.resize(6 + 250, 0x01);
    Cut largest = feed_in_chunks(largest_stream, {300});
    EXPECT_EQ(largest.bad_lengths, 0);
    EXPECT_EQ(largest.bodies.size(), 1u);
}

TEST(Reassembly, LengthZeroGivesAnEmptyBody) {
    Cut cut = feed_in_chunks(hex("2C 00 00 00 00 00 2C 01 00 00 00 02 01 AB"), {14});
    ASSERT_EQ(cut.bodies.size(), 2u);
    EXPECT_TRUE(cut.bodies[0].empty());
    EXPECT_EQ(cut.bodies[1], hex("01 AB"));
}
