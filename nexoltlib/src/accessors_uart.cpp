// Accessors of serial port n (its section of the record, or the PLM-40 and RTU serial word
// for the hardware settings of those products).
#include "accessor_fields.h"
#include "capabilities.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

// Offsets inside a serial port section.
enum : uint16_t {
    kWord = 0,
    kMaxBaud = 4,
    kBaud = 8,
    kPeerIp = 16,
    kLocalPort = 20,
    kPeerPort = 22,
    kMux = 24,
    kVarFlags = 25,
    kWaterMark = 26,
    kTimeMark = 28,
    kTimeout = 30,
    kSeparatorWord = 36,
};

NEXOLT_PORT_BITS(uart_parity, kWord, 4, 8, 2)
NEXOLT_PORT_BITS(uart_ttl, kWord, 4, 17, 1)
NEXOLT_PORT_BITS(uart_tx_delay, kWord, 4, 19, 5)
NEXOLT_PORT_BITS(uart_rfc2217, kWord, 4, 12, 2)
NEXOLT_PORT_BITS(uart_max_baudrate, kMaxBaud, 4, 0, 32)
NEXOLT_PORT_BITS(uart_local_port, kLocalPort, 2, 0, 16)
NEXOLT_PORT_BITS(uart_peer_port, kPeerPort, 2, 0, 16)
NEXOLT_PORT_BITS(uart_communication_mode, kMux, 1, 0, 3)
NEXOLT_PORT_BITS(uart_tcp_nodelay, kVarFlags, 1, 0, 1)
NEXOLT_PORT_BITS(uart_cod_tcp_server, kVarFlags, 1, 1, 1)
NEXOLT_PORT_BITS(uart_ssl, kVarFlags, 1, 2, 2)
NEXOLT_PORT_BITS(uart_watermark, kWaterMark, 2, 0, 16)
NEXOLT_PORT_BITS(uart_data_frame_interval, kTimeMark, 2, 0, 16)
NEXOLT_PORT_BITS(uart_timeout, kTimeout, 2, 0, 16)
NEXOLT_PORT_BITS(uart_separator_length, kSeparatorWord, 2, 0, 3)
NEXOLT_PORT_BITS(uart_protocol, kSeparatorWord, 2, 8, 4)
NEXOLT_PORT_BITS(uart_separator_type, kSeparatorWord, 2, 12, 4)

namespace {

using namespace nexolt;

// A setter whose value the device may refuse: the check sees the record and the value.
using Allowed = bool (*)(const lib_env& env, int n, long value);

int checked_set(const void* device, int n, BitField f, long value, Allowed allowed) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!port_present(entry->env, n, f.offset) || !allowed(entry->env, n, value))
        return kUnsupported;
    return set_port_bits(device, n, f, value);
}

constexpr BitField kDatabit{kWord, 4, 4, 2}, kStopbit{kWord, 4, 6, 2}, kFlow{kWord, 4, 10, 2},
    kDtrDsr{kWord, 4, 24, 1}, kSerialType{kWord, 4, 2, 2}, kBaudField{kBaud, 4, 0, 32};

bool databit_allowed(const lib_env& env, int n, long bits) {
    if (bits < 5 || bits > 8) return false;
    if (uart_8_databit_only(env)) return bits == 8;
    if (!uart_7_and_8_databit_only(env)) return true;
    unsigned parity = (port_hardware(env, n).word >> 8) & 3;
    return bits == 8 || (bits == 7 && parity != 0);
}

bool stopbit_allowed(const lib_env& env, int, long code) {
    return code == 0 || code == 2 || (code == 1 && !uart_8_databit_only(env));
}

bool flow_allowed(const lib_env& env, int, long code) {
    return code == 0 || code == 1 || (code == 2 && uart_xonxoff(env));
}

bool dtrdsr_allowed(const lib_env& env, int n, long on) {
    return on == 0 || (on == 1 && uart_has_dtrdsr(env, n));
}

bool serial_type_allowed(const lib_env& env, int n, long type) {
    return type >= 0 && type <= long(port_hardware(env, n).word & 3);
}

bool baud_allowed(const lib_env& env, int n, long baud) {
    uint32_t max = port_hardware(env, n).max_baud;
    return baud > 0 && (max == 0 || baud <= long(max));
}

} // namespace

