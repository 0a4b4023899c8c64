// Reply intake without sockets: acceptance rules, reassembly and the device lists.
#include "bytes.h"
#include "device_lists.h"
#include "reassembly.h"
#include "record_builders.h"
#include "reply_intake.h"

#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using nexolt::test::kMac;

const uint32_t kDevice = htonl(0x7F000063); // 127.0.0.99
const nexolt::ReplyInterface kVia{"127.0.0.1", 1};

struct Reply {
    uint8_t flags = 0x80;
    uint8_t command = 1;
    uint8_t version = 0x33;
    uint8_t mac[6] = {0x00, 0x30, 0xF9, 0x12, 0x34, 0x56};
    uint16_t marker = 0x00C3;
    uint16_t capabilities = 0x0011;
    uint16_t sequence = 7;
    uint16_t offset = 0;
    Bytes payload = nexolt::test::encode(nexolt::test::io_controller(32));
    uint16_t crc_of_whole = 0; // fragments carry the CRC of the whole payload

    Bytes bytes() const {
        Bytes out(32, 0);
        std::memcpy(out.data(), nexolt::kMagic, 4);
        out[4] = version;
        out[5] = flags;
        out[6] = command;
        std::memcpy(out.data() + 10, mac, 6);
        out[17] = 2;
        out[18] = 1;
        out[19] = 3;
        nexolt::store_u16(out.data() + 20, sequence);
        nexolt::store_u16(out.data() + 22, offset);
        nexolt::store_u16(out.data() + 24, marker);
        nexolt::store_u16(out.data() + 26, capabilities);
        uint16_t crc = crc_of_whole ? crc_of_whole : crc16(payload.data(), int(payload.size()));
        nexolt::store_u16(out.data() + 8, crc);
        Bytes body = payload;
        if (flags & 0x01) rc4_crypt_data(crc, body.data(), int(body.size()), body.data());
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
};

class Intake : public ::testing::Test {
  protected:
    void SetUp() override {
        nexolt::clear_device_lists();
        nexolt::reassembly_table().clear();
        context.broadcast_search = true;
        context.max_results = 8;
    }
    void take(const Reply& reply, uint32_t source = kDevice, uint16_t port = 50005) {
        Bytes bytes = reply.bytes();
        nexolt::take_reply(context, bytes.data(), bytes.size(), {source, port}, kVia);
    }
    nexolt::IntakeContext context;
};

TEST_F(Intake, AcceptsABroadcastReplyAndListsTheDevice) {
    Reply reply;
    take(reply);
    ASSERT_EQ(context.results.size(), 1u);
    const lib_env& env = context.results[0].env;
    EXPECT_EQ(std::memcmp(env.mac, kMac, 6), 0);
    EXPECT_EQ(env.device_address, kDevice);
    EXPECT_EQ(env.firmware_major, 2);
    EXPECT_EQ(env.firmware_minor_rev, 1 * 256 + 3);
    EXPECT_EQ(env.io.input_count, 8);

    int decoded = -1;
    lib_env* cached = get_env_raw_lib_env_by_mac_addr(0, kMac, &decoded);
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(decoded, 1);
    EXPECT_EQ(cached->product_id, 32);
    int length = 0;
    const uint8_t* raw = get_raw_data_buffer(0, kMac, &length);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(Bytes(raw, raw + length), reply.payload);
    EXPECT_EQ(get_env_raw_lib_env_by_mac_addr(1, kMac, &decoded), nullptr);

    const nexolt::DeviceEntry* entry = nexolt::find_device(0, kMac);
    EXPECT_EQ(entry->interface_address, "127.0.0.1");
    EXPECT_EQ(entry->source_port, 50005);
    EXPECT_EQ(entry->capabilities, 0x0011);
    EXPECT_FALSE(entry->cipher);
}

TEST_F(Intake, IgnoresWhatFailsTheTests) {
    struct Case {
        const char* name;
        Reply reply;
    };
    Case cases[] = {{"version 0x34", {}}, {"reply bit clear", {}}, {"foreign magic", {}}};
    cases[0].reply.version = 0x34;
    cases[1].reply.flags = 0x00;
    for (auto& c : cases) {
        Bytes bytes = c.reply.bytes();
        if (std::string(c.name) == "foreign magic") bytes[3] = 0x02;
        nexolt::take_reply(context, bytes.data(), bytes.size(), {kDevice, 50005}, kVia);
        EXPECT_TRUE(context.results.empty()) << c.name;
    }
    Bytes runt(31, 0x2A);
    nexolt::take_reply(context, runt.data(), runt.size(), {kDevice, 50005}, kVia);
    EXPECT_TRUE(context.results.empty());
    EXPECT_EQ(nexolt::device_count(0), 0u);
}

TEST_F(Intake, UnicastMatchingByMacOrSourceAddress) {
    context.broadcast_search = false;
    context.target = kDevice;
    Reply reply;
    reply.command = 2;
    take(reply);
    EXPECT_TRUE(context.results.empty()) << "unicast bit clear, MAC not asked for";

    reply.flags = 0x82;
    take(reply, htonl(0x7F000064));
    EXPECT_TRUE(context.results.empty()) << "from another address";
    take(reply);
    ASSERT_EQ(context.results.size(), 1u);
    EXPECT_NE(get_env_raw_lib_env_by_mac_addr(1, kMac, nullptr), nullptr);

    context.results.clear();
    std::memcpy(context.request.mac, kMac, 6);
    reply.flags = 0x80;
    take(reply, htonl(0x7F000064));
    EXPECT_EQ(context.results.size(), 1u) << "the MAC asked for";
}

TEST_F(Intake, OtherCommandsAreCountedButNotListed) {
    context.broadcast_search = false;
    std::memcpy(context.request.mac, kMac, 6);
    Reply reply;
    reply.command = 5;
    reply.payload.clear();
    take(reply);
    EXPECT_EQ(context.results.size(), 1u);
    EXPECT_EQ(nexolt::device_count(0) + nexolt::device_count(1), 0u);
}

TEST_F(Intake, DuplicateMacIsListedOnceWithTheFirstInterface) {
    Reply reply;
    take(reply);
    Bytes bytes = reply.bytes();
    nexolt::take_reply(context, bytes.data(), bytes.size(), {kDevice, 50007}, {"10.9.0.1", 4});
    EXPECT_EQ(context.results.size(), 1u);
    EXPECT_EQ(nexolt::device_count(0), 1u);
    EXPECT_EQ(nexolt::find_device(0, kMac)->interface_address, "127.0.0.1");
}

TEST_F(Intake, FullResultArrayIgnoresFurtherDevices) {
    context.max_results = 2;
    for (uint8_t last = 0; last < 4; ++last) {
        Reply reply;
        reply.mac[5] = last;
        take(reply);
    }
    EXPECT_EQ(context.results.size(), 2u);
    EXPECT_EQ(nexolt::device_count(0), 2u);
}

TEST_F(Intake, CapabilityMarkerGuardsTheFlags) {
    Reply reply;
    reply.capabilities = 0xFFFF;
    reply.marker = 0x00C2;
    take(reply);
    EXPECT_EQ(nexolt::find_device(0, kMac)->capabilities, 0);
}

TEST_F(Intake, EncipheredPayloadIsDecipheredAndFlagged) {
    Reply reply;
    reply.flags = 0x81;
    take(reply);
    ASSERT_EQ(context.results.size(), 1u);
    EXPECT_EQ(context.results[0].env.product_id, 32);
    EXPECT_TRUE(nexolt::find_device(0, kMac)->cipher);
    int length = 0;
    const uint8_t* raw = get_raw_data_buffer(0, kMac, &length);
    EXPECT_EQ(Bytes(raw, raw + length), reply.payload) << "the list keeps the plaintext";
}

TEST_F(Intake, BadBlocksStillRecordTheDeviceWithoutFirmware) {
    Reply reply;
    reply.payload.back() ^= 1;
    take(reply);
    ASSERT_EQ(context.results.size(), 1u);
    EXPECT_EQ(context.results[0].env.firmware_major, 0);
    int decoded = -1;
    ASSERT_NE(get_env_raw_lib_env_by_mac_addr(0, kMac, &decoded), nullptr);
    EXPECT_EQ(decoded, 0);
}

std::vector<Reply> fragments_of(const Bytes& payload, size_t piece) {
    std::vector<Reply> out;
    uint16_t crc = crc16(payload.data(), int(payload.size()));
    for (size_t at = 0; at < payload.size(); at += piece) {
        Reply r;
        r.capabilities = 0x0040;
        r.offset = uint16_t(at);
        r.payload.assign(payload.begin() + long(at),
                         payload.begin() + long(std::min(at + piece, payload.size())));
        r.crc_of_whole = crc;
        if (at + piece < payload.size()) r.flags |= 0x04;
        out.push_back(r);
    }
    return out;
}

TEST_F(Intake, FragmentsInOrderAreReassembled) {
    Bytes payload = nexolt::test::encode(nexolt::test::io_controller(32));
    auto pieces = fragments_of(payload, 400);
    ASSERT_GE(pieces.size(), 3u);
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        take(pieces[i]);
        EXPECT_TRUE(context.results.empty()) << "nothing before the last fragment";
    }
    take(pieces.back());
    ASSERT_EQ(context.results.size(), 1u);
    int length = 0;
    const uint8_t* raw = get_raw_data_buffer(0, kMac, &length);
    EXPECT_EQ(Bytes(raw, raw + length), payload);
    EXPECT_EQ(context.results[0].env.io.settings.peer_port, 502);
}

