// The requests the operations put on the wire, caught on loopback and compared with frames
// written out by hand: command code, flags, payload blocks and their cipher. The device
// answers with a bare reply header so that each operation ends at once.
#include "device_lists.h"

#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

const uint8_t kMac[6] = {0x00, 0x30, 0xF9, 0x12, 0x34, 0x56};
const uint32_t kLoopback = htonl(INADDR_LOOPBACK);

// A device on an ephemeral loopback port: keeps every datagram and answers the first with a
// reply header of the same command and MAC.
class CapturingDevice {
  public:
    CapturingDevice() {
        fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = kLoopback;
        socklen_t size = sizeof local;
        if (bind(fd_, reinterpret_cast<sockaddr*>(&local), size) == 0 &&
            getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size) == 0)
            port_ = ntohs(local.sin_port);
    }
    ~CapturingDevice() {
        if (thread_.joinable()) thread_.join();
        close(fd_);
    }
    uint16_t port() const { return port_; }

    // Starts listening until count datagrams came in or 5 s passed.
    void expect(size_t count) {
        thread_ = std::thread([this, count] { run(count); });
    }
    std::vector<Bytes> received() {
        thread_.join();
        return got_;
    }

  private:
    void run(size_t count) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        uint8_t buffer[10000];
        while (got_.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            sockaddr_in from{};
            socklen_t size = sizeof from;
            ssize_t n =
                recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
            if (n < 32) continue;
            got_.emplace_back(buffer, buffer + n);
            if (got_.size() == 1) answer(buffer, from);
        }
    }
    void answer(const uint8_t* request, const sockaddr_in& to) {
        uint8_t reply[32] = {0x2A, 0x76, 0x4E, 0x01, 0x33, 0x82}; // reply, unicast
        reply[6] = request[6];                                    // command
        std::memcpy(reply + 10, request + 10, 6);                 // MAC
        reply[17] = 1;                                            // firmware 1.2
        reply[18] = 2;
        std::memcpy(reply + 20, request + 20, 2); // sequence
        sendto(fd_, reply, sizeof reply, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }

    int fd_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::vector<Bytes> got_;
};

// The device as a unicast search would have listed it, reached through loopback.
lib_env known_device(bool enciphers) {
    nexolt::clear_device_lists();
    nexolt::DeviceEntry entry;
    std::memcpy(entry.mac, kMac, 6);
    std::memcpy(entry.env.mac, kMac, 6);
    entry.env.device_address = kLoopback;
    entry.env.product_id = 32;
    entry.decoded = true;
    entry.unicast = true;
    entry.cipher = enciphers;
    entry.interface_address = "127.0.0.1";
    nexolt::store_device(1, entry);
    return entry.env;
}

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

} // namespace
