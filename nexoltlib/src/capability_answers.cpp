// The is_ accessors: 1 or 0 for what a found device can do, -1 for an unknown device.
#include "accessor_fields.h"
#include "capabilities.h"
#include "products.h"

using namespace nexolt;

namespace {

using Question = bool (*)(const DeviceEntry& entry, const lib_env& env);
using PortQuestion = bool (*)(const DeviceEntry& entry, const lib_env& env, int n);

int answer(const void* device, Question question) {
    DeviceEntry* entry = accessed_entry(device);
    return entry ? (question(*entry, entry->env) ? 1 : 0) : kUnknownDevice;
}

int answer_port(const void* device, int n, PortQuestion question) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    bool exists = n >= 0 && n < NEXOLT_MAX_UART && entry->env.uart[n].exists;
    return exists && question(*entry, entry->env, n) ? 1 : 0;
}

bool has_serial(const lib_env& env) {
    for (const auto& port : env.uart)
        if (port.exists) return true;
    return false;
}

bool alt_serial(const lib_env& env) {
    return uses_alt_serial_blocks(env.product_code);
}

unsigned max_stype(const lib_env& env, int n) {
    return env.uart[n].dev.word & 3;
}

} // namespace

#define IS(name, expr)                                                                             \
    extern "C" int is_##name(const void* device) {                                                 \
        return answer(device, [](const DeviceEntry& e, const lib_env& env) -> bool {               \
            (void)e;                                                                               \
            (void)env;                                                                             \
            return expr;                                                                           \
        });                                                                                        \
    }
#define IS_PORT(name, expr)                                                                        \
    extern "C" int is_##name(const void* device, int n) {                                          \
        return answer_port(device, n,                                                              \
                           [](const DeviceEntry& e, const lib_env& env, int n) -> bool {           \
                               (void)e;                                                            \
                               (void)env;                                                          \
                               (void)n;                                                            \
                               return expr;                                                        \
                           });                                                                     \
    }

IS(io, env.io.is_io == 1)
IS(ip6, device_is_ip6(e, env))
IS(password, passwd_blank_check(env.password) != 0)
IS(ssl, device_is_ssl(e, env))
IS(ssh, e.capabilities& kCapSsh)
IS(tune, e.capabilities& kCapTune)
IS(rtu, env.product_id == kRtuProductId)
IS(plm40, is_plm40(env.product_code, env.product_id))
IS(wlan, env.is_wlan == 1)
IS(wlan_rsn, e.capabilities& kCapAutoRsn)
IS(wlan_wpa_enterprise, e.capabilities& kCapWpaEnterprise)
IS(wlan_wpa_pp64_only, wpa_pp64_only(env))
IS(uart_7_and_8_databit_only, uart_7_and_8_databit_only(env))
IS(uart_8_databit_only, uart_8_databit_only(env))
IS(uart_one5_stopbit, has_serial(env) && !uart_8_databit_only(env))
IS(uart_xonxoff, has_serial(env) && uart_xonxoff(env))
IS(uart_protocol, alt_serial(env))
IS(io_email_notification, email_notification(env))
IS(io_onoff_email_notification, email_notification(env) && firmware_at_least(env, 1, 256))
IS(io_output_automatic_initialize, env.io.is_io&& firmware_at_least(env, 1, 512))
IS(io_macro, env.io.is_io == 1)
IS(send_mac_address, firmware_at_least(env, 1, 512))
IS(send_mac_address_with_ssl, e.capabilities& kCapSsl)
IS(ssl_no_restrict_to_uart_serial_type, alt_serial(env))
IS(tcp_multi_connection, has_serial(env) && !is_plm40(env.product_code, env.product_id))
IS(remote_debug, firmware_at_least(env, 1, 0))
IS(power_management, e.capabilities& kCapPowerSave)
IS(dad, e.capabilities& kCapDad)
IS(factory_reset, e.capabilities& kCapFactoryReset)
IS(cert, e.capabilities& kCapCert)
IS(certificates, (e.capabilities & kCapCert) && device_is_ssl(e, env))
IS(user_defined_mac_address, e.capabilities& kCapUserMac)
IS(flow_control, has_serial(env) && !uart_8_databit_only(env))

IS_PORT(uart_rs232, true)
IS_PORT(uart_rs485, max_stype(env, n) >= 1)
IS_PORT(uart_rs422, max_stype(env, n) >= 2)
IS_PORT(uart_ttl, (env.uart[n].dev.word >> 16) & 1)
IS_PORT(uart_dtrdsr, uart_has_dtrdsr(env, n))
IS_PORT(uart_tcp_server, true)
IS_PORT(uart_tcp_client, true)
IS_PORT(uart_udp, !uart_7_and_8_databit_only(env))
IS_PORT(uart_serial_modbus, firmware_at_least(env, 1, 768))
IS_PORT(uart_at_command, !wpa_pp64_only(env))
IS_PORT(uart_separator, firmware_at_least(env, 1, 512))
IS_PORT(uart_rfc2217, firmware_at_least(env, 1, 1024))
IS_PORT(uart_ssl, device_is_ssl(e, env) && env.uart[n].var.mux_type != NEXOLT_MUX_U2S)
IS_PORT(uart_tcp_nodelay, true)
IS_PORT(uart_tx_delay, (env.uart[n].dev.word >> 18) & 1)
IS_PORT(uart_data_frame_interval, true)
