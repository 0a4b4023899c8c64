// The machinery behind the settings accessors: the device lookup shared by all of them and
// field descriptions (bits of a word, text, address) that the families list as tables.
#pragma once

#include "device_lists.h"

#include "nexoltlib/nexoltlib.h"

#include <cstddef>
#include <cstdint>

namespace nexolt {

// The device-list entry and cached record of a device of the table, or nullptr.
DeviceEntry* accessed_entry(const void* device);

// width bits from bit shift of the little-endian word of size bytes at offset.
struct BitField {
    uint16_t offset;
    uint8_t size;
    uint8_t shift;
    uint8_t width;
};
uint32_t read_bits(const uint8_t* base, BitField f);
// False (nothing written) when value does not fit the field.
bool write_bits(uint8_t* base, BitField f, long value);

struct TextField {
    uint16_t offset;
    uint16_t size;
};

// Offset of serial port n's section, or of the serial word PLM-40 and RTU products keep
// instead (for the hardware part, offsets below 12).
size_t port_offset(const lib_env& env, int n, uint16_t field_offset);
// Whether a setter may write that field of port n: the port exists, or the field is in the
// serial word of a PLM-40 or RTU (their port 0).
bool port_present(const lib_env& env, int n, uint16_t field_offset);
// The hardware settings of port n wherever the product keeps them.
nexolt_uart_dev port_hardware(const lib_env& env, int n);

int get_bits(const void* device, BitField f);
int set_bits(const void* device, BitField f, long value);
int get_port_bits(const void* device, int n, BitField f);
int set_port_bits(const void* device, int n, BitField f, long value);
// Text getters write at most size bytes, the terminator included: a text that fills its
// whole field comes back without its last character.
int get_text(const void* device, TextField f, char* text);
int set_text(const void* device, TextField f, const char* text);
int get_ip4_text(const void* device, uint16_t offset, char* text);
int set_ip4_text(const void* device, uint16_t offset, const char* text);
int get_ip6_text(const void* device, uint16_t offset, char* text);
int set_ip6_text(const void* device, uint16_t offset, const char* text);

inline constexpr int kUnknownDevice = -1;
inline constexpr int kUnsupported = -2;

} // namespace nexolt

// One exported get_/set_ pair per table row.
#define NEXOLT_BITS(name, offset, size, shift, width)                                              \
    extern "C" int get_##name(const void* device) {                                                \
        return nexolt::get_bits(device, {uint16_t(offset), size, shift, width});                   \
    }                                                                                              \
    extern "C" int set_##name(const void* device, int value) {                                     \
        return nexolt::set_bits(device, {uint16_t(offset), size, shift, width}, value);            \
    }
#define NEXOLT_PORT_BITS(name, offset, size, shift, width)                                         \
    extern "C" int get_##name(const void* device, int n) {                                         \
        return nexolt::get_port_bits(device, n, {uint16_t(offset), size, shift, width});           \
    }                                                                                              \
    extern "C" int set_##name(const void* device, int n, int value) {                              \
        return nexolt::set_port_bits(device, n, {uint16_t(offset), size, shift, width}, value);    \
    }
#define NEXOLT_TEXT(name, offset, size)                                                            \
    extern "C" int get_##name(const void* device, char* text) {                                    \
        return nexolt::get_text(device, {uint16_t(offset), size}, text);                           \
    }                                                                                              \
    extern "C" int set_##name(const void* device, const char* text) {                              \
        return nexolt::set_text(device, {uint16_t(offset), size}, text);                           \
    }
#define NEXOLT_IP4(name, offset)                                                                   \
    extern "C" int get_##name(const void* device, char* text) {                                    \
        return nexolt::get_ip4_text(device, uint16_t(offset), text);                               \
    }                                                                                              \
    extern "C" int set_##name(const void* device, const char* text) {                              \
        return nexolt::set_ip4_text(device, uint16_t(offset), text);                               \
    }
#define NEXOLT_IP6(name, offset)                                                                   \
    extern "C" int get_##name(const void* device, char* text) {                                    \
        return nexolt::get_ip6_text(device, uint16_t(offset), text);                               \
    }                                                                                              \
    extern "C" int set_##name(const void* device, const char* text) {                              \
        return nexolt::set_ip6_text(device, uint16_t(offset), text);                               \
    }
