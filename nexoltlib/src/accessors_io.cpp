// Accessors of an I/O controller's settings (block 37 and the I/O area of the record).
#include "accessor_fields.h"
#include "products.h"

#include <arpa/inet.h>

#include <cstring>

#define AT(field) offsetof(lib_env, field)
#define IO_FLAG(name, shift, width) IO_FIELD(name, AT(io.settings.flags), 4, shift, width)

namespace {

using namespace nexolt;

// The records keep room for eight inputs and eight outputs; a larger count is not trusted.
constexpr int kMaxIoPorts = 8;

// Setters of the I/O family refuse a device that is not an I/O controller.
int set_io_bits(const void* device, BitField f, long value) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!entry->env.io.is_io) return kUnsupported;
    return set_bits(device, f, value);
}

int clamped_count(uint8_t count) {
    return count > kMaxIoPorts ? kMaxIoPorts : count;
}

} // namespace

#define IO_FIELD(name, offset, size, shift, width)                                                 \
    extern "C" int get_##name(const void* device) {                                                \
        return nexolt::get_bits(device, {uint16_t(offset), size, shift, width});                   \
    }                                                                                              \
    extern "C" int set_##name(const void* device, int value) {                                     \
        return set_io_bits(device, {uint16_t(offset), size, shift, width}, value);                 \
    }

IO_FLAG(io_modbus, 0, 1)
IO_FLAG(io_macro, 1, 1)
IO_FLAG(io_master_control_type, 2, 1)
IO_FLAG(io_tcp_type, 3, 1)
IO_FLAG(io_event_notification, 4, 1)
IO_FLAG(io_multi_connection_number, 5, 3)
IO_FLAG(io_port_macro, 8, 8)
IO_FLAG(io_modbus_type, 16, 1)
IO_FLAG(io_slave_control_type, 17, 1)
IO_FLAG(io_output_automatic_initialize, 18, 1)
IO_FLAG(io_input_notification, 19, 1)
IO_FIELD(io_modbus_peer_port, AT(io.settings.peer_port), 2, 0, 16)
IO_FIELD(io_unit_id, AT(io.settings.slave_id), 2, 0, 8)
IO_FIELD(io_input_address, AT(io.settings.input_addr), 2, 0, 16)
IO_FIELD(io_output_address, AT(io.settings.output_addr), 2, 0, 16)
IO_FIELD(io_poll_interval, AT(io.settings.poll_interval), 4, 0, 31)
IO_FIELD(io_http, AT(options), 4, 20, 1)
IO_FIELD(io_http_port, AT(port_map), 2, 0, 16)
IO_FIELD(io_html_size, AT(io.html_size_kb), 2, 0, 16)

namespace {

// 0 when the controller has input (or output) port n, else the accessor's error.
int check_port(const void* device, int n, bool outputs) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!entry->env.io.is_io) return kUnsupported;
    int count = clamped_count(outputs ? entry->env.io.output_count : entry->env.io.input_count);
    return n >= 0 && n < count ? 0 : kUnsupported;
}

// Per-port values: bit or element n of a field, for the ports the controller has.
int port_get(const void* device, int n, BitField f, bool outputs) {
    if (int error = check_port(device, n, outputs)) return error;
    return int(read_bits(reinterpret_cast<uint8_t*>(&accessed_entry(device)->env), f));
}

int port_set(const void* device, int n, BitField f, bool outputs, long value) {
    int current = port_get(device, n, f, outputs);
    if (current < 0) return current;
    DeviceEntry* entry = accessed_entry(device);
    return write_bits(reinterpret_cast<uint8_t*>(&entry->env), f, value) ? 1 : kUnsupported;
}

BitField valid_time(int n) {
    return {uint16_t(AT(io.settings.input_valid_time) + 2 * n), 2, 0, 16};
}
BitField output_delay(int n) {
    return {uint16_t(AT(io.settings.output_delay) + 2 * n), 2, 0, 16};
}
BitField initial_state(int n) {
    return {uint16_t(AT(io.settings.init_output)), 4, uint8_t(n & 31), 1};
}
BitField macro_enabled(int n) {
    return {uint16_t(AT(io.settings.flags)), 4, uint8_t(8 + (n & 7)), 1};
}

} // namespace

