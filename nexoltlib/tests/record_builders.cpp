#include "record_builders.h"

#include "record_codec.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>

namespace nexolt::test {

namespace {

lib_env base(uint16_t code, uint16_t id) {
    lib_env env{};
    env.product_code = code;
    env.product_id = id;
    inet_pton(AF_INET, "10.1.0.7", &env.ip4_address);
    inet_pton(AF_INET, "255.255.0.0", &env.ip4_mask);
    inet_pton(AF_INET, "10.1.0.254", &env.ip4_gateway);
    env.options = NEXOLT_OPT_RCFG | NEXOLT_OPT_TELNET;
    std::snprintf(env.comment, sizeof env.comment, "line %u", id);
    return env;
}

} // namespace

lib_env io_controller(uint16_t product_id) {
    lib_env env = base(0, product_id);
    env.options |= NEXOLT_OPT_HTTP;
    env.io.is_io = 1;
    env.io.input_count = product_id == 52 ? 2 : 8;
    env.io.output_count = product_id == 52 ? 1 : 8;
    env.io.html_size_kb = 80;
    env.io.settings.flags = NEXOLT_IO_MODBUS | NEXOLT_IO_ACTIVE;
    env.io.settings.peer_port = 502;
    env.io.settings.slave_id = 7;
    env.io.settings.input_addr = 0;
    env.io.settings.output_addr = 8;
    env.io.settings.poll_interval = 1000;
    std::snprintf(env.io.macro[0], 32, "I0*(I1+/I2)");
    std::snprintf(env.io.modbus_peer_host, 64, "scada.example");
    for (int n = 0; n < env.io.input_count; ++n)
        std::snprintf(env.io.input_description[n], 16, "Door %d", n);
    for (int n = 0; n < env.io.output_count; ++n)
        std::snprintf(env.io.output_description[n], 16, "Lamp %d", n);
    env.port_map[0] = 80;
    return env;
}

lib_env serial_server(uint16_t product_code, uint16_t product_id, int ports) {
    lib_env env = base(product_code, product_id);
    for (int n = 0; n < ports; ++n) {
        auto& port = env.uart[n];
        port.exists = 1;
        port.dev = {uint32_t(3 << 4), 921600, 115200};
        port.var.local_port = uint16_t(1470 + n);
        port.var.mux_type = NEXOLT_MUX_T2S;
        port.separator[0] = 0x0D;
        port.separator_word = 1;
        std::snprintf(port.peer_host, 64, "peer%d.example", n);
        if (product_code == 54) std::snprintf(port.description, 32, "Port %d", n);
    }
    return env;
}

lib_env wireless_server() {
    lib_env env = serial_server(21, 39, 1);
    env.is_wlan = 1;
    env.options |= NEXOLT_OPT_WLAN;
    std::snprintf(env.ssid, sizeof env.ssid, "IEEE");
    std::snprintf(env.wpa_passphrase, sizeof env.wpa_passphrase, "password");
    env.wep_key_form = 1;
    return env;
}

lib_env plm40() {
    lib_env env = base(48, 48);
    std::memcpy(env.plm + NEXOLT_PLM_ID, "PLM-LINE-7", 10);
    std::memcpy(env.plm + NEXOLT_PLM_HOST1, "primary.example", 15);
    std::memcpy(env.plm + NEXOLT_PLM_HOST2, "backup.example", 14);
    env.plm[NEXOLT_PLM_MUX] = 2;
    return env;
}

lib_env rtu() {
    lib_env env = base(96, 97);
    env.plm[NEXOLT_PLM_RTU_SERIAL + 4] = 0x80;
    env.plm[NEXOLT_PLM_RTU_VARS + 10] = 0x42;
    env.link_quality[0] = 500;
    return env;
}

std::vector<uint8_t> encode(lib_env env) {
    return encode_record(env, EncodeOptions{});
}

} // namespace nexolt::test
