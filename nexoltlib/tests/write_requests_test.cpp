// Settings writes as they reach the device: a merged payload beyond the limit never leaves,
// and the user-defined MAC block keeps its place among the blocks the device reported.
#include "blocks.h"
#include "capturing_device.h"
#include "device_lists.h"

#include "nexoltlib/nexoltlib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace nexolt::test;

// A record that passes the checks before a write: address 10.1.0.1/8, bases apart.
lib_env writable(lib_env record) {
    record.ip4_address = htonl(0x0A010001);
    record.ip4_mask = htonl(0xFF000000);
    record.io.settings.output_addr = 8;
    return record;
}

Bytes slice(const Bytes& bytes, size_t at, size_t length) {
    return Bytes(bytes.begin() + long(at), bytes.begin() + long(at + length));
}

// Blocks of that type and index, walking by the length fields.
size_t count_blocks(const Bytes& payload, uint8_t type, uint8_t index) {
    size_t count = 0;
    for (size_t at = 0; at + 4 <= payload.size();) {
        size_t length = size_t(payload[at + 2] | payload[at + 3] << 8);
        if (length < 8) break;
        count += payload[at] == type && payload[at + 1] == index;
        at += length;
    }
    return count;
}

TEST(WriteRequests, MergedPayloadBeyondTheLimitIsRefusedBeforeSending) {
    // The device reported an empty comment and a large block the library does not know:
    // 9992 bytes. The record's 72-byte comment takes the empty one's place.
    Bytes raw = {0x07, 0x00, 0x08, 0x00, 0x00, 0x00};
    uint16_t crc = crc16(raw.data(), 6);
    raw.push_back(uint8_t(crc));
    raw.push_back(uint8_t(crc >> 8));
    std::vector<uint8_t> filler(9978, 0xA5);
    nexolt::append_block(raw, 254, 0, filler.data(), filler.size());
    ASSERT_EQ(raw.size(), 9992u);
    lib_env record = writable(known_device(false, 0, raw));
    std::strcpy(record.comment, "a comment of the full sixty-four byte field");
    const lib_env before = record;

    CapturingDevice device;
    ASSERT_NE(device.port(), 0);
    device.expect(2);
    int error = 0;
    EXPECT_EQ(Nexolt_Write(1, &record, nullptr, &error, device.port(), 0, 4), -1);
    EXPECT_EQ(error, NEXOLT_ERR_ARGUMENT);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << "the caller's record";
    EXPECT_EQ(nexolt::find_device(1, kDeviceMac)->raw_env, raw) << "the device entry";

    // The next request is the first thing the device hears.
    char text[16];
    uint8_t sessions[24 * 48];
    int count = 0;
    EXPECT_EQ(
        Nexolt_Status(1, &record, text, sizeof text, sessions, &count, &error, device.port(), 0, 4),
        1)
        << error;
    std::vector<Bytes> got = device.received();
    ASSERT_EQ(got.size(), 2u);
    for (const Bytes& datagram : got)
        EXPECT_EQ(datagram[6], 5) << "only the status request was sent";
}

// The factory MAC 00:30:F9:12:34:56 with a user MAC, as block (1,1) laid out by hand.
const Bytes kUserMacOld = {
    0x01, 0x01, 0x18, 0x00,                         // (1,1), 24 bytes
    0x00, 0x30, 0xF9, 0x12, 0x34, 0x56, 0x00, 0x00, // factory MAC, padding
    0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0x00, 0x00, // the user MAC, padding
    0x00, 0x00, 0xE9, 0xE3,                         // block padding, CRC
};
const Bytes kUserMacNew = {
    0x01, 0x01, 0x18, 0x00,                         //
    0x00, 0x30, 0xF9, 0x12, 0x34, 0x56, 0x00, 0x00, //
    0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 0x00, 0x00, // 02:11:22:33:44:55
    0x00, 0x00, 0x28, 0xD4,                         //
};
const Bytes kMacBlock = {
    0x01, 0x00, 0x14, 0x00,                         // (1,0), 20 bytes
    0x00, 0x30, 0xF9, 0x12, 0x34, 0x56, 0x00, 0x00, // MAC and SECURE value
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xCE, 0x0B, //
};
const uint8_t kNewMac[6] = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};

TEST(WriteRequests, UserDefinedMacBlockRewrittenInItsPlace) {
    const uint8_t comment_header[4] = {0x07, 0x00, 0x48, 0x00};
    struct Case {
        const char* name;
        bool reported; // the device's settings hold a (1,1) block after (1,0)
        const uint8_t* new_mac;
        size_t comment_at; // where the comment block sits in the payload sent
        bool at_end;       // the new (1,1) block closes the payload
    } cases[] = {
        {"rewritten in place", true, kNewMac, 44, false},
        {"removed", true, nullptr, 20, false},
        {"appended when none was reported", false, kNewMac, 20, true},
    };
    for (const auto& c : cases) {
        Bytes raw = kMacBlock;
        if (c.reported) raw.insert(raw.end(), kUserMacOld.begin(), kUserMacOld.end());
        char comment[64] = "hall";
        nexolt::append_block(raw, 7, 0, comment, sizeof comment);
        lib_env record = known_device(false, 0x8000, raw);

        CapturingDevice device;
        ASSERT_NE(device.port(), 0);
        device.expect(2);
        int error = 0;
        EXPECT_EQ(
            Nexolt_WriteUserDefinedMAC(1, &record, c.new_mac, nullptr, &error, device.port(), 0, 4),
            1)
            << c.name << ": error " << error;
        std::vector<Bytes> got = device.received();
        ASSERT_EQ(got.size(), 2u) << c.name;
        const Bytes& frame = got[0];
        EXPECT_EQ(frame[5], 0x02) << c.name << ": unicast, plain";
        EXPECT_EQ(frame[6], 3) << c.name << ": a settings write";
        Bytes payload(frame.begin() + 32, frame.end());
        EXPECT_EQ(slice(payload, 0, 20), kMacBlock) << c.name;
        EXPECT_EQ(slice(payload, c.comment_at, 4), Bytes(comment_header, comment_header + 4))
            << c.name;
        if (c.reported && c.new_mac) {
            EXPECT_EQ(slice(payload, 20, 24), kUserMacNew) << c.name;
        }
        if (c.at_end) {
            EXPECT_EQ(slice(payload, payload.size() - 24, 24), kUserMacNew) << c.name;
        }
        EXPECT_EQ(count_blocks(payload, 1, 1), c.new_mac ? 1u : 0u) << c.name;
    }
}

} // namespace