TEST_F(Intake, FragmentOutOfOrderIsDroppedAndNeverCompletes) {
    Bytes payload = nexolt::test::encode(nexolt::test::io_controller(32));
    auto pieces = fragments_of(payload, 400);
    take(pieces[0]);
    take(pieces[2]); // skips the second piece: dropped
    take(pieces[1]);
    EXPECT_TRUE(context.results.empty());
    for (size_t i = 3; i < pieces.size(); ++i)
        take(pieces[i]);
    EXPECT_TRUE(context.results.empty()) << "the dropped piece never comes back";
}

TEST_F(Intake, ALoneContinuationIsNoReplyAndTheCompleteOneIsTaken) {
    Bytes payload = nexolt::test::encode(nexolt::test::io_controller(32));
    auto pieces = fragments_of(payload, 400);
    take(pieces[1]); // its start was never seen: no reply by itself
    EXPECT_TRUE(context.results.empty());
    EXPECT_EQ(get_env_raw_lib_env_by_mac_addr(0, kMac, nullptr), nullptr);
    for (const auto& piece : pieces)
        take(piece);
    ASSERT_EQ(context.results.size(), 1u);
    EXPECT_TRUE(context.results[0].decoded);
    EXPECT_EQ(context.results[0].env.io.settings.peer_port, 502);
    int decoded = 0, length = 0;
    ASSERT_NE(get_env_raw_lib_env_by_mac_addr(0, kMac, &decoded), nullptr);
    EXPECT_EQ(decoded, 1);
    const uint8_t* raw = get_raw_data_buffer(0, kMac, &length);
    EXPECT_EQ(Bytes(raw, raw + length), payload);

    Reply broken;
    broken.payload.back() ^= 1;
    take(broken);
    EXPECT_TRUE(context.results[0].decoded) << "a complete reply is never replaced";
}

