#include "decoder.h"

#include <algorithm>

#include "corvel/corvel.h"
#include "frame.h"

namespace corvel {
namespace {

// A received body with bounds-checked access; absent bytes are simply not there.
struct Body {
    const uint8_t* bytes;
    size_t size;

    bool has(size_t count) const { return size >= count; }
    uint16_t word(size_t offset) const {
        return static_cast<uint16_t>(bytes[offset] << 8 | bytes[offset + 1]);
    }
};

DecodeResult notify(int code) {
    return DecodeResult{code, -1};
}

// Functions 0x01 and 0x02 carry their bits in the first data byte: only ports 0..7 change.
DecodeResult decode_bit_read(Body body, uint16_t& word, uint8_t& read_error, int code,
                             ReceivedValues& values) {
    if (!body.has(4)) return notify(MB_BAD_PACKET);
    word = static_cast<uint16_t>((word & 0xFF00) | body.bytes[3]);
    read_error = 0;
    values.exception.code = 0;
    return notify(code);
}

// A register-read response: byte count at most 250 and even. Only registers actually
// received are used.
struct Registers {
    bool valid = false;
    const uint8_t* data = nullptr;
    size_t count = 0;
    uint16_t at(size_t i) const {
        return static_cast<uint16_t>(data[2 * i] << 8 | data[2 * i + 1]);
    }
};

Registers parse_register_response(Body body) {
    Registers registers;
    if (!body.has(3)) return registers;
    const size_t byte_count = body.bytes[2];
    if (byte_count > MAX_BODY_SIZE || byte_count % 2 != 0) return registers;
    registers.valid = true;
    registers.data = body.bytes + 3;
    registers.count = std::min(byte_count, body.size - 3) / 2;
    return registers;
}

DecodeResult fill_table(const Registers& registers, RegisterTable& table, int code,
                        ReceivedValues& values) {
    const size_t count = std::min<size_t>(registers.count, TABLE_SIZE);
    for (size_t i = 0; i < count; ++i)
        table[i] = registers.at(i);
    values.exception.code = 0;
    return notify(code);
}

// A word taken from the first register; a response without any register is malformed.
DecodeResult fill_word(const Registers& registers, uint16_t& word, uint8_t* read_error, int code,
                       ReceivedValues& values) {
    if (registers.count == 0) return notify(MB_BAD_PACKET);
    word = registers.at(0);
    if (read_error) *read_error = 0;
    values.exception.code = 0;
    return notify(code);
}

DecodeResult decode_holding_registers(Body body, uint8_t tag, ReceivedValues& values) {
    const Registers registers = parse_register_response(body);
    if (!registers.valid) return notify(MB_BAD_PACKET);
    switch (tag) {
    case TAG_OUTPUTS:
    case TAG_OUTPUTS_ALT:
        return fill_word(registers, values.outputs, &values.output_read_error, MB_OUTPUTS, values);
    case TAG_REGISTER: {
        uint16_t value = 0;
        DecodeResult result = fill_word(registers, value, nullptr, MB_REGISTER, values);
        if (result.code == MB_REGISTER) values.single_register = value;
        return result;
    }
    case TAG_ANALOG_MODES:
        return fill_table(registers, values.analog_modes, MB_ANALOG_MODES, values);
    default:
        return fill_word(registers, values.inputs, &values.input_read_error, MB_INPUTS, values);
    }
}

DecodeResult decode_input_registers(Body body, uint8_t tag, ReceivedValues& values) {
    const Registers registers = parse_register_response(body);
    if (!registers.valid) return notify(MB_BAD_PACKET);
    switch (tag) {
    case TAG_INPUT_REGISTERS:
        return fill_table(registers, values.input_registers, MB_INPUTS, values);
    case TAG_ANALOG_VALUES:
        return fill_table(registers, values.analog_values, MB_ANALOG_VALUES, values);
    case TAG_COUNTERS:
        return fill_table(registers, values.counters, MB_COUNTERS, values);
    case TAG_ANALOG_ERRORS:
        return fill_table(registers, values.analog_errors, MB_ANALOG_ERRORS, values);
    default:
        // Nobody asked for these registers: a valid answer still clears the exception.
        values.exception.code = 0;
        return notify(NO_NOTIFICATION);
    }
}

DecodeResult decode_coil_write(Body body, uint8_t tag, ReceivedValues& values) {
    if (!body.has(6)) return notify(MB_BAD_PACKET);
    values.coil_write = {body.bytes[0], body.bytes[1], body.word(2), body.bytes[4], body.bytes[5]};
    values.exception.code = 0;
    if (tag == TAG_COIL) return notify(MB_COIL_DONE);
    if (tag == TAG_DI_CHANGE) return notify(MB_DI_CHANGE_DONE);
    return notify(NO_NOTIFICATION);
}

DecodeResult decode_pulse_response(Body body, ReceivedValues& values) {
    if (!body.has(7)) return notify(MB_BAD_PACKET);
    values.pulse_response = {body.bytes[0], body.bytes[1], body.word(2), body.word(4),
                             body.bytes[6]};
    values.exception.code = 0;
    return notify(MB_PULSE_DONE);
}

const IdentificationObject* find_object(const ReceivedValues& values, uint8_t id) {
    for (const auto& object : values.objects)
        if (object.id == id) return &object;
    return nullptr;
}

DecodeResult decode_identification(Body body, ReceivedValues& values) {
    constexpr size_t FIRST_OBJECT = 8;
    values.objects.clear();
    const size_t announced = body.has(FIRST_OBJECT) ? body.bytes[7] : 0;
    size_t position = FIRST_OBJECT;
    do {
        if (position + 2 > body.size) break;
        IdentificationObject object;
        object.id = body.bytes[position];
        const size_t length = body.bytes[position + 1];
        const size_t start = position + 2;
        const size_t end = std::min(start + length, body.size);
        object.value.assign(body.bytes + start, body.bytes + end);
        values.objects.push_back(std::move(object));
        position = start + length;
    } while (values.objects.size() < announced && position < body.size);

    DecodeResult result;
    if (const auto* reporting = find_object(values, 0x83); reporting && !reporting->value.empty())
        result.enable_di_change_port = reporting->value[0];
    if (const auto* pulses = find_object(values, 0x85); pulses && !pulses->value.empty()) {
        const uint8_t high = pulses->value.size() > 1 ? pulses->value[1] : 0;
        values.pulse_flags = static_cast<uint16_t>(high << 8 | pulses->value[0]);
        result.code = MB_PULSE_FLAGS;
    }
    return result;
}

DecodeResult decode_change_report(Body body, ReceivedValues& values) {
    constexpr size_t DATA = 7;
    if (!body.has(DATA)) return notify(MB_BAD_PACKET);
    ChangeReport& report = values.change_report;
    report.unit_id = body.bytes[0];
    report.function = body.bytes[1];
    report.address = body.word(2);
    report.quantity = body.word(4);
    report.byte_count = body.bytes[6];
    const size_t received =
        std::min({size_t{report.byte_count}, body.size - DATA, report.data.size()});
    std::copy_n(body.bytes + DATA, received, report.data.begin());
    const size_t words = received / 2;
    auto data_word = [&](size_t i) {
        return static_cast<uint16_t>(report.data[2 * i] << 8 | report.data[2 * i + 1]);
    };

    switch (report.address) {
    case 240:
        if (words == 0) return notify(MB_BAD_PACKET);
        values.inputs = data_word(0);
        return notify(MB_REPORT_INPUTS);
    case 320:
        if (words == 0) return notify(MB_BAD_PACKET);
        values.outputs = data_word(0);
        return notify(MB_REPORT_OUTPUTS);
    case 160:
        for (size_t i = 0; i < words; ++i)
            values.counters[i] = data_word(i);
        return notify(MB_REPORT_COUNTERS);
    default:
        return notify(NO_NOTIFICATION);
    }
}

DecodeResult decode_exception(Body body, uint8_t tag, ReceivedValues& values) {
    if (!body.has(3)) return notify(MB_BAD_PACKET);
    values.exception = {body.bytes[0], body.bytes[1], body.bytes[2]};
    switch (body.bytes[1]) {
    case 0x81:
        return notify(MB_OUTPUTS_EXCEPTION);
    case 0x82:
        values.input_read_error = 1;
        return notify(MB_INPUTS_EXCEPTION);
    case 0x83:
        if (tag == TAG_INPUTS) {
            values.input_read_error = 1;
            return notify(MB_INPUTS_EXCEPTION);
        }
        if (tag == TAG_OUTPUTS || tag == TAG_OUTPUTS_ALT) {
            values.output_read_error = 1;
            return notify(MB_OUTPUTS_EXCEPTION);
        }
        if (tag == TAG_REGISTER) return notify(MB_REGISTER_EXCEPTION);
        values.input_read_error = 0;
        return notify(MB_INPUTS_EXCEPTION);
    case 0x84:
        return notify(tag == TAG_INPUT_REGISTERS ? MB_INPUTS_EXCEPTION : NO_NOTIFICATION);
    case 0x85:
        if (tag == TAG_COIL) return notify(MB_COIL_EXCEPTION);
        if (tag == TAG_DI_CHANGE) return notify(MB_DI_CHANGE_EXCEPTION);
        return notify(NO_NOTIFICATION);
    default: // 0xE9
        return notify(MB_PULSE_EXCEPTION);
    }
}

} // namespace

DecodeResult decode_body(const uint8_t* bytes, size_t size, uint8_t tag, ReceivedValues& values) {
    const Body body{bytes, size};
    if (tag == 0) tag = TAG_INPUTS;
    // A body without a function code cannot be decoded at all.
    if (!body.has(2)) return notify(MB_BAD_PACKET);
    switch (body.bytes[1]) {
    case FN_READ_COILS:
        return decode_bit_read(body, values.outputs, values.output_read_error, MB_OUTPUTS, values);
    case FN_READ_DISCRETE_INPUTS:
        return decode_bit_read(body, values.inputs, values.input_read_error, MB_INPUTS, values);
    case FN_READ_HOLDING_REGISTERS:
        return decode_holding_registers(body, tag, values);
    case FN_READ_INPUT_REGISTERS:
        return decode_input_registers(body, tag, values);
    case FN_WRITE_SINGLE_COIL:
        return decode_coil_write(body, tag, values);
    case FN_ENCAPSULATED_INTERFACE:
        return decode_identification(body, values);
    case FN_OUTPUT_PULSE:
        return decode_pulse_response(body, values);
    case FN_CHANGE_REPORT:
        return decode_change_report(body, values);
    case 0x81:
    case 0x82:
    case 0x83:
    case 0x84:
    case 0x85:
    case 0xE9:
        return decode_exception(body, tag, values);
    case 0xAB:
        values.exception = {body.bytes[0], body.bytes[1], 0};
        return notify(MB_IDENT_EXCEPTION);
    default:
        return notify(MB_UNKNOWN_FUNCTION);
    }
}

bool is_answer_frame(const uint8_t* body, size_t size) {
    return size >= 2 && body[1] != FN_CHANGE_REPORT;
}

bool answers_request(const uint8_t* body, size_t size, const DecodeResult& result) {
    return result.code != MB_BAD_PACKET && is_answer_frame(body, size);
}

} // namespace corvel
