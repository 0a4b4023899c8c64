#include "products.h"

#include "nexoltlib/nexoltlib.h"

#include <cstdio>
#include <cstring>

namespace nexolt {

namespace {

struct ProductName {
    int id;
    const char* name;
};

// Ids the maker uses for its other networked products keep a family-and-id name.
constexpr ProductName kNames[] = {
    {16, "TKA-31 / 21 / 35"}, {17, "TSR-110"},  {18, "TSR-120"},  {19, "TSR-140"},
    {20, "TSR-180"},          {21, "TWL-110"},  {32, "TKA-31"},   {33, "TKA-21"},
    {34, "TKA-35"},           {35, "TSR-220"},  {36, "TSR-240"},  {37, "TSR-280"},
    {38, "TSR-210"},          {39, "TWL-210"},  {40, "TWL-220"},  {41, "TSR-310"},
    {42, "TSR-320"},          {43, "TSR-340"},  {44, "TSR-380"},  {45, "TWL-310"},
    {46, "TWL-320"},          {47, "TSR-410"},  {48, "PLM-40"},   {49, "TSR-420"},
    {50, "PLM-40S"},          {51, "TWL-400"},  {52, "TKA-33"},   {53, "TWL-410"},
    {54, "TSR-510"},          {55, "TSR-520"},  {56, "TSR-540"},  {57, "TSR-580"},
    {58, "TSR-516"},          {59, "TSR-610"},  {60, "TWL-610"},  {61, "TSR-620"},
    {62, "TSR-640"},          {63, "TSR-680"},  {96, "TGW-100"},  {97, "TRU-100"},
    {98, "TGW-200"},          {99, "TWL-700"},  {100, "TGW-300"}, {101, "TGW-400"},
    {102, "TKA-35P"},         {103, "TKA-33P"}, {104, "TKA-31P"},
};

} // namespace

bool is_io_product(uint16_t code, uint16_t id) {
    return code == 16 || id == 32 || id == 33 || id == 34 || id == 52 || is_io_product_ip6(id);
}

bool is_io_product_ip6(uint16_t id) {
    return id >= 102 && id <= 104;
}

bool is_wireless_product(uint16_t code, uint16_t id) {
    return code == 21 || id == 39 || id == 40 || id == 45 || id == 46 || id == 53 || id == 60;
}

bool is_plm40(uint16_t code, uint16_t id) {
    return code == 48 || code == 50 || id == 48 || id == 50;
}

bool uses_alt_serial_blocks(uint16_t code) {
    return code == 54 || code == 57 || code == 58;
}

SerialBlockTypes serial_block_types(uint16_t code) {
    return uses_alt_serial_blocks(code) ? SerialBlockTypes{20, 44, 45}
                                        : SerialBlockTypes{16, 32, 42};
}

IoPortCount io_port_count(uint16_t code, uint16_t id) {
    if (code == 16 || id == 32 || id == 33 || id == 104) return {8, 8};
    if (code == 34 || id == 34 || id == 102) return {4, 4};
    if (code == 52 || id == 52 || id == 103) return {2, 1};
    return {0, 0};
}

void apply_product_facts(lib_env& env) {
    IoPortCount ports = io_port_count(env.product_code, env.product_id);
    if (ports.inputs) {
        env.io.input_count = ports.inputs;
        env.io.output_count = ports.outputs;
        env.io.is_io = 1;
    }
    if (is_wireless_product(env.product_code, env.product_id)) env.is_wlan = 1;
}

const char* product_name(int id) {
    for (const auto& p : kNames)
        if (p.id == id) return p.name;
    return nullptr;
}

} // namespace nexolt

namespace {
int write_name(int id, char* text) {
    const char* name = nexolt::product_name(id);
    if (!text) return name ? 1 : -1;
    std::snprintf(text, 20, "%s", name ? name : "UNKNOWN");
    return name ? 1 : -1;
}
} // namespace

extern "C" int GetProductName(int product_id, char* text) {
    return write_name(product_id, text);
}
extern "C" int get_product_name(int product_id, char* text) {
    return write_name(product_id, text);
}
