#include "write_validation.h"

#include "debug_trace.h"
#include "products.h"

#include <arpa/inet.h>

#include <cstring>

namespace nexolt {

namespace {

// At least one leading 1 bit, then only 0 bits.
bool mask_contiguous(uint32_t mask_host_order, int& prefix) {
    prefix = 0;
    while (prefix < 32 && (mask_host_order & (0x80000000u >> prefix)))
        ++prefix;
    uint32_t expected = prefix == 0 ? 0 : 0xFFFFFFFFu << (32 - prefix);
    return prefix > 0 && mask_host_order == expected;
}

int check_address(const lib_env& env) {
    if (env.options & (NEXOLT_OPT_DHCP | NEXOLT_OPT_PPPOE)) return 0;
    uint32_t mask = ntohl(env.ip4_mask);
    int prefix = 0;
    bool contiguous = mask_contiguous(mask, prefix);
    debug_trace("%0X\r\n", mask);
    debug_trace("_prefix %d\r\n", prefix);
    if (!contiguous) return NEXOLT_ERR_MASK;
    debug_trace("%0X, %0X\r\n", ntohl(env.ip4_address), mask);
    return check_local_ip(env.ip4_address, env.ip4_mask) ? 0 : NEXOLT_ERR_ADDRESS;
}

int check_ports(const lib_env& env) {
    int result = check_tcp_port(&env);
    return result <= -2 && result >= -8 ? NEXOLT_ERR_PORT_TWICE + (result + 2) : 0;
}

int check_macros(const lib_env& env) {
    const nexolt_io_settings& settings = env.io.settings;
    if ((settings.flags & NEXOLT_IO_MACRO) && check_script_syntax(&env.io) != 0)
        return NEXOLT_ERR_MACRO;
    unsigned enabled = (settings.flags >> 8) & 0xFF;
    for (int n = 0; n < 8; ++n)
        if ((enabled & (1u << n)) && !macro_text_valid(env.io.macro[n])) return NEXOLT_ERR_MACRO;
    return 0;
}

// Width of the input block that the output base must stay clear of.
int io_span(uint16_t code, uint16_t id) {
    if (code == 16 || id == 32 || id == 33 || id == 104) return 8;
    if (code == 34 || id == 34 || id == 102) return 4;
    if (code == 52 || id == 52 || id == 103) return 2;
    return 0;
}

int check_overlap(const lib_env& env) {
    int n = io_span(env.product_code, env.product_id);
    if (n == 0) return 0;
    int input = env.io.settings.input_addr, output = env.io.settings.output_addr;
    return output > input - n && output < input + n ? NEXOLT_ERR_BASE_OVERLAP : 0;
}

} // namespace

bool macro_text_valid(const char* text) {
    nexolt_io_area one{};
    std::memcpy(one.macro[0], text, sizeof one.macro[0]);
    return check_script_syntax(&one) == 0;
}

int validate_write(const lib_env& env) {
    if (int code = check_address(env)) return code;
    if (int code = check_ports(env)) return code;
    if (!is_io_product(env.product_code, env.product_id)) return 0;
    if (int code = check_macros(env)) return code;
    return check_overlap(env);
}

} // namespace nexolt
