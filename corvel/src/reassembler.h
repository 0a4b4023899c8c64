// Cuts a received byte stream into Modbus/TCP frames: six header bytes, then the body whose
// length the header's low length byte announces.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "frame.h"

namespace corvel {

class Reassembler {
  public:
    enum class Event { None, Body, BadLength };

    // Consumes bytes until one event happens or the input runs out; returns how many bytes
    // were consumed. After Event::Body, body() holds the complete body. After
    // Event::BadLength the announced body is not skipped: the next bytes start a new header.
    size_t feed(const uint8_t* data, size_t size, Event& event);

    const uint8_t* body() const { return body_.data(); }
    size_t body_length() const { return body_length_; }
    uint8_t tag() const { return header_[0]; }
    void reset() { *this = Reassembler{}; }

  private:
    std::array<uint8_t, HEADER_SIZE> header_{};
    std::array<uint8_t, MAX_BODY_SIZE> body_{};
    size_t header_held_ = 0;
    size_t body_held_ = 0;
    size_t body_length_ = 0;
    bool in_body_ = false;
};

} // namespace corvel
