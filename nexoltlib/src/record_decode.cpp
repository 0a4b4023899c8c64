// Block catalogue -> lib_env. Unknown types and indexes are skipped; every copy is bounded
// by both the block's data and the record field.
#include "blocks.h"
#include "bytes.h"
#include "library_state.h"
#include "products.h"
#include "record_codec.h"

#include <algorithm>
#include <cstring>

namespace nexolt {

namespace {

void put(void* field, size_t size, const BlockView& b) {
    std::memcpy(field, b.data, std::min(size, b.data_length));
}

template <typename T> void put(T& field, const BlockView& b) {
    put(&field, sizeof field, b);
}

std::string text_of(const BlockView& b) {
    auto* end = static_cast<const uint8_t*>(std::memchr(b.data, 0, b.data_length));
    return std::string(reinterpret_cast<const char*>(b.data),
                       end ? size_t(end - b.data) : b.data_length);
}

nexolt_uart_section* uart_at(lib_env& env, unsigned n) {
    if (n >= NEXOLT_MAX_UART) return nullptr;
    env.uart[n].exists = 1;
    return &env.uart[n];
}

void decode_identity(lib_env& env, const BlockView& b) {
    if (b.type == 1 && b.index == 0) {
        uint8_t both[12] = {};
        put(both, b);
        std::memcpy(env.mac, both, 6);
        std::memcpy(env.secure, both + 6, 6);
    } else if (b.type == 1 && b.index == 1) {
        put(env.user_mac, b);
    } else if (b.type == 2 && (b.index == 0 || b.index == 1)) {
        put(b.index == 0 ? env.product_code : env.product_id, b);
        apply_product_facts(env);
    }
}

void decode_address(lib_env& env, const BlockView& b) {
    uint32_t* v4[] = {&env.ip4_address, &env.ip4_mask, &env.ip4_gateway, &env.ip4_dns};
    if (b.index < 4) put(*v4[b.index], b);
}

void decode_ip6(lib_env& env, const BlockView& b) {
    if (b.index == 0) {
        uint8_t both[18] = {};
        put(both, b);
        std::memcpy(env.ip6_address, both, 16);
        env.ip6_prefix = load_u16(both + 16);
    } else if (b.index == 2) {
        put(env.ip6_gateway, b);
    } else if (b.index == 3) {
        put(env.ip6_dns, b);
    } else if (b.index == 8) {
        put(env.ip6_modbus_peer, b);
    } else if (b.index >= 16 && uart_at(env, b.index - 16u)) {
        put(env.ip6_uart_peer[b.index - 16], b);
    }
}

void decode_text(lib_env& env, const BlockView& b) {
    if (b.index == 0)
        put(env.comment, b);
    else if (b.index <= 8)
        put(env.io.input_description[b.index - 1], b);
    else if (b.index <= 16)
        put(env.io.output_description[b.index - 9], b);
    else if (!uses_alt_serial_blocks(env.product_code))
        return; // only these products describe their serial ports
    else if (auto* port = uart_at(env, b.index - 17u))
        put(port->description, b);
}

void decode_identity_texts(lib_env& env, const BlockView& b) {
    if (b.index == 0)
        put(env.pppoe, b);
    else if (b.index == 1)
        put(env.ddns, b);
    else if (b.index == 3)
        put(env.eap, b);
}

void decode_wireless(lib_env& env, const BlockView& b) {
    env.is_wlan = 1;
    switch (b.index) {
    case 0:
        put(env.wlan_options, b);
        break;
    case 1:
        put(env.ssid, b);
        break;
    case 2:
        put(env.wep64, b);
        break;
    case 3:
        put(env.wep128, b);
        break;
    case 4:
        put(env.wpa_passphrase, 32, b);
        break;
    case 8:
        put(env.wpa_passphrase, b);
        break;
    case 5:
    case 9:
        put(env.wpa_psk, b);
        break;
    case 6:
        put(env.wlan_power, b);
        break;
    case 7:
        put(env.wep_key_form, b);
        break;
    default:
        break;
    }
}

void decode_host_name(lib_env& env, const BlockView& b) {
    if (b.index == 2 && env.io.is_io)
        put(env.io.modbus_peer_host, b);
    else if (b.index == 64)
        put(env.plm + NEXOLT_PLM_HOST1, 64, b);
    else if (b.index == 65)
        put(env.plm + NEXOLT_PLM_HOST2, 64, b);
    else if (b.index == 128 || b.index == 129)
        put(env.ddns_host, b);
    else if (auto* port = uart_at(env, b.index))
        put(port->peer_host, b);
}

void decode_plm(lib_env& env, const BlockView& b) {
    constexpr size_t offset[] = {NEXOLT_PLM_SERIAL, NEXOLT_PLM_MUX,        NEXOLT_PLM_ID,
                                 NEXOLT_PLM_PEERS,  NEXOLT_PLM_CHECK_PORT, NEXOLT_PLM_RTU_VARS};
    constexpr size_t size[] = {12, 1, 16, 20, 2, 216};
    if (b.index < 6)
        put(env.plm + offset[b.index], size[b.index], b);
    else if (b.index == 6)
        put(env.link_quality, b);
}

void decode_serial(lib_env& env, const BlockView& b) {
    if (b.type == 16 && b.index == 0 && env.product_id == kRtuProductId) {
        put(env.plm + NEXOLT_PLM_RTU_SERIAL, 12, b);
        return;
    }
    nexolt_uart_section* port = uart_at(env, b.index);
    if (!port) return;
    if (b.type == 16 || b.type == 20)
        put(port->dev, b);
    else if (b.type == 32 || b.type == 44)
        put(port->var, b);
    else
        put(port->separator, 6, b);
}

void decode_email(lib_env& env, const BlockView& b) {
    if (b.index == 0)
        put(env.email_options, b);
    else if (b.index == 1)
        put(env.email_address, b);
    else if (b.index == 2) {
        uint8_t masks[8] = {};
        put(masks, b);
        env.email_input_mask = load_u32(masks);
        env.email_output_mask = load_u32(masks + 4);
    }
}

void decode_io(lib_env& env, const BlockView& b) {
    if (b.type == 36 && b.index < 8)
        put(env.io.macro[b.index], b);
    else if (b.type == 37 && b.index == 0) {
        put(env.io.settings, b);
        env.io.is_io = 1;
    } else if (b.type == 64 && b.index == 0)
        put(env.io.html_size_kb, b);
}

void decode_operation_data(const BlockView& b, DecodeExtras* extras) {
    if (b.type == 11 && b.index == 2) {
        bool any = std::any_of(b.data, b.data + b.data_length, [](uint8_t c) { return c != 0; });
        keep_certificate(any ? b.data : nullptr, any ? b.data_length : 0);
    } else if (b.type == 53) {
        keep_device_message(text_of(b));
    } else if (!extras) {
        return;
    } else if (b.type == 50 && b.index == 0) {
        extras->control.assign(b.data, b.data + b.data_length);
    } else if (b.type == 48) {
        extras->status_text = text_of(b);
    } else if (b.type == 49 && extras->sessions4.size() < kMaxSessions) {
        put(extras->sessions4.emplace_back(), b);
    } else if (b.type == 51 && extras->sessions6.size() < kMaxSessions) {
        put(extras->sessions6.emplace_back(), b);
    }
}

// Types whose only catalogued instance is index 0.
bool single_instance(uint8_t type) {
    switch (type) {
    case 5:
    case 12:
    case 33:
    case 34:
    case 38:
    case 39:
    case 40:
    case 43:
        return true;
    default:
        return false;
    }
}

void decode_block(lib_env& env, const BlockView& b, DecodeExtras* extras) {
    if (single_instance(b.type) && b.index != 0) return;
    switch (b.type) {
    case 1:
    case 2:
        decode_identity(env, b);
        break;
    case 3:
        decode_address(env, b);
        break;
    case 4:
        decode_ip6(env, b);
        break;
    case 5:
        put(env.options, b);
        break;
    case 6:
        if (b.index < 2) put(b.index ? env.new_password : env.password, b);
        break;
    case 7:
        decode_text(env, b);
        break;
    case 8:
        decode_identity_texts(env, b);
        break;
    case 9:
        decode_wireless(env, b);
        break;
    case 12:
        put(env.product_name, b);
        break;
    case 16:
    case 20:
    case 32:
    case 44:
    case 42:
    case 45:
        decode_serial(env, b);
        break;
    case 33:
        put(env.allowed_mac, b);
        break;
    case 34: {
        uint8_t both[8] = {};
        put(both, b);
        std::memcpy(&env.allowed_ip4_address, both, 4);
        std::memcpy(&env.allowed_ip4_mask, both + 4, 4);
        break;
    }
    case 35:
        decode_host_name(env, b);
        break;
    case 36:
    case 37:
    case 64:
        decode_io(env, b);
        break;
    case 38:
        put(env.tune, b);
        break;
    case 39:
        put(env.ip_notification, b);
        break;
    case 40:
        put(env.port_map, b);
        break;
    case 41:
        decode_plm(env, b);
        break;
    case 43:
        put(env.allowed_ip6, b);
        break;
    case 46:
        decode_email(env, b);
        break;
    default:
        decode_operation_data(b, extras);
        break;
    }
}

} // namespace

bool decode_record(const uint8_t* blocks, size_t length, lib_env& env, DecodeExtras* extras) {
    std::memset(&env, 0, sizeof env);
    constexpr uint32_t kLinkPreset[8] = {1000, 100, 1, 60, 30, 2, 2, 70};
    std::memcpy(env.link_quality, kLinkPreset, sizeof kLinkPreset);
    if (extras) *extras = DecodeExtras{};
    if (!blocks) return length == 0;

    BlockReader reader(blocks, length);
    BlockView block;
    while (reader.next(block))
        decode_block(env, block, extras);
    return !reader.failed();
}

} // namespace nexolt

extern "C" int unpack_data(const uint8_t* blocks, lib_env* env, int length) {
    if (!env || length < 0) return 0;
    return nexolt::decode_record(blocks, size_t(length), *env, nullptr) ? 1 : 0;
}

extern "C" void copy_lib_env(lib_env* destination, const lib_env* source) {
    if (destination && source && destination != source)
        std::memcpy(destination, source, sizeof *destination);
}

extern "C" int get_uart_count_from_raw_buf(const uint8_t* blocks, int length) {
    if (length < 0) return -1;
    lib_env env;
    if (!nexolt::decode_record(blocks, size_t(length), env, nullptr)) return -1;
    int count = 0;
    for (const auto& port : env.uart)
        count += port.exists ? 1 : 0;
    return count;
}
