// The device side's frame reassembly and encoding.

#include "frame.h"

#include <gtest/gtest.h>

using namespace tevronsim;

namespace {

const Bytes kRead = {0x2D, 0x01, 0x00, 0x00, 0x00, 0x06, 0x07, 0x01, 0x00, 0x10, 0x00, 0x08};

TEST(FrameReader, FrameDeliveredByteByByte) {
    FrameReader r;
    for (size_t i = 0; i + 1 < kRead.size(); ++i) {
        r.feed({&kRead[i], 1});
        EXPECT_FALSE(r.next()) << "after byte " << i;
    }
    r.feed({&kRead.back(), 1});
    auto f = r.next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->transaction, 0x2D01);
    EXPECT_EQ(f->unit, 7);
    EXPECT_EQ(f->pdu, (Bytes{0x01, 0x00, 0x10, 0x00, 0x08}));
    EXPECT_FALSE(r.next());
}

TEST(FrameReader, PipelinedFramesInOneChunk) {
    Bytes two = kRead;
    Bytes second = {0x2C, 0x00, 0x00, 0x00, 0x00, 0x06, 0xFF, 0x02, 0x00, 0x00, 0x00, 0x04};
    two.insert(two.end(), second.begin(), second.end());
    two.push_back(0x35); // the start of a third
    FrameReader r;
    r.feed(two);
    ASSERT_EQ(r.next()->transaction, 0x2D01);
    auto f = r.next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->transaction, 0x2C00);
    EXPECT_EQ(f->pdu[0], 0x02);
    EXPECT_FALSE(r.next());
    EXPECT_FALSE(r.failed());
}

TEST(FrameReader, LengthsThatCannotBeAFrameFailTheStream) {
    const std::pair<Bytes, std::string> cases[] = {
        {{0, 1, 0, 0, 0x00, 0x00, 1}, "bad length 0"},
        {{0, 1, 0, 0, 0x00, 0x01, 1}, "bad length 1"},
        {{0, 1, 0, 0, 0x00, 0xFF, 1}, "bad length 255"},
        {{0, 1, 0, 0, 0x01, 0x06, 1}, "bad length 262"},
    };
    for (const auto& [bytes, error] : cases) {
        FrameReader r;
        r.feed(bytes);
        EXPECT_FALSE(r.next());
        EXPECT_TRUE(r.failed());
        EXPECT_EQ(r.error(), error);
        EXPECT_EQ(r.failed_header(), bytes);
    }
}

TEST(FrameEncoding, HeaderCountsUnitAndPdu) {
    Bytes pdu = {0x03, 0x02, 0x12, 0x34};
    EXPECT_EQ(encode_frame(0x2E05, 0xFF, pdu),
              (Bytes{0x2E, 0x05, 0x00, 0x00, 0x00, 0x05, 0xFF, 0x03, 0x02, 0x12, 0x34}));
    EXPECT_EQ(bits_pdu(0x01, 0xA5, 8), (Bytes{0x01, 0x01, 0xA5}));
    EXPECT_EQ(bits_pdu(0x02, 0x1FF, 9), (Bytes{0x02, 0x02, 0xFF, 0x01}));
    EXPECT_EQ(bits_pdu(0x02, 0xFF, 3), (Bytes{0x02, 0x01, 0x07}));
    EXPECT_EQ(exception_pdu(0x69, 6), (Bytes{0xE9, 0x06}));
}

} // namespace
