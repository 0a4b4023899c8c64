#include "accessor_fields.h"

#include "bytes.h"
#include "products.h"
#include "tevron_table.h"

#include <arpa/inet.h>

#include <cstring>

namespace nexolt {

namespace {

constexpr size_t kUartSections = offsetof(lib_env, uart);
constexpr size_t kUartSectionSize = sizeof(nexolt_uart_section);

uint8_t* bytes_of(DeviceEntry* entry) {
    return reinterpret_cast<uint8_t*>(&entry->env);
}

uint32_t load(const uint8_t* p, uint8_t size) {
    return size == 1 ? p[0] : size == 2 ? load_u16(p) : load_u32(p);
}

void store(uint8_t* p, uint8_t size, uint32_t v) {
    if (size == 1)
        p[0] = uint8_t(v);
    else if (size == 2)
        store_u16(p, uint16_t(v));
    else
        store_u32(p, v);
}

uint32_t mask_of(uint8_t width) {
    return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1;
}

} // namespace

DeviceEntry* accessed_entry(const void* device) {
    return tevron_device_entry(device);
}

uint32_t read_bits(const uint8_t* base, BitField f) {
    return (load(base + f.offset, f.size) >> f.shift) & mask_of(f.width);
}

bool write_bits(uint8_t* base, BitField f, long value) {
    if (value < 0 || uint64_t(value) > mask_of(f.width)) return false;
    uint32_t word = load(base + f.offset, f.size);
    uint32_t mask = mask_of(f.width) << f.shift;
    store(base + f.offset, f.size, (word & ~mask) | ((uint32_t(value) << f.shift) & mask));
    return true;
}

size_t port_offset(const lib_env& env, int n, uint16_t field_offset) {
    constexpr size_t kHardwarePart = sizeof(nexolt_uart_dev);
    if (field_offset < kHardwarePart) {
        if (is_plm40(env.product_code, env.product_id)) return offsetof(lib_env, plm);
        if (env.product_id == kRtuProductId) return offsetof(lib_env, plm) + NEXOLT_PLM_RTU_SERIAL;
    }
    return kUartSections + kUartSectionSize * size_t(n);
}

bool port_present(const lib_env& env, int n, uint16_t field_offset) {
    if (n < 0 || n >= NEXOLT_MAX_UART) return false;
    bool serial_word =
        port_offset(env, n, field_offset) != kUartSections + kUartSectionSize * size_t(n);
    return env.uart[n].exists || (serial_word && n == 0);
}

nexolt_uart_dev port_hardware(const lib_env& env, int n) {
    nexolt_uart_dev dev{};
    std::memcpy(&dev, reinterpret_cast<const uint8_t*>(&env) + port_offset(env, n, 0), sizeof dev);
    return dev;
}

int get_bits(const void* device, BitField f) {
    DeviceEntry* entry = accessed_entry(device);
    return entry ? int(read_bits(bytes_of(entry), f)) : kUnknownDevice;
}

int set_bits(const void* device, BitField f, long value) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    return write_bits(bytes_of(entry), f, value) ? 1 : kUnsupported;
}

int get_port_bits(const void* device, int n, BitField f) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (n < 0 || n >= NEXOLT_MAX_UART) return kUnsupported;
    return int(read_bits(bytes_of(entry) + port_offset(entry->env, n, f.offset), f));
}

int set_port_bits(const void* device, int n, BitField f, long value) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!port_present(entry->env, n, f.offset)) return kUnsupported;
    uint8_t* base = bytes_of(entry) + port_offset(entry->env, n, f.offset);
    return write_bits(base, f, value) ? 1 : kUnsupported;
}

int get_text(const void* device, TextField f, char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!text) return kUnsupported;
    const char* field = reinterpret_cast<const char*>(bytes_of(entry) + f.offset);
    size_t n = strnlen(field, f.size - 1u);
    std::memcpy(text, field, n);
    text[n] = '\0';
    return 1;
}

int set_text(const void* device, TextField f, const char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!text) return kUnsupported;
    uint8_t* field = bytes_of(entry) + f.offset;
    std::memset(field, 0, f.size);
    std::memcpy(field, text, strnlen(text, f.size));
    return 1;
}

int get_ip4_text(const void* device, uint16_t offset, char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!text) return kUnsupported;
    inet_ntop(AF_INET, bytes_of(entry) + offset, text, INET_ADDRSTRLEN);
    return 1;
}

int set_ip4_text(const void* device, uint16_t offset, const char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    uint32_t address = 0;
    if (!text || inet_pton(AF_INET, text, &address) != 1) return kUnsupported;
    std::memcpy(bytes_of(entry) + offset, &address, 4);
    return 1;
}

int get_ip6_text(const void* device, uint16_t offset, char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!text) return kUnsupported;
    inet_ntop(AF_INET6, bytes_of(entry) + offset, text, INET6_ADDRSTRLEN);
    return 1;
}

int set_ip6_text(const void* device, uint16_t offset, const char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    uint8_t address[16] = {};
    if (!text) return kUnsupported;
    if (*text && inet_pton(AF_INET6, text, address) != 1) return kUnsupported;
    std::memcpy(bytes_of(entry) + offset, address, 16);
    return 1;
}

} // namespace nexolt
