// The requests the operations put on the wire, caught on loopback and compared with frames
// written out by hand: command code, flags, payload blocks and their cipher. The device
// answers with a bare reply header so that each operation ends at once.
#include "capturing_device.h"

#include "nexoltlib/nexoltlib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

using nexolt::test::Bytes;
using nexolt::test::CapturingDevice;
using nexolt::test::kLoopback;
using nexolt::test::known_device;
const uint8_t* const kMac = nexolt::test::kDeviceMac;

void pad_to(Bytes& text, size_t size) {
    text.resize(size, 0);
}

struct RequestCase {
    const char* name;
    bool enciphers;
    size_t datagrams; // two to a known device, three for a read by address
    std::function<int(lib_env& record, uint16_t port, int& error)> run;
    uint8_t flags, command;
    uint16_t crc;
    bool by_address; // no MAC in the header
    Bytes payload;
};

// The request header of the frame table; the sequence field (bytes 20 and 21) left zero.
Bytes request_header(const RequestCase& c) {
    Bytes header = {0x2A, 0x76, 0x4E, 0x01}; // magic
    header.push_back(0x33);                  // version
    header.push_back(c.flags);
    header.push_back(c.command);
    header.push_back(0x00); // status
    header.push_back(uint8_t(c.crc));
    header.push_back(uint8_t(c.crc >> 8));
    const uint8_t none[6] = {};
    const uint8_t* mac = c.by_address ? none : kMac;
    header.insert(header.end(), mac, mac + 6);
    header.resize(32, 0); // reserved, firmware, sequence, fragment offset, capabilities
    return header;
}

int change_password(lib_env& record, uint16_t port, int& error) {
    Bytes old_pw = {'o', 'l', 'd', '1'}, new_pw = {'n', 'e', 'w', '2'};
    pad_to(old_pw, 10);
    pad_to(new_pw, 10);
    return Nexolt_ChangePwd(1, &record, old_pw.data(), new_pw.data(), &error, port, 0, 4);
}

int status(lib_env& record, uint16_t port, int& error) {
    char text[64];
    uint8_t sessions[24 * 48];
    int count = 0;
    return Nexolt_Status(1, &record, text, sizeof text, sessions, &count, &error, port, 0, 4);
}

int close_session(lib_env& record, uint16_t port, int& error) {
    const uint8_t session[24] = {4, 0, 0, 0, 't', 'e', 'l', 'n', 'e', 't', 0,    0,
                                 0, 0, 0, 0, 192, 168, 7,   9,   23,  0,   0x39, 0x30};
    const uint8_t password[10] = {'p', 'w', '1', '2'};
    return Nexolt_CloseTCP(1, &record, session, password, &error, port, 0, 4);
}

int pdb(lib_env& record, uint16_t port, int& error) {
    std::memcpy(record.password, "pw12", 4);
    return Nexolt_PDB(1, &record, "10.0.0.5", "dump", &error, port, 0, 4);
}

int read_certificate(lib_env&, uint16_t port, int& error) {
    return Nexolt_ReadCert(1, nullptr, kLoopback, &error, port, 0, 4);
}

int search_by_address(lib_env&, uint16_t port, int& error) {
    static lib_env results[4];
    int count = 0;
    return Nexolt_Search2(1, kLoopback, results, &count, &error, 300, port, 0, 4);
}

int read_by_address(lib_env& record, uint16_t port, int& error) {
    return Nexolt_Read2(1, nullptr, kLoopback, &record, &error, 1000, port, 0, 4);
}

int close_session6(lib_env& record, uint16_t port, int& error) {
    uint8_t session[48] = {1, 0, 0, 0, 'w', 'e', 'b'};
    const uint8_t peer[16] = {0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x09};
    std::memcpy(session + 28, peer, 16);
    session[44] = 80;
    const uint8_t password[10] = {'p', 'w', '1', '2'};
    return Nexolt_CloseTCP6(1, &record, session, password, &error, port, 0, 4);
}

int reboot(lib_env& record, uint16_t port, int& error) {
    return Nexolt_ReBoot(1, &record, &error, port, 0, 4);
}

int remote_debug_on(lib_env& record, uint16_t port, int& error) {
    return Nexolt_RdbOnOff(1, &record, 1, 0x12345678, &error, port, 0, 4);
}

