// What the library knows about each product: names, I/O port counts, serial block types.
#pragma once

#include <cstdint>

struct lib_env;

namespace nexolt {

// The I/O controllers (product code 16 or one of their product ids).
bool is_io_product(uint16_t code, uint16_t id);
bool is_io_product_ip6(uint16_t id); // the "P" models, ids 102 to 104
bool is_wireless_product(uint16_t code, uint16_t id);
bool is_plm40(uint16_t code, uint16_t id);
inline constexpr uint16_t kRtuProductId = 97;

// Products with code 54, 57 or 58 use the alternative serial block types and socket B.
bool uses_alt_serial_blocks(uint16_t code);

struct SerialBlockTypes {
    uint8_t dev, var, separator;
};
SerialBlockTypes serial_block_types(uint16_t code);

// Sets port counts, the I/O controller flag and the wireless flag from code and id.
void apply_product_facts(lib_env& env);

// Number of inputs and outputs of an I/O controller, 0 when the product is not one.
struct IoPortCount {
    uint8_t inputs, outputs;
};
IoPortCount io_port_count(uint16_t code, uint16_t id);

const char* product_name(int id); // nullptr when unknown

} // namespace nexolt
