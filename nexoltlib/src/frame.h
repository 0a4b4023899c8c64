// The 32-byte frame header that starts every request and reply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nexolt {

inline constexpr uint8_t kMagic[4] = {0x2A, 0x76, 0x4E, 0x01};
inline constexpr uint8_t kVersion = 0x33;
inline constexpr uint16_t kCapabilityMarker = 0x00C3;

enum FrameFlag : uint8_t {
    kFlagCipher = 0x01,
    kFlagUnicast = 0x02,
    kFlagMoreFragments = 0x04,
    kFlagReply = 0x80,
};

enum Command : uint8_t {
    kCmdSearch = 1,
    kCmdRead = 2,
    kCmdWrite = 3,
    kCmdChangePassword = 4,
    kCmdStatus = 5,
    kCmdWriteMac = 6,
    kCmdCloseTcp = 8,
    kCmdControl = 9,
    kCmdJlock = 11,
    kCmdWriteCrypto = 12,
    kCmdReadCert = 13,
    kCmdPdb = 14,
};

enum Capability : uint16_t { kCapFragments = 0x0040 };

// Wire image of the header; multi-byte fields are little-endian byte pairs.
struct FrameHeader {
    uint8_t magic[4];
    uint8_t version;
    uint8_t flags;
    uint8_t command;
    uint8_t status;
    uint8_t crc[2];
    uint8_t mac[6];
    uint8_t reserved16;
    uint8_t fw_major;
    uint8_t fw_minor;
    uint8_t fw_revision;
    uint8_t sequence[2];
    uint8_t fragment_offset[2];
    uint8_t capability_marker[2];
    uint8_t capability_bits[2];
    uint8_t reserved28[4];

    uint16_t payload_crc() const { return uint16_t(crc[0] | (crc[1] << 8)); }
    uint16_t fragment() const { return uint16_t(fragment_offset[0] | (fragment_offset[1] << 8)); }
    uint16_t seq() const { return uint16_t(sequence[0] | (sequence[1] << 8)); }
    // The sixteen capability flags, or 0 when the marker does not vouch for them.
    uint16_t capabilities() const;
    bool magic_ok() const;
};

static_assert(sizeof(FrameHeader) == 32);
static_assert(offsetof(FrameHeader, version) == 4);
static_assert(offsetof(FrameHeader, flags) == 5);
static_assert(offsetof(FrameHeader, command) == 6);
static_assert(offsetof(FrameHeader, status) == 7);
static_assert(offsetof(FrameHeader, crc) == 8);
static_assert(offsetof(FrameHeader, mac) == 10);
static_assert(offsetof(FrameHeader, reserved16) == 16);
static_assert(offsetof(FrameHeader, fw_major) == 17);
static_assert(offsetof(FrameHeader, fw_minor) == 18);
static_assert(offsetof(FrameHeader, fw_revision) == 19);
static_assert(offsetof(FrameHeader, sequence) == 20);
static_assert(offsetof(FrameHeader, fragment_offset) == 22);
static_assert(offsetof(FrameHeader, capability_marker) == 24);
static_assert(offsetof(FrameHeader, capability_bits) == 26);
static_assert(offsetof(FrameHeader, reserved28) == 28);

FrameHeader read_header(const uint8_t* bytes);

// Builds header plus payload: fills magic, version, the CRC of the plaintext payload, and
// enciphers the payload when flags has kFlagCipher.
std::vector<uint8_t> build_request(uint8_t command, uint8_t flags, const uint8_t* mac,
                                   uint16_t sequence, const std::vector<uint8_t>& payload);

// Process-wide request counter; every request frame built takes the next value.
uint16_t next_sequence();

} // namespace nexolt
