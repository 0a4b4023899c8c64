// The values a controller's responses leave behind, read by the getters between notifications.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace corvel {

constexpr int TABLE_SIZE = 125;
using RegisterTable = std::array<uint16_t, TABLE_SIZE>;

struct ExceptionRecord {
    uint8_t unit_id = 0;
    uint8_t function = 0;
    uint8_t code = 0;
};

struct CoilWriteRecord {
    uint8_t unit_id = 0;
    uint8_t function = 0;
    uint16_t address = 0;
    uint8_t value_high = 0;
    uint8_t value_low = 0;
};

struct PulseRecord {
    uint8_t unit_id = 0;
    uint8_t function = 0;
    uint16_t address = 0;
    uint16_t duration = 0;
    uint8_t value = 0;
};

struct ChangeReport {
    uint8_t unit_id = 0;
    uint8_t function = 0;
    uint16_t address = 0;
    uint16_t quantity = 0;
    uint16_t byte_count = 0;
    std::array<uint8_t, 200> data{};
};

struct IdentificationObject {
    uint8_t id = 0;
    std::vector<uint8_t> value;
};

struct ReceivedValues {
    uint16_t inputs = 0;
    uint16_t outputs = 0;
    uint16_t pulse_flags = 0; // low byte: output ports 0..7
    uint32_t single_register = 0;
    RegisterTable input_registers{};
    RegisterTable analog_values{};
    RegisterTable counters{};
    RegisterTable analog_errors{};
    RegisterTable analog_modes{}; // entry k: channel 2k low byte, channel 2k+1 high byte
    uint8_t input_read_error = 0;
    uint8_t output_read_error = 0;
    uint8_t last_tag = 0;
    ExceptionRecord exception;
    CoilWriteRecord coil_write;
    PulseRecord pulse_request;
    PulseRecord pulse_response;
    ChangeReport change_report;
    std::vector<IdentificationObject> objects;

    // What a connection reset clears: the single register, the coil-write and pulse records
    // and the identification objects survive it.
    void reset_for_new_connection();
};

} // namespace corvel