// Data bits are counted (5 to 8); the record keeps them as 0 to 3.
extern "C" int get_uart_databit(const void* device, int n) {
    int code = get_port_bits(device, n, kDatabit);
    return code < 0 ? code : code + 5;
}
extern "C" int set_uart_databit(const void* device, int n, int bits) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!port_present(entry->env, n, kWord) || !databit_allowed(entry->env, n, bits))
        return kUnsupported;
    return set_port_bits(device, n, kDatabit, bits - 5);
}
extern "C" int get_uart_stopbit(const void* device, int n) {
    return get_port_bits(device, n, kStopbit);
}
extern "C" int set_uart_stopbit(const void* device, int n, int code) {
    return checked_set(device, n, kStopbit, code, stopbit_allowed);
}
extern "C" int get_uart_flow_control(const void* device, int n) {
    return get_port_bits(device, n, kFlow);
}
extern "C" int set_uart_flow_control(const void* device, int n, int code) {
    return checked_set(device, n, kFlow, code, flow_allowed);
}
extern "C" int get_uart_dtrdsr(const void* device, int n) {
    return get_port_bits(device, n, kDtrDsr);
}
extern "C" int set_uart_dtrdsr(const void* device, int n, int on) {
    return checked_set(device, n, kDtrDsr, on, dtrdsr_allowed);
}
extern "C" int get_uart_serial_type(const void* device, int n) {
    return get_port_bits(device, n, kSerialType);
}
extern "C" int set_uart_serial_type(const void* device, int n, int type) {
    return checked_set(device, n, kSerialType, type, serial_type_allowed);
}
extern "C" int get_uart_baudrate(const void* device, int n) {
    return get_port_bits(device, n, kBaudField);
}
extern "C" int set_uart_baudrate(const void* device, int n, int baud) {
    return checked_set(device, n, kBaudField, baud, baud_allowed);
}
extern "C" int get_uart_min_baudrate(const void* device, int n) {
    int max = get_port_bits(device, n, {kMaxBaud, 4, 0, 32});
    return max < 0 ? max : 300;
}

extern "C" int get_uart_count(const void* device) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    int count = 0;
    for (const auto& port : entry->env.uart)
        count += port.exists ? 1 : 0;
    return count;
}

extern "C" int get_uart_separator(const void* device, int n, uint8_t* separator) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (n < 0 || n >= NEXOLT_MAX_UART || !separator) return kUnsupported;
    std::memcpy(separator, entry->env.uart[n].separator, 4);
    return 1;
}
extern "C" int set_uart_separator(const void* device, int n, const uint8_t* separator) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (n < 0 || n >= NEXOLT_MAX_UART || !entry->env.uart[n].exists || !separator)
        return kUnsupported;
    std::memcpy(entry->env.uart[n].separator, separator, 4);
    return 1;
}

// The peer as text: its dotted address, or else its host name.
extern "C" int get_uart_peer_address(const void* device, int n, char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (n < 0 || n >= NEXOLT_MAX_UART || !text) return kUnsupported;
    const nexolt_uart_section& port = entry->env.uart[n];
    if (entry->env.options & NEXOLT_OPT_IP6)
        inet_ntop(AF_INET6, entry->env.ip6_uart_peer[n], text, INET6_ADDRSTRLEN);
    else if (port.var.peer_ip)
        inet_ntop(AF_INET, &port.var.peer_ip, text, INET_ADDRSTRLEN);
    else
        std::snprintf(text, sizeof port.peer_host, "%.*s", int(sizeof port.peer_host - 1),
                      port.peer_host);
    return 1;
}

extern "C" int set_uart_peer_address(const void* device, int n, const char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (n < 0 || n >= NEXOLT_MAX_UART || !entry->env.uart[n].exists || !text) return kUnsupported;
    lib_env& env = entry->env;
    nexolt_uart_section& port = env.uart[n];
    if (env.options & NEXOLT_OPT_IP6) {
        uint8_t address[16] = {};
        if (*text && inet_pton(AF_INET6, text, address) != 1) return kUnsupported;
        std::memcpy(env.ip6_uart_peer[n], address, 16);
        return 1;
    }
    uint32_t address = 0;
    if (inet_pton(AF_INET, text, &address) == 1) {
        port.var.peer_ip = address;
        return 1;
    }
    port.var.peer_ip = 0;
    std::memset(port.peer_host, 0, sizeof port.peer_host);
    std::memcpy(port.peer_host, text, strnlen(text, sizeof port.peer_host));
    return 1;
}