int duplicate_address_detection(lib_env& record, uint16_t port, int& error) {
    return Nexolt_DAD(1, &record, &error, port, 0, 4);
}

TEST(GoldenRequests, CommandFlagsAndPayload) {
    // Flags: 0x01 enciphered, 0x02 unicast.
    const RequestCase cases[] = {
        {"change password",
         false,
         2,
         change_password,
         0x02,
         4,
         0x6D52,
         false,
         {
             0x06, 0x00, 0x10, 0x00,                                     // (6,0), 16 bytes
             'o',  'l',  'd',  '1',  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // current password
             0x97, 0x65,                                                 // CRC
             0x06, 0x01, 0x10, 0x00,                                     // (6,1), 16 bytes
             'n',  'e',  'w',  '2',  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // new password
             0x2E, 0xA0,                                                 // CRC
         }},
        {"change password, enciphered",
         true,
         2,
         change_password,
         0x03,
         4,
         0x6D52,
         false,
         {
             // the two blocks above under the key ending 52 6D
             0x45, 0x07, 0xBF, 0x62, 0x6C, 0x02, 0x64, 0xC8, 0x5D, 0x6B, 0xAB,
             0xDA, 0x58, 0xCF, 0x0B, 0x47, 0xC9, 0x18, 0x64, 0x78, 0x06, 0xAD,
             0x2B, 0x5C, 0xC2, 0xD3, 0x29, 0x8F, 0x50, 0xE9, 0xCA, 0x04,
         }},
        // Status requests carry the cipher flag whatever the device does; no payload, CRC 0.
        {"status", false, 2, status, 0x03, 5, 0x0000, false, {}},
        {"close a TCP session",
         false,
         2,
         close_session,
         0x02,
         8,
         0xCEE3,
         false,
         {
             0x31, 0x00, 0x20, 0x00, // (49,0), 32 bytes
             0x04, 0x00, 0x00, 0x00, // state ESTABLISHED
             't',  'e',  'l',  'n',  'e',  't',  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // name
             0xC0, 0xA8, 0x07, 0x09,                                     // peer 192.168.7.9
             0x17, 0x00, 0x39, 0x30,                                     // ports 23 and 12345
             0x00, 0x00, 0x72, 0x59,                                     // padding, CRC
             0x06, 0x00, 0x10, 0x00,                                     // (6,0)
             'p',  'w',  '1',  '2',  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // the given password
             0xAD, 0xAB,                                                 // CRC
             0x06, 0x01, 0x10, 0x00,                                     // (6,1)
             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // new password field
             0x5E, 0x13,                                                 // CRC
         }},
        {"PDB",
         false,
         2,
         pdb,
         0x02,
         14,
         0x8BB2,
         false,
         {
             0x06, 0x00, 0x10, 0x00,                                     // (6,0)
             'p',  'w',  '1',  '2',  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // current password
             0xAD, 0xAB,                                                 // CRC
             0x34, 0x00, 0x1C, 0x00,                                     // (52,0), 28 bytes
             'h',  'o',  's',  't',  ' ',  '1',  '0',  '.',  '0',  '.',  '0', '.', '5', ' ', // text
             'd',  'u',  'm',  'p',  0x00, // and its terminator
             0x00, 0x00, 0x00,             // padding
             0x2D, 0x31,                   // CRC
         }},
        {"read certificate by address",
         false,
         3,
         read_certificate,
         0x03,
         13,
         0x0C4D,
         true,
         {
             // empty block (11,2) 0B 02 08 00 00 00 DC 33 under the key ending 4D 0C
             0x56,
             0x70,
             0x0B,
             0x99,
             0x6D,
             0xDB,
             0xA4,
             0xD3,
         }},
        // Searches and reads carry the cipher flag; a read names the record's MAC.
        {"search by address", false, 3, search_by_address, 0x03, 2, 0x0000, true, {}},
        {"read by address", false, 3, read_by_address, 0x03, 2, 0x0000, false, {}},
        {"close an IPv6 TCP session",
         false,
         2,
         close_session6,
         0x02,
         8,
         0x821E,
         false,
         {
             0x33, 0x00, 0x38, 0x00,                         // (51,0), 56 bytes
             0x01, 0x00, 0x00, 0x00,                         // state LISTEN
             'w',  'e',  'b',  0x00, 0x00, 0x00, 0x00, 0x00, // name
             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, //
             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, //
             0xFE, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // peer fe80::9 at 28
             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, //
             0x50, 0x00, 0x00, 0x00,                         // local port 80 at 44, peer port
             0x00, 0x00, 0x38, 0xC3,                         // padding, CRC
             0x06, 0x00, 0x10, 0x00, 'p',  'w',  '1',  '2',
             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xAD, 0xAB, // (6,0)
             0x06, 0x01, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00,
             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x5E, 0x13, // (6,1)
         }},
        {"reboot",
         false,
         2,
         reboot,
         0x02,
         9,
         0x21AC,
         false,
         {
             0x32, 0x00, 0x10, 0x00, // (50,0), 16 bytes
             0x41, 0x04, 0x04, 0x00, // control code 263233
             '$', 'W', 'R', 'L',     // tag
             0x00, 0x00, 0xAD, 0xCF, // padding, CRC
         }},
        {"remote debugging on",
         false,
         2,
         remote_debug_on,
         0x02,
         9,
         0x9D02,
         false,
         {
             0x32, 0x00, 0x14, 0x00, // (50,0), 20 bytes
             0x01, 0x04, 0x04, 0x00, // control code 263169
             '$',  'H',  'I',  'P',  // tag
             0x78, 0x56, 0x34, 0x12, // the caller's value
             0x00, 0x00, 0x39, 0x2D, // padding, CRC
         }},
        {"duplicate address detection",
         false,
         2,
         duplicate_address_detection,
         0x02,
         9,
         0x6360,
         false,
         {
             0x32, 0x00, 0x10, 0x00, // (50,0), 16 bytes
             0x02, 0x04, 0x00, 0x00, // control code 1026
             '$', 'D', 'A', 'D',     // tag
             0x00, 0x00, 0x47, 0xC0, // padding, CRC
         }},
    };
    for (const auto& c : cases) {
        lib_env record = known_device(c.enciphers);
        CapturingDevice device;
        ASSERT_NE(device.port(), 0) << c.name;
        device.expect(c.datagrams);
        int error = 0;
        EXPECT_EQ(c.run(record, device.port(), error), 1) << c.name << ": error " << error;
        std::vector<Bytes> got = device.received();
        ASSERT_EQ(got.size(), c.datagrams) << c.name;
        for (const Bytes& datagram : got)
            EXPECT_EQ(datagram, got[0]) << c.name << ": every send is the same frame";
        got[0][20] = got[0][21] = 0;
        Bytes expected = request_header(c);
        expected.insert(expected.end(), c.payload.begin(), c.payload.end());
        EXPECT_EQ(got[0], expected) << c.name;
    }
}

