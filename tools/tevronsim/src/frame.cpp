#include "frame.h"

namespace tevronsim {

Bytes encode_frame(std::uint16_t transaction, std::uint8_t unit,
                   std::span<const std::uint8_t> pdu) {
    Bytes out;
    out.reserve(kHeaderSize + pdu.size());
    put_u16(out, transaction);
    put_u16(out, 0);
    put_u16(out, static_cast<std::uint16_t>(pdu.size() + 1));
    out.push_back(unit);
    out.insert(out.end(), pdu.begin(), pdu.end());
    return out;
}

Bytes exception_pdu(std::uint8_t function, std::uint8_t code) {
    return Bytes{static_cast<std::uint8_t>(function | 0x80), code};
}

Bytes bits_pdu(std::uint8_t function, std::uint32_t bits, std::uint16_t count) {
    Bytes out{function, static_cast<std::uint8_t>((count + 7) / 8)};
    for (std::uint16_t i = 0; i < count; i += 8) {
        std::uint8_t byte = 0;
        for (std::uint16_t b = 0; b < 8 && i + b < count; ++b) {
            unsigned bit = i + b;
            if (bit < 32 && (bits >> bit & 1u)) byte |= static_cast<std::uint8_t>(1u << b);
        }
        out.push_back(byte);
    }
    return out;
}

Bytes registers_pdu(std::uint8_t function, std::span<const std::uint16_t> registers) {
    Bytes out{function, static_cast<std::uint8_t>(registers.size() * 2)};
    for (auto r : registers)
        put_u16(out, r);
    return out;
}

void FrameReader::feed(std::span<const std::uint8_t> data) {
    if (failed()) return;
    // Drop consumed bytes before growing, so a long-lived connection keeps a small buffer.
    if (start_ > 0) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
        start_ = 0;
    }
    buffer_.insert(buffer_.end(), data.begin(), data.end());
}

std::optional<Frame> FrameReader::next() {
    if (failed() || buffer_.size() - start_ < kHeaderSize) return std::nullopt;
    std::span<const std::uint8_t> head(buffer_.data() + start_, kHeaderSize);
    std::uint16_t length = get_u16(head, 4);
    if (length < 2 || length > kMaxLengthField) {
        failed_header_.assign(head.begin(), head.end());
        error_ = "bad length " + std::to_string(length);
        return std::nullopt;
    }
    std::size_t total = kHeaderSize - 1 + length;
    if (buffer_.size() - start_ < total) return std::nullopt;
    Frame f;
    f.transaction = get_u16(head, 0);
    f.protocol = get_u16(head, 2);
    f.unit = head[6];
    auto body = buffer_.begin() + static_cast<std::ptrdiff_t>(start_ + kHeaderSize);
    f.pdu.assign(body, body + (length - 1));
    start_ += total;
    return f;
}

} // namespace tevronsim
