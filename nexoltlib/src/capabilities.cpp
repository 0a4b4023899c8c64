#include "capabilities.h"

#include "products.h"

namespace nexolt {

namespace {

bool any_port(const lib_env& env, bool (*test)(const nexolt_uart_section&)) {
    for (const auto& port : env.uart)
        if (port.exists && test(port)) return true;
    return false;
}

// SSL runs over TCP only, and not over the serial types and parities the SSL firmware
// leaves out (RS422, and mark or space parity).
bool port_blocks_ssl(const nexolt_uart_section& port) {
    unsigned stype = (port.dev.word >> 2) & 3, parity = (port.dev.word >> 8) & 3;
    return port.var.mux_type == NEXOLT_MUX_U2S || stype == 2 || parity == 3;
}

} // namespace

bool device_is_ip6(const DeviceEntry& entry, const lib_env& env) {
    return (entry.capabilities & kCapIp6) && !(env.options & NEXOLT_OPT_SSL);
}

bool device_is_ssl(const DeviceEntry& entry, const lib_env& env) {
    uint16_t id = env.product_id;
    if (id == 51 || id == 97 || id == 99) return false;
    if (!(entry.capabilities & kCapSsl) && !(env.options & NEXOLT_OPT_SECURE)) return false;
    if (env.options & (NEXOLT_OPT_SSH | NEXOLT_OPT_IP6)) return false;
    if ((env.options & NEXOLT_OPT_MAC_ID) && !(entry.capabilities & kCapSsl)) return false;
    return !any_port(env, port_blocks_ssl);
}

bool device_allows_user_mac(const DeviceEntry& entry, const lib_env&) {
    return entry.capabilities & kCapUserMac;
}

bool wpa_pp64_only(const lib_env& env) {
    return env.product_id == 51 || env.product_id == 99;
}

// The "P" I/O controllers mail their input changes themselves.
bool email_notification(const lib_env& env) {
    return is_io_product_ip6(env.product_id);
}

int wpa_passphrase_limit(const DeviceEntry& entry) {
    return (entry.capabilities & kCapAutoRsn) ? 64 : 32;
}

// PLM-40 and RTU serial lines carry 7 or 8 data bits; the wireless modules 8 only.
bool uart_7_and_8_databit_only(const lib_env& env) {
    return is_plm40(env.product_code, env.product_id) || env.product_id == kRtuProductId;
}

bool uart_8_databit_only(const lib_env& env) {
    return wpa_pp64_only(env);
}

// Modem lines exist on RS232-only ports and on every port of the 5xx serial servers.
bool uart_has_dtrdsr(const lib_env& env, int n) {
    if (n < 0 || n >= NEXOLT_MAX_UART || !env.uart[n].exists) return false;
    return (env.uart[n].dev.word & 3) == 0 || uses_alt_serial_blocks(env.product_code);
}

bool uart_xonxoff(const lib_env& env) {
    return !uart_7_and_8_databit_only(env);
}

bool firmware_at_least(const lib_env& env, int major, int minor_rev) {
    return env.firmware_major > major ||
           (env.firmware_major == major && env.firmware_minor_rev >= minor_rev);
}

EncodeOptions encode_options_for(const DeviceEntry& entry, const lib_env& env) {
    EncodeOptions options;
    options.wpa_limit = wpa_passphrase_limit(entry);
    options.wpa_pp64_only = wpa_pp64_only(env);
    options.ip6 = device_is_ip6(entry, env);
    options.rsn = entry.capabilities & kCapAutoRsn;
    options.email_notification = email_notification(env);
    options.tune = entry.capabilities & kCapTune;
    return options;
}

} // namespace nexolt
