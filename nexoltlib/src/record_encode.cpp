// lib_env -> blocks, in the order the devices expect them.
#include "blocks.h"
#include "bytes.h"
#include "products.h"
#include "record_codec.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace nexolt {

namespace {

class Emitter {
  public:
    void operator()(uint8_t type, uint8_t index, const void* data, size_t n) {
        append_block(out_, type, index, data, n);
    }
    template <typename T> void field(uint8_t type, uint8_t index, const T& value) {
        (*this)(type, index, &value, sizeof value);
    }
    std::vector<uint8_t>& bytes() { return out_; }

  private:
    std::vector<uint8_t> out_;
};

std::string bounded_text(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

void prepare(lib_env& env) {
    if (env.product_code == 18 || env.product_id == 35) {
        nexolt_uart_dev& port0 = env.uart[0].dev;
        nexolt_uart_dev& port1 = env.uart[1].dev;
        if (port0.sio_baud == port0.max_baud)
            port1.sio_baud = 0;
        else if (port1.sio_baud == 0)
            port1.sio_baud = 19200;
    }
    bool wireless_on = env.options & NEXOLT_OPT_WLAN;
    if (wireless_on &&
        std::all_of(env.wlan_power, env.wlan_power + 14, [](uint8_t v) { return v == 0; }))
        std::fill(env.wlan_power, env.wlan_power + 14, uint8_t(56));
    std::string passphrase = bounded_text(env.wpa_passphrase, sizeof env.wpa_passphrase);
    if (wireless_on && !passphrase.empty())
        make_wpapsk_key(env.wpa_psk, passphrase.c_str(),
                        bounded_text(env.ssid, sizeof env.ssid).c_str());
    else
        std::memset(env.wpa_psk, 0, sizeof env.wpa_psk);
}

void emit_addresses(Emitter& emit, const lib_env& env, const EncodeOptions& options) {
    emit.field(2, 1, env.product_id);
    emit.field(2, 0, env.product_code);
    emit.field(3, 0, env.ip4_address);
    emit.field(3, 1, env.ip4_mask);
    emit.field(3, 2, env.ip4_gateway);
    emit.field(3, 3, env.ip4_dns);
    if (!options.ip6) return;
    uint8_t address[18];
    std::memcpy(address, env.ip6_address, 16);
    store_u16(address + 16, env.ip6_prefix);
    emit(4, 0, address, sizeof address);
    emit.field(4, 2, env.ip6_gateway);
    emit.field(4, 3, env.ip6_dns);
    if (is_io_product_ip6(env.product_id)) emit.field(4, 8, env.ip6_modbus_peer);
}

void emit_plm_rtu(Emitter& emit, const lib_env& env) {
    if (is_plm40(env.product_code, env.product_id)) {
        emit(41, 0, env.plm + NEXOLT_PLM_SERIAL, 12);
        emit(41, 1, env.plm + NEXOLT_PLM_MUX, 1);
        emit(41, 2, env.plm + NEXOLT_PLM_ID, 16);
        emit(41, 3, env.plm + NEXOLT_PLM_PEERS, 20);
        emit(41, 4, env.plm + NEXOLT_PLM_CHECK_PORT, 2);
        emit(35, 64, env.plm + NEXOLT_PLM_HOST1, 64);
        emit(35, 65, env.plm + NEXOLT_PLM_HOST2, 64);
    } else if (env.product_id == kRtuProductId) {
        emit(16, 0, env.plm + NEXOLT_PLM_RTU_SERIAL, 12);
        emit(41, 5, env.plm + NEXOLT_PLM_RTU_VARS, 216);
        emit.field(41, 6, env.link_quality);
    }
}

void emit_serial_ports(Emitter& emit, const lib_env& env, const EncodeOptions& options) {
    SerialBlockTypes types = serial_block_types(env.product_code);
    for (unsigned n = 0; n < NEXOLT_MAX_UART; ++n) {
        const nexolt_uart_section& port = env.uart[n];
        if (!port.exists) continue;
        emit.field(types.dev, uint8_t(n), port.dev);
        emit.field(types.var, uint8_t(n), port.var);
        emit.field(35, uint8_t(n), port.peer_host);
        emit(types.separator, uint8_t(n), port.separator, 6);
        if (options.ip6) emit.field(4, uint8_t(16 + n), env.ip6_uart_peer[n]);
        if (uses_alt_serial_blocks(env.product_code))
            emit.field(7, uint8_t(17 + n), port.description);
    }
}

void emit_general(Emitter& emit, const lib_env& env, const EncodeOptions& options) {
    emit.field(5, 0, env.options);
    emit.field(7, 0, env.comment);
    emit.field(33, 0, env.allowed_mac);
    uint8_t allowed[8];
    std::memcpy(allowed, &env.allowed_ip4_address, 4);
    std::memcpy(allowed + 4, &env.allowed_ip4_mask, 4);
    emit(34, 0, allowed, sizeof allowed);
    if (options.ip6) emit.field(43, 0, env.allowed_ip6);
    emit.field(8, 0, env.pppoe);
    emit.field(8, 1, env.ddns);
    unsigned ddns_kind = (env.options >> NEXOLT_OPT_DDNS_SHIFT) & 7;
    if (ddns_kind == 2 || ddns_kind == 3)
        emit.field(35, 129, env.ddns_host);
    else if (ddns_kind < 2)
        emit.field(35, 128, env.ddns_host);
    emit.field(6, 0, env.password);
    emit.field(6, 1, env.new_password);
}

void emit_io(Emitter& emit, const lib_env& env) {
    if (!env.io.is_io) return;
    const nexolt_io_area& io = env.io;
    unsigned inputs = std::min<unsigned>(io.input_count, 8);
    unsigned outputs = std::min<unsigned>(io.output_count, 8);
    emit.field(64, 0, io.html_size_kb);
    for (unsigned n = 0; n < outputs; ++n)
        emit.field(36, uint8_t(n), io.macro[n]);
    emit.field(37, 0, io.settings);
    emit.field(35, 2, io.modbus_peer_host);
    for (unsigned n = 0; n < inputs; ++n)
        emit.field(7, uint8_t(1 + n), io.input_description[n]);
    for (unsigned n = 0; n < outputs; ++n)
        emit.field(7, uint8_t(9 + n), io.output_description[n]);
}

void emit_notification(Emitter& emit, const lib_env& env, const EncodeOptions& options) {
    emit.field(39, 0, env.ip_notification);
    if (options.email_notification) {
        emit.field(46, 0, env.email_options);
        emit.field(46, 1, env.email_address);
        uint8_t masks[8];
        store_u32(masks, env.email_input_mask);
        store_u32(masks + 4, env.email_output_mask);
        emit(46, 2, masks, sizeof masks);
    }
    if (!options.wpa_pp64_only || env.product_id == kRtuProductId) emit.field(40, 0, env.port_map);
}

void emit_wireless(Emitter& emit, const lib_env& env, const EncodeOptions& options) {
    if (!env.is_wlan) return;
    emit.field(9, 0, env.wlan_options);
    emit.field(9, 1, env.ssid);
    if (!options.wpa_pp64_only) {
        emit.field(9, 2, env.wep64);
        emit.field(9, 3, env.wep128);
    }
    if (options.wpa_limit >= 64) {
        emit(9, 8, env.wpa_passphrase, 64);
        emit.field(9, 9, env.wpa_psk);
    } else {
        emit(9, 4, env.wpa_passphrase, 32);
        emit.field(9, 5, env.wpa_psk);
    }
    emit.field(9, 6, env.wlan_power);
    emit.field(9, 7, env.wep_key_form);
    if (options.rsn) emit.field(8, 3, env.eap);
}

} // namespace

bool passphrase_fits(const lib_env& env, const EncodeOptions& options) {
    size_t limit = options.wpa_limit >= 64 ? 64 : 32;
    return !env.is_wlan || strnlen(env.wpa_passphrase, sizeof env.wpa_passphrase) <= limit;
}

std::vector<uint8_t> encode_record(lib_env& env, const EncodeOptions& options) {
    prepare(env);
    Emitter emit;
    emit_addresses(emit, env, options);
    emit_plm_rtu(emit, env);
    emit_serial_ports(emit, env, options);
    emit_general(emit, env, options);
    emit_io(emit, env);
    emit_notification(emit, env, options);
    emit_wireless(emit, env, options);
    if (options.tune) emit.field(38, 0, env.tune);
    // The devices expect a filler block after a payload that ends on a 256-byte boundary.
    if (emit.bytes().size() % 256 == 0) emit(0, 0, nullptr, 0);
    return std::move(emit.bytes());
}

} // namespace nexolt

extern "C" int pack_data(uint8_t* out, int wpa_limit, int, int wpa_pp64_only, int ip6, int rsn,
                         int email_notification, int, int tune, lib_env* env, int* length) {
    if (!out || !env) return 0;
    nexolt::EncodeOptions options{wpa_limit, wpa_pp64_only != 0,      ip6 != 0,
                                  rsn != 0,  email_notification != 0, tune != 0};
    if (!nexolt::passphrase_fits(*env, options)) return 0;
    std::vector<uint8_t> blocks = nexolt::encode_record(*env, options);
    if (blocks.size() > NEXOLT_MAX_PAYLOAD) return 0;
    std::memcpy(out, blocks.data(), blocks.size());
    if (length) *length = int(blocks.size());
    return 1;
}
