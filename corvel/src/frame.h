// Modbus/TCP request frames: the six-byte header with its request tag and sequence byte, and
// the PDUs Corvel sends. Pure functions over byte vectors; the socket layer sends the result.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvel {

constexpr size_t HEADER_SIZE = 6;
constexpr size_t MAX_BODY_SIZE = 250;

// The high byte of the transaction id names the kind of request; the decoder picks the
// meaning of a response by it.
enum Tag : uint8_t {
    TAG_INPUTS = 0x2C,          // ","
    TAG_OUTPUTS = 0x2D,         // "-"
    TAG_REGISTER = 0x2E,        // "."
    TAG_PULSE = 0x2F,           // "/"
    TAG_COIL = 0x30,            // "0"
    TAG_OUTPUTS_ALT = 0x33,     // "3"
    TAG_INPUT_REGISTERS = 0x34, // "4"
    TAG_ANALOG_VALUES = 0x35,   // "5"
    TAG_COUNTERS = 0x36,        // "6"
    TAG_DI_CHANGE = 0x37,       // "7"
    TAG_ANALOG_ERRORS = 0x38,   // "8"
    TAG_ANALOG_MODES = 0x39,    // "9"
};
constexpr uint8_t FIRST_COUNTED_TAG = 0x2C;
constexpr uint8_t LAST_COUNTED_TAG = 0x39;

// DEV-8i0 absolute addresses (not offset by the registered bases).
constexpr uint16_t RLX_COUNTER_RESET_BASE = 240;
constexpr uint16_t RLX_PULSE_CONTROL_BASE = 80;
constexpr uint16_t RLX_DI_CHANGE_ENABLE_BASE = 1200;

enum Function : uint8_t {
    FN_READ_COILS = 0x01,
    FN_READ_DISCRETE_INPUTS = 0x02,
    FN_READ_HOLDING_REGISTERS = 0x03,
    FN_READ_INPUT_REGISTERS = 0x04,
    FN_WRITE_SINGLE_COIL = 0x05,
    FN_ENCAPSULATED_INTERFACE = 0x2B,
    FN_OUTPUT_PULSE = 0x69,
    FN_CHANGE_REPORT = 0x6C,
};
constexpr uint8_t MEI_READ_DEVICE_ID = 0x0E;

// One counter per counted tag; a frame carries the counter's value, then the counter moves on.
class SequenceCounters {
  public:
    void reset() { *this = SequenceCounters{}; }
    uint8_t take(uint8_t tag);

  private:
    std::array<uint8_t, LAST_COUNTED_TAG - FIRST_COUNTED_TAG + 1> next_{};
    uint8_t previous_ = 0; // sequence byte of the previous frame, reused by uncounted tags
};

// The caller's tag when its low byte is non-zero, otherwise the request's default.
inline uint8_t choose_tag(int32_t caller_tag, uint8_t default_tag) {
    uint8_t tag = static_cast<uint8_t>(caller_tag & 0xFF);
    return tag != 0 ? tag : default_tag;
}

// Appends complete frames for one controller to a buffer.
class FrameWriter {
  public:
    FrameWriter(std::vector<uint8_t>& out, SequenceCounters& sequence, uint8_t unit_id)
        : out_(out), sequence_(sequence), unit_id_(unit_id) {}

    void read(uint8_t tag, uint8_t function, uint16_t address, uint16_t quantity);
    void write_coil(uint8_t tag, uint16_t address, uint8_t value);
    void output_pulse(uint8_t tag, uint16_t address, uint16_t duration_ms, uint8_t value);
    void identification(uint8_t tag, uint8_t read_device_id_code, uint8_t object_id);

  private:
    void begin(uint8_t tag, uint8_t length, uint8_t function);
    void put16(uint16_t value);

    std::vector<uint8_t>& out_;
    SequenceCounters& sequence_;
    uint8_t unit_id_;
};

// The number of frames in a buffer of complete frames, counted by their headers' lengths.
size_t count_frames(const uint8_t* data, size_t size);

// The pipelined reads of one DEV-8i0 controller for a family (1..5) and a mode (0..2).
// A combination that selects nothing appends nothing.
void append_read_all(FrameWriter& writer, int32_t family, int32_t mode);

} // namespace corvel
