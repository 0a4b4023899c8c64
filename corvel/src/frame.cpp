#include "frame.h"

namespace corvel {

uint8_t SequenceCounters::take(uint8_t tag) {
    if (tag >= FIRST_COUNTED_TAG && tag <= LAST_COUNTED_TAG) {
        previous_ = next_[tag - FIRST_COUNTED_TAG]++;
    }
    return previous_;
}

void FrameWriter::put16(uint16_t value) {
    out_.push_back(static_cast<uint8_t>(value >> 8));
    out_.push_back(static_cast<uint8_t>(value & 0xFF));
}

void FrameWriter::begin(uint8_t tag, uint8_t length, uint8_t function) {
    const uint8_t sequence = sequence_.take(tag);
    out_.insert(out_.end(), {tag, sequence, 0x00, 0x00, 0x00, length, unit_id_, function});
}

void FrameWriter::read(uint8_t tag, uint8_t function, uint16_t address, uint16_t quantity) {
    begin(tag, 6, function);
    put16(address);
    put16(quantity);
}

void FrameWriter::write_coil(uint8_t tag, uint16_t address, uint8_t value) {
    begin(tag, 6, FN_WRITE_SINGLE_COIL);
    put16(address);
    out_.push_back(value);
    out_.push_back(0x00);
}

void FrameWriter::output_pulse(uint8_t tag, uint16_t address, uint16_t duration_ms, uint8_t value) {
    begin(tag, 7, FN_OUTPUT_PULSE);
    put16(address);
    put16(duration_ms);
    out_.push_back(value);
}

void FrameWriter::identification(uint8_t tag, uint8_t read_device_id_code, uint8_t object_id) {
    begin(tag, 5, FN_ENCAPSULATED_INTERFACE);
    out_.insert(out_.end(), {MEI_READ_DEVICE_ID, read_device_id_code, object_id});
}

size_t count_frames(const uint8_t* data, size_t size) {
    size_t frames = 0;
    for (size_t at = 0; at + HEADER_SIZE <= size; at += HEADER_SIZE + data[at + 5])
        ++frames;
    return frames;
}

void append_read_all(FrameWriter& writer, int32_t family, int32_t mode) {
    const bool inputs = mode == 0 || mode == 2;
    const bool outputs = mode == 1 || mode == 2;
    const bool analog = family == 1 || family == 4 || family == 5;
    const bool temperature = family == 5;
    const bool counters = family == 2 || family == 4;
    const bool coils = family == 3 || family == 4;

    if (inputs && analog)
        writer.read(TAG_ANALOG_VALUES, FN_READ_INPUT_REGISTERS, 0, temperature ? 1 : 4);
    if (mode == 0 && temperature) writer.read(TAG_ANALOG_MODES, FN_READ_HOLDING_REGISTERS, 466, 2);
    if (inputs && temperature) writer.read(TAG_ANALOG_ERRORS, FN_READ_INPUT_REGISTERS, 8, 1);
    if (inputs && counters) {
        writer.read(TAG_COUNTERS, FN_READ_INPUT_REGISTERS, 160, 8);
        writer.read(TAG_INPUTS, FN_READ_DISCRETE_INPUTS, 0, 4);
    }
    if (outputs && coils) writer.read(TAG_OUTPUTS, FN_READ_COILS, 0, family == 3 ? 2 : 4);
}

} // namespace corvel