TEST_F(Intake, ReassemblyTableBoundsAndOrphans) {
    nexolt::ReassemblyTable table;
    nexolt::FrameHeader h{};
    h.flags = 0x84;
    uint8_t data[8] = {};
    for (size_t i = 0; i < nexolt::kReassemblySlots; ++i) {
        h.mac[4] = uint8_t(i >> 8);
        h.mac[5] = uint8_t(i);
        EXPECT_EQ(table.add(h, data, 8), nullptr);
    }
    h.flags = 0x80;
    nexolt::store_u16(h.fragment_offset, 8);
    EXPECT_NE(table.add(h, data, 8), nullptr) << "an open slot with this MAC and sequence";
    nexolt::store_u16(h.fragment_offset, 0);
    nexolt::store_u16(h.sequence, 9);
    EXPECT_EQ(table.add(h, data, 8), nullptr) << "all slots in use";

    table.clear();
    nexolt::store_u16(h.fragment_offset, 8);
    EXPECT_EQ(table.add(h, data, 8), nullptr) << "a continuation whose start was never seen";

    table.clear();
    h.flags = 0x84;
    nexolt::store_u16(h.fragment_offset, 0);
    std::vector<uint8_t> big(6000);
    EXPECT_EQ(table.add(h, big.data(), big.size()), nullptr);
    nexolt::store_u16(h.fragment_offset, 6000);
    h.flags = 0x80;
    EXPECT_EQ(table.add(h, big.data(), big.size()), nullptr) << "beyond 10000 bytes";
}

TEST_F(Intake, ExitLibraryForgetsEveryDevice) {
    take(Reply{});
    EXPECT_EQ(nexolt::device_count(0), 1u);
    Exit_Library();
    EXPECT_EQ(nexolt::device_count(0), 0u);
    EXPECT_EQ(get_env_raw_lib_env_by_mac_addr(0, kMac, nullptr), nullptr);
}

// Every device answers each of the three copies of a search; a repeat starts over in the
// device's own slot, so 256 devices with fragmented settings fit the 256 slots.
TEST_F(Intake, RepeatedFragmentedRepliesOf256DevicesAllComplete) {
    context.max_results = 256;
    Bytes payload = nexolt::test::encode(nexolt::test::io_controller(32));
    auto pieces = fragments_of(payload, 400);
    for (int copy = 0; copy < 3; ++copy)
        for (int device = 0; device < 256; ++device)
            for (Reply piece : pieces) {
                piece.mac[4] = uint8_t(device >> 8);
                piece.mac[5] = uint8_t(device);
                take(piece);
            }
    ASSERT_EQ(context.results.size(), 256u);
    for (const auto& result : context.results) {
        EXPECT_TRUE(result.decoded);
        EXPECT_EQ(result.env.io.settings.peer_port, 502);
    }
    EXPECT_EQ(nexolt::device_count(0), 256u);
}

// The worst case: a continuation that starts at a block boundary decodes by itself, yet it is
// still only part of the device's settings.
TEST_F(Intake, AContinuationStartingAtABlockIsNoReply) {
    Bytes payload = nexolt::test::encode(nexolt::test::io_controller(32));
    size_t cut = nexolt::load_u16(payload.data() + 2);
    cut += nexolt::load_u16(payload.data() + cut + 2);
    lib_env alone{};
    ASSERT_TRUE(nexolt::decode_record(payload.data() + cut, payload.size() - cut, alone, nullptr));

    Reply tail;
    tail.capabilities = 0x0040;
    tail.offset = uint16_t(cut);
    tail.payload.assign(payload.begin() + long(cut), payload.end());
    tail.crc_of_whole = crc16(payload.data(), int(payload.size()));
    take(tail);
    EXPECT_TRUE(context.results.empty());
    EXPECT_EQ(nexolt::device_count(0), 0u);
}

} // namespace