// A device that takes fragments gets a long write in pieces of 1428 payload bytes, the
// payload enciphered once as a whole.
TEST(GoldenRequests, LongWriteInEncipheredFragments) {
    Bytes blocks = {0xFE, 0x00, 0xB8, 0x0B}; // user page block, 3000 bytes long
    for (int i = 0; i < 2994; ++i)
        blocks.push_back(uint8_t(i * 7));
    blocks.insert(blocks.end(), {0x91, 0xD1}); // its CRC
    lib_env record = known_device(true, 0x0040);
    CapturingDevice device;
    ASSERT_NE(device.port(), 0);
    device.expect(3);
    int error = 0;
    EXPECT_EQ(
        Nexolt_WriteBIN(1, &record, blocks.data(), int(blocks.size()), &error, device.port(), 0, 4),
        1)
        << error;
    std::vector<Bytes> got = device.received();
    ASSERT_EQ(got.size(), 3u);

    struct Piece {
        size_t size;
        uint8_t flags;
        uint16_t offset;
        Bytes body_start; // first enciphered bytes of the piece
    };
    const Piece pieces[] = {
        {1460, 0x07, 0, {0x85, 0x32, 0xBA, 0x64, 0x5B, 0x44, 0x09, 0xAD}},
        {1460, 0x07, 1428, {0xBE, 0xB1, 0x27, 0x53, 0xC7, 0x97, 0xB4, 0x99}},
        {176, 0x03, 2856, {0x49, 0xA3, 0xBE, 0x38, 0x4A, 0x32, 0x49, 0x9F}},
    };
    for (size_t i = 0; i < 3; ++i) {
        const Piece& p = pieces[i];
        Bytes& d = got[i];
        ASSERT_EQ(d.size(), p.size) << i;
        d[20] = d[21] = 0;
        RequestCase header{"write", true, 3, nullptr, p.flags, 3, 0x4508, false, {}};
        Bytes expected = request_header(header);
        expected[22] = uint8_t(p.offset); // fragment offset
        expected[23] = uint8_t(p.offset >> 8);
        EXPECT_EQ(Bytes(d.begin(), d.begin() + 32), expected) << i;
        EXPECT_EQ(Bytes(d.begin() + 32, d.begin() + 40), p.body_start) << i;
    }
}

} // namespace

