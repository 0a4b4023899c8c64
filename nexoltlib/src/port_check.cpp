// Listening ports of a record must not collide with each other or with the device's own
// services.
#include "products.h"

#include "nexoltlib/nexoltlib.h"

#include <vector>

namespace {

std::vector<uint16_t> listening_ports(const lib_env& env) {
    std::vector<uint16_t> ports;
    for (const auto& port : env.uart) {
        if (!port.exists) continue;
        if (port.var.mux_type == NEXOLT_MUX_COD || port.var.mux_type == NEXOLT_MUX_MODBUS) continue;
        ports.push_back(port.var.local_port);
    }
    return ports;
}

bool contains(const std::vector<uint16_t>& ports, uint16_t value) {
    for (uint16_t p : ports)
        if (p == value) return true;
    return false;
}

bool has_duplicate(const std::vector<uint16_t>& ports) {
    for (size_t i = 0; i < ports.size(); ++i)
        for (size_t j = i + 1; j < ports.size(); ++j)
            if (ports[i] != 0 && ports[i] == ports[j]) return true;
    return false;
}

int io_conflict(const lib_env& env, const std::vector<uint16_t>& ports) {
    if (!nexolt::is_io_product(env.product_code, env.product_id)) return 0;
    const nexolt_io_settings& io = env.io.settings;
    if (!(io.flags & NEXOLT_IO_ACTIVE) && contains(ports, io.peer_port)) return -4;
    if ((env.options & NEXOLT_OPT_HTTP) && contains(ports, env.port_map[0])) return -5;
    return 0;
}

int udp_conflict(const lib_env& env) {
    for (const auto& port : env.uart) {
        if (!port.exists || port.var.mux_type != NEXOLT_MUX_U2S) continue;
        if (port.var.local_port == 50005) return -6;
        if (port.var.local_port == 50006) return -7;
    }
    return 0;
}

} // namespace

extern "C" int check_tcp_port(const lib_env* env) {
    if (!env) return -1;
    std::vector<uint16_t> ports = listening_ports(*env);
    if (has_duplicate(ports)) return -2;
    if ((env->options & NEXOLT_OPT_TELNET) && contains(ports, 23)) return -3;
    if (int io = io_conflict(*env, ports)) return io;
    return udp_conflict(*env);
}
