// The getters: single values of an entry, read under its lock.
#include "entry_access.h"
#include "guard.h"

using namespace corvel;

namespace {

template <class Read> int32_t read_value(int32_t key, Read&& read) {
    return guarded(nullptr, [&] {
        return with_entry(key, [&](DeviceEntry& entry) -> int32_t { return read(entry); });
    });
}

int32_t table_entry(int32_t key, int32_t index, RegisterTable ReceivedValues::*table) {
    return read_value(key, [&](DeviceEntry& entry) -> int32_t {
        if (index < 0 || index >= TABLE_SIZE) return CORVEL_SOCKET_ERROR;
        return (entry.values.*table)[index];
    });
}

} // namespace

extern "C" {

int32_t get_received_port_value(int32_t key, int32_t kind, int32_t port) {
    return read_value(key, [&](DeviceEntry& e) -> int32_t {
        if (kind == CORVEL_KIND_REGISTER) return static_cast<int32_t>(e.values.single_register);
        if (kind != CORVEL_KIND_INPUT && kind != CORVEL_KIND_OUTPUT) return CORVEL_SOCKET_ERROR;
        if (port < 0 || port > 7) return CORVEL_WRONG_STATE;
        const uint16_t word = kind == CORVEL_KIND_INPUT ? e.values.inputs : e.values.outputs;
        return word >> port & 1;
    });
}

int32_t get_received_input_register_value(int32_t key, int32_t index) {
    return table_entry(key, index, &ReceivedValues::input_registers);
}

int32_t get_ai_value_register(int32_t key, int32_t index) {
    return table_entry(key, index, &ReceivedValues::analog_values);
}

int32_t get_ai_error_code(int32_t key, int32_t index) {
    return table_entry(key, index, &ReceivedValues::analog_errors);
}

int32_t get_di_counter_value_register(int32_t key, int32_t index) {
    return table_entry(key, index, &ReceivedValues::counters);
}

// Each mode entry holds two channels: the even one in its low byte.
int32_t get_ai_mode(int32_t key, int32_t channel) {
    return read_value(key, [&](DeviceEntry& e) -> int32_t {
        if (channel < 0 || channel >= TABLE_SIZE) return CORVEL_SOCKET_ERROR;
        const uint16_t entry = e.values.analog_modes[channel / 2];
        return channel % 2 == 0 ? entry & 0xFF : entry >> 8;
    });
}

int32_t get_rlx8xx_output_pulse(int32_t key, int32_t port) {
    return read_value(key, [&](DeviceEntry& e) -> int32_t {
        if (port < 0 || port > 7) return 0;
        return e.values.pulse_flags >> port & 1;
    });
}

int32_t get_write_coil_response_port_number(int32_t key) {
    return read_value(key,
                      [](DeviceEntry& e) { return e.values.coil_write.address - e.output_base; });
}

int32_t get_write_pulse_request_port_number(int32_t key) {
    return read_value(
        key, [](DeviceEntry& e) { return e.values.pulse_request.address - e.output_base; });
}

int32_t get_write_pulse_response_port_number(int32_t key) {
    return read_value(
        key, [](DeviceEntry& e) { return e.values.pulse_response.address - e.output_base; });
}

int32_t get_write_pulse_response_duration(int32_t key) {
    return read_value(key,
                      [](DeviceEntry& e) -> int32_t { return e.values.pulse_response.duration; });
}

int32_t get_tcp_connection_state(int32_t key) {
    return read_value(key, [](DeviceEntry& e) { return e.state; });
}

int32_t get_tcp_error_code(int32_t key) {
    return read_value(key, [](DeviceEntry& e) { return e.last_error; });
}

int32_t get_modbus_error_code(int32_t key) {
    return read_value(key, [](DeviceEntry& e) -> int32_t { return e.values.exception.code; });
}

int32_t get_input_port_read_error(int32_t key) {
    return read_value(key, [](DeviceEntry& e) -> int32_t { return e.values.input_read_error; });
}

int32_t get_output_port_read_error(int32_t key) {
    return read_value(key, [](DeviceEntry& e) -> int32_t { return e.values.output_read_error; });
}

int32_t get_transaction_id(int32_t key) {
    return read_value(key, [](DeviceEntry& e) -> int32_t { return e.values.last_tag; });
}

} // extern "C"