// Certificate items: one whole frame, sent twice, to a device that takes no fragments; in
// pieces, each sent twice, to one that does. Bit 2 marks the pieces that more follow.
TEST(GoldenRequests, CertificateWritesTwiceWholeOrInPieces) {
    Bytes first_item(1500);
    for (size_t i = 0; i < first_item.size(); ++i)
        first_item[i] = uint8_t(i * 7);
    const Bytes small_item = {'A', 'B'};
    const Bytes small_payload = {
        0x0B, 0x00, 0x08, 0x00, 0x41, 0x42, 0x24, 0x21, // (11,0) "AB"
        0x0B, 0x01, 0x08, 0x00, 0x00, 0x00, 0x0E, 0xDD, // (11,1) to (11,3) empty
        0x0B, 0x02, 0x08, 0x00, 0x00, 0x00, 0xDC, 0x33, //
        0x0B, 0x03, 0x08, 0x00, 0x00, 0x00, 0x8D, 0x99, //
    };
    struct Datagram {
        size_t size;
        uint8_t flags;
        uint16_t offset;
        Bytes body_start;
    };
    struct Case {
        const char* name;
        uint16_t capabilities;
        const Bytes* item;
        uint16_t crc;
        std::vector<Datagram> sent;
    };
    const Bytes big_start = {0x0B, 0x00, 0xE4, 0x05, 0x00, 0x07, 0x0E, 0x15};  // (11,0), 1508
    const Bytes big_middle = {0xF0, 0xF7, 0xFE, 0x05, 0x0C, 0x13, 0x1A, 0x21}; // item byte 1424
    const Case cases[] = {
        {"small, no fragments",
         0,
         &small_item,
         0x184B,
         {{64, 0x02, 0, small_payload}, {64, 0x02, 0, small_payload}}},
        {"large, no fragments",
         0,
         &first_item,
         0xB9B6,
         {{1564, 0x02, 0, big_start}, {1564, 0x02, 0, big_start}}},
        {"large, in pieces",
         0x0040,
         &first_item,
         0xB9B6,
         {{1460, 0x06, 0, big_start},
          {1460, 0x06, 0, big_start},
          {136, 0x02, 1428, big_middle},
          {136, 0x02, 1428, big_middle}}},
    };
    for (const auto& c : cases) {
        lib_env record = known_device(false, c.capabilities);
        CapturingDevice device;
        ASSERT_NE(device.port(), 0) << c.name;
        device.expect(c.sent.size());
        const uint8_t* items[4] = {c.item->data(), nullptr, nullptr, nullptr};
        const int lengths[4] = {int(c.item->size()), 0, 0, 0};
        int error = 0;
        EXPECT_EQ(Nexolt_WriteCRYPTO(1, &record, items, lengths, &error, device.port(), 0, 4), 1)
            << c.name << ": error " << error;
        std::vector<Bytes> got = device.received();
        ASSERT_EQ(got.size(), c.sent.size()) << c.name;
        for (size_t i = 0; i < got.size(); ++i) {
            const Datagram& d = c.sent[i];
            Bytes& frame = got[i];
            ASSERT_EQ(frame.size(), d.size) << c.name << " " << i;
            frame[20] = frame[21] = 0;
            RequestCase header{"certificates", false, 0, nullptr, d.flags, 12, c.crc, false, {}};
            Bytes expected = request_header(header);
            expected[22] = uint8_t(d.offset);
            expected[23] = uint8_t(d.offset >> 8);
            EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 32), expected) << c.name << " " << i;
            EXPECT_EQ(Bytes(frame.begin() + 32, frame.begin() + 32 + long(d.body_start.size())),
                      d.body_start)
                << c.name << " " << i;
        }
    }
}