extern "C" int get_io_input_number(const void* device) {
    DeviceEntry* entry = accessed_entry(device);
    return entry ? clamped_count(entry->env.io.input_count) : kUnknownDevice;
}
extern "C" int get_io_output_number(const void* device) {
    DeviceEntry* entry = accessed_entry(device);
    return entry ? clamped_count(entry->env.io.output_count) : kUnknownDevice;
}
extern "C" int get_io_input_valid_time(const void* device, int n) {
    return port_get(device, n, valid_time(n), false);
}
extern "C" int set_io_input_valid_time(const void* device, int n, int ms) {
    return port_set(device, n, valid_time(n), false, ms);
}
extern "C" int get_io_output_delay(const void* device, int n) {
    return port_get(device, n, output_delay(n), true);
}
extern "C" int set_io_output_delay(const void* device, int n, int ms) {
    return port_set(device, n, output_delay(n), true, ms);
}
extern "C" int get_io_output_initial_state(const void* device, int n) {
    return port_get(device, n, initial_state(n), true);
}
extern "C" int set_io_output_initial_state(const void* device, int n, int on) {
    return port_set(device, n, initial_state(n), true, on);
}
extern "C" int get_io_macro_type(const void* device, int n) {
    return port_get(device, n, macro_enabled(n), true);
}
extern "C" int set_io_macro_type(const void* device, int n, int on) {
    return port_set(device, n, macro_enabled(n), true, on);
}

// Macro text of output n; the buffer takes 32 bytes.
extern "C" int get_io_macro_text(const void* device, int n, char* text) {
    if (int error = check_port(device, n, true)) return error;
    return get_text(device, {uint16_t(AT(io.macro) + 32 * n), 32}, text);
}
extern "C" int set_io_macro_text(const void* device, int n, const char* text) {
    if (int error = check_port(device, n, true)) return error;
    return set_text(device, {uint16_t(AT(io.macro) + 32 * n), 32}, text);
}

// Description of input (output 0) or output (output 1) port n; the buffer takes 16 bytes.
extern "C" int get_io_comment(const void* device, int output, int n, char* text) {
    if (int error = check_port(device, n, output != 0)) return error;
    size_t base = output ? AT(io.output_description) : AT(io.input_description);
    return get_text(device, {uint16_t(base + 16 * n), 16}, text);
}
extern "C" int set_io_comment(const void* device, int output, int n, const char* text) {
    if (int error = check_port(device, n, output != 0)) return error;
    size_t base = output ? AT(io.output_description) : AT(io.input_description);
    return set_text(device, {uint16_t(base + 16 * n), 16}, text);
}

extern "C" int get_io_modbus_local_port(const void* device) {
    return get_bits(device, {uint16_t(AT(io.settings.peer_port)), 2, 0, 16});
}

// The listening port must not collide with a serial port's; a collision keeps the old one.
extern "C" int set_io_modbus_local_port(const void* device, int port) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    lib_env& env = entry->env;
    if (!env.io.is_io) return kUnsupported;
    uint16_t old = env.io.settings.peer_port;
    env.io.settings.peer_port = uint16_t(port < 0 ? 0 : port > 65535 ? 65535 : port);
    int check = check_tcp_port(&env);
    if (check != 0) {
        env.io.settings.peer_port = old;
        return check;
    }
    return 1;
}

// The Modbus/TCP peer as text: its IPv6 address when IPv6 is on, else the dotted address,
// else the host name.
extern "C" int get_io_modbus_peer_address(const void* device, char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!text) return kUnsupported;
    const lib_env& env = entry->env;
    if (env.options & NEXOLT_OPT_IP6)
        inet_ntop(AF_INET6, env.ip6_modbus_peer, text, INET6_ADDRSTRLEN);
    else if (env.io.settings.peer_ip)
        inet_ntop(AF_INET, &env.io.settings.peer_ip, text, INET_ADDRSTRLEN);
    else
        return get_text(device, {uint16_t(AT(io.modbus_peer_host)), 64}, text);
    return 1;
}

extern "C" int set_io_modbus_peer_address(const void* device, const char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    lib_env& env = entry->env;
    if (!text || !env.io.is_io) return kUnsupported;
    if (env.options & NEXOLT_OPT_IP6) return set_ip6_text(device, AT(ip6_modbus_peer), text);
    uint32_t address = 0;
    if (inet_pton(AF_INET, text, &address) == 1) {
        env.io.settings.peer_ip = address;
        return 1;
    }
    env.io.settings.peer_ip = 0;
    return set_text(device, {uint16_t(AT(io.modbus_peer_host)), 64}, text);
}
