#include "frame.h"

#include "nexoltlib/nexoltlib.h"
#include "rc4.h"

#include <cstring>

namespace nexolt {

namespace {
unsigned g_request_counter = 0;
}

uint16_t FrameHeader::capabilities() const {
    if ((capability_marker[0] | (capability_marker[1] << 8)) != kCapabilityMarker) return 0;
    return uint16_t(capability_bits[0] | (capability_bits[1] << 8));
}

bool FrameHeader::magic_ok() const {
    return std::memcmp(magic, kMagic, 4) == 0;
}

FrameHeader read_header(const uint8_t* bytes) {
    FrameHeader header;
    std::memcpy(&header, bytes, sizeof header);
    return header;
}

uint16_t next_sequence() {
    return uint16_t(g_request_counter++);
}

std::vector<uint8_t> build_request(uint8_t command, uint8_t flags, const uint8_t* mac,
                                   uint16_t sequence, const std::vector<uint8_t>& payload) {
    FrameHeader header{};
    std::memcpy(header.magic, kMagic, 4);
    header.version = kVersion;
    header.flags = flags;
    header.command = command;
    if (mac) std::memcpy(header.mac, mac, 6);
    header.sequence[0] = uint8_t(sequence);
    header.sequence[1] = uint8_t(sequence >> 8);
    uint16_t crc = payload.empty() ? 0 : crc16(payload.data(), int(payload.size()));
    header.crc[0] = uint8_t(crc);
    header.crc[1] = uint8_t(crc >> 8);

    std::vector<uint8_t> frame(sizeof header + payload.size());
    std::memcpy(frame.data(), &header, sizeof header);
    if (payload.empty()) return frame;
    if (flags & kFlagCipher)
        crypt_payload(crc, payload.data(), frame.data() + sizeof header, payload.size());
    else
        std::memcpy(frame.data() + sizeof header, payload.data(), payload.size());
    return frame;
}

} // namespace nexolt
