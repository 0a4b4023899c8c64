#pragma once
// Modbus/TCP frames as a device sees them: the 7-byte MBAP header (transaction id, protocol
// id, length, unit id) followed by the PDU. Pure functions and a reassembler, no sockets.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tevronsim {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kHeaderSize = 7;
// The length field counts the unit id and the PDU; a PDU is at most 253 bytes.
constexpr std::uint16_t kMaxLengthField = 254;

struct Frame {
    std::uint16_t transaction = 0;
    std::uint16_t protocol = 0;
    std::uint8_t unit = 0;
    Bytes pdu;         // function code first
    std::string error; // set instead of a PDU for a header the stream cannot go on from
};

inline std::uint16_t get_u16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
}
inline void put_u16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

// The whole frame on the wire for a PDU.
Bytes encode_frame(std::uint16_t transaction, std::uint8_t unit, std::span<const std::uint8_t> pdu);

Bytes exception_pdu(std::uint8_t function, std::uint8_t code);
// Bits packed least significant first, as functions 0x01 and 0x02 answer them.
Bytes bits_pdu(std::uint8_t function, std::uint32_t bits, std::uint16_t count);
Bytes registers_pdu(std::uint8_t function, std::span<const std::uint16_t> registers);

// Collects bytes from a stream and hands out complete frames. A length field outside
// 2..254 cannot be resynchronised on, so it puts the reader in a failed state.
class FrameReader {
  public:
    void feed(std::span<const std::uint8_t> data);
    std::optional<Frame> next();
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    // Header of the frame that failed, for the request log.
    const Bytes& failed_header() const { return failed_header_; }

  private:
    Bytes buffer_;
    std::size_t start_ = 0;
    std::string error_;
    Bytes failed_header_;
};

} // namespace tevronsim
