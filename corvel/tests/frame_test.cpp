// Frames as they leave the codec: header, tags and sequence bytes, the DEV-8i0 read groups.
#include <gtest/gtest.h>

#include "frame.h"
#include "support.h"

using corvel::FrameWriter;
using corvel::SequenceCounters;
using corvel_test::hex;

namespace {

struct ReadAllCase {
    int family;
    int mode;
    std::string tags; // the tag of each frame in order
};

std::string tags_of(const std::vector<uint8_t>& frames) {
    std::string tags;
    for (size_t at = 0; at + 6 <= frames.size(); at += 6 + frames[at + 5])
        tags += char(frames[at]);
    return tags;
}

} // namespace

TEST(Sequence, CountsPerTagAndWraps) {
    SequenceCounters sequence;
    std::vector<uint8_t> out;
    FrameWriter writer(out, sequence, 1);
    writer.read(corvel::TAG_OUTPUTS, 1, 0, 8);
    writer.read(corvel::TAG_OUTPUTS, 1, 0, 8);
    writer.read(corvel::TAG_INPUTS, 2, 0, 8);
    EXPECT_EQ(out, hex("2D 00 00 00 00 06 01 01 00 00 00 08 "
                       "2D 01 00 00 00 06 01 01 00 00 00 08 "
                       "2C 00 00 00 00 06 01 02 00 00 00 08"));
    out.clear();
    for (int i = 0; i < 254; ++i)
        writer.read(corvel::TAG_OUTPUTS, 1, 0, 8);
    EXPECT_EQ(out[out.size() - 12 + 1], 0xFF);
    out.clear();
    writer.read(corvel::TAG_OUTPUTS, 1, 0, 8);
    EXPECT_EQ(out[1], 0x00) << "256 requests of one tag bring the sequence byte back to 0";
}

TEST(Sequence, UncountedTagRepeatsThePreviousSequenceByte) {
    SequenceCounters sequence;
    std::vector<uint8_t> out;
    FrameWriter writer(out, sequence, 7);
    writer.read(corvel::TAG_INPUTS, 2, 0, 8); // sequence 0
    writer.read(corvel::TAG_INPUTS, 2, 0, 8); // sequence 1
    writer.read(0x41, 2, 0, 8);               // 'A': no counter of its own
    writer.read(corvel::TAG_INPUTS, 2, 0, 8); // sequence 2: 'A' advanced nothing
    ASSERT_EQ(out.size(), 48u);
    EXPECT_EQ(out[24], 0x41);
    EXPECT_EQ(out[25], 0x01);
    EXPECT_EQ(out[37], 0x02);
    EXPECT_EQ(corvel::choose_tag(0, corvel::TAG_COIL), corvel::TAG_COIL);
    EXPECT_EQ(corvel::choose_tag(0x31, corvel::TAG_COIL), 0x31);
    EXPECT_EQ(corvel::choose_tag(0x1300, corvel::TAG_COIL), corvel::TAG_COIL)
        << "only the low byte counts";
}

TEST(Frames, WriteShapes) {
    SequenceCounters sequence;
    std::vector<uint8_t> out;
    FrameWriter writer(out, sequence, 0x11);
    writer.write_coil(corvel::TAG_COIL, 0x0203, 0xFF);
    writer.output_pulse(corvel::TAG_PULSE, 0x0010, 1500, 0x01);
    writer.identification(corvel::TAG_DI_CHANGE, 0x04, 0x83);
    EXPECT_EQ(out, hex("30 00 00 00 00 06 11 05 02 03 FF 00 "
                       "2F 00 00 00 00 07 11 69 00 10 05 DC 01 "
                       "37 00 00 00 00 05 11 2B 0E 04 83"));
}

TEST(Frames, ReadAllGroupsForEveryFamilyAndMode) {
    const ReadAllCase cases[] = {
        {1, 0, "5"},   {1, 1, ""},  {1, 2, "5"},  {2, 0, "6,"},  {2, 1, ""},  {2, 2, "6,"},
        {3, 0, ""},    {3, 1, "-"}, {3, 2, "-"},  {4, 0, "56,"}, {4, 1, "-"}, {4, 2, "56,-"},
        {5, 0, "598"}, {5, 1, ""},  {5, 2, "58"}, {0, 2, ""},    {6, 2, ""},  {4, 3, ""},
    };
    for (const auto& c : cases) {
        SequenceCounters sequence;
        std::vector<uint8_t> out;
        FrameWriter writer(out, sequence, 1);
        corvel::append_read_all(writer, c.family, c.mode);
        EXPECT_EQ(tags_of(out), c.tags) << "family " << c.family << " mode " << c.mode;
        EXPECT_EQ(out.size(), 12 * c.tags.size());
    }
}

TEST(Frames, ReadAllAddressesAndQuantities) {
    SequenceCounters sequence;
    std::vector<uint8_t> out;
    FrameWriter writer(out, sequence, 9);
    corvel::append_read_all(writer, 4, 2);
    EXPECT_EQ(out, hex("35 00 00 00 00 06 09 04 00 00 00 04 "
                       "36 00 00 00 00 06 09 04 00 A0 00 08 "
                       "2C 00 00 00 00 06 09 02 00 00 00 04 "
                       "2D 00 00 00 00 06 09 01 00 00 00 04"));
    out.clear();
    corvel::append_read_all(writer, 5, 0);
    EXPECT_EQ(out, hex("35 01 00 00 00 06 09 04 00 00 00 01 "
                       "39 00 00 00 00 06 09 03 01 D2 00 02 "
                       "38 00 00 00 00 06 09 04 00 08 00 01"));
    out.clear();
    corvel::append_read_all(writer, 3, 1);
    EXPECT_EQ(out, hex("2D 01 00 00 00 06 09 01 00 00 00 02"));
}
