// Factory values of each product, and resetting a device to them.
#include "device_exchange.h"
#include "library_defaults.h"
#include "products.h"
#include "tevron_password.h"
#include "tevron_table.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

namespace nexolt {

namespace {

struct FactoryProduct {
    uint16_t id;
    uint16_t code;
    uint8_t serial_ports;
    uint8_t serial_types; // max_stype: 0 RS232 only, 1 and RS485, 2 and RS422
    uint32_t max_baud;
    uint16_t first_local_port; // of serial port 0; port n listens on this + n
};

constexpr FactoryProduct kFactory[] = {
    {16, 16, 0, 0, 0, 0},           {17, 17, 1, 2, 230400, 1470},   {18, 18, 2, 2, 230400, 1470},
    {19, 19, 4, 2, 230400, 1470},   {20, 20, 8, 2, 230400, 1470},   {21, 21, 1, 0, 230400, 1470},
    {32, 16, 0, 0, 0, 0},           {33, 16, 0, 0, 0, 0},           {34, 34, 0, 0, 0, 0},
    {35, 35, 2, 2, 921600, 1470},   {36, 36, 4, 2, 921600, 1470},   {37, 37, 8, 2, 921600, 1470},
    {38, 38, 1, 2, 921600, 1470},   {39, 39, 1, 0, 921600, 1470},   {40, 40, 2, 0, 921600, 1470},
    {41, 41, 1, 2, 921600, 1470},   {42, 42, 2, 2, 921600, 1470},   {43, 43, 4, 2, 921600, 1470},
    {44, 44, 8, 2, 921600, 1470},   {45, 45, 1, 0, 921600, 1470},   {46, 46, 2, 0, 921600, 1470},
    {47, 47, 1, 2, 921600, 1470},   {48, 48, 1, 1, 115200, 1470},   {49, 49, 2, 2, 921600, 1470},
    {50, 50, 1, 1, 115200, 1470},   {51, 51, 1, 0, 921600, 1470},   {52, 52, 0, 0, 0, 0},
    {53, 53, 1, 0, 921600, 1470},   {54, 54, 1, 2, 921600, 14701},  {55, 55, 2, 2, 921600, 14701},
    {56, 56, 4, 2, 921600, 14701},  {57, 57, 8, 2, 921600, 14701},  {58, 58, 16, 2, 921600, 14701},
    {59, 59, 1, 2, 921600, 14700},  {60, 60, 1, 0, 921600, 14700},  {61, 61, 2, 2, 921600, 14700},
    {62, 62, 4, 2, 921600, 14700},  {63, 63, 8, 2, 921600, 14700},  {96, 96, 1, 2, 921600, 1470},
    {97, 97, 0, 2, 115200, 1470},   {98, 98, 2, 2, 921600, 1470},   {99, 99, 1, 0, 921600, 1470},
    {100, 100, 4, 2, 921600, 1470}, {101, 101, 8, 2, 921600, 1470}, {102, 102, 0, 0, 0, 0},
    {103, 103, 0, 0, 0, 0},         {104, 104, 0, 0, 0, 0},
};

const FactoryProduct* factory_product(int id) {
    for (const auto& p : kFactory)
        if (p.id == id) return &p;
    return nullptr;
}

uint32_t ip4(const char* text) {
    uint32_t address = 0;
    inet_pton(AF_INET, text, &address);
    return address;
}

void serial_defaults(lib_env& env, const FactoryProduct& p) {
    constexpr uint32_t kEightBits = 3u << 4;
    for (unsigned n = 0; n < p.serial_ports; ++n) {
        nexolt_uart_section& port = env.uart[n];
        port.exists = 1;
        port.dev.word = p.serial_types | kEightBits;
        port.dev.max_baud = p.max_baud;
        port.dev.sio_baud = 19200;
        port.var.local_port = uint16_t(p.first_local_port + n);
        port.var.mux_type = NEXOLT_MUX_T2S;
    }
}

void io_defaults(lib_env& env) {
    nexolt_io_area& io = env.io;
    env.options |= NEXOLT_OPT_HTTP;
    env.port_map[0] = 80;
    io.settings.flags = NEXOLT_IO_MODBUS;
    io.settings.peer_port = 502;
    io.settings.slave_id = 1;
    io.settings.input_addr = 0;
    io.settings.output_addr = 8;
    io.settings.init_output = 0;
    io.settings.poll_interval = 1000;
    io.html_size_kb = is_io_product_ip6(env.product_id) ? 96 : 80;
    for (int n = 0; n < io.input_count; ++n)
        std::snprintf(io.input_description[n], sizeof io.input_description[n], "DI%d", n);
    for (int n = 0; n < io.output_count; ++n)
        std::snprintf(io.output_description[n], sizeof io.output_description[n], "DO%d", n);
}

} // namespace

// The device's identity (MAC, firmware, address) survives; every setting is reset.
int build_factory_record(int product_id, lib_env& env) {
    const FactoryProduct* p = factory_product(product_id);
    if (!p) return 0;
    lib_env fresh{};
    std::memcpy(fresh.mac, env.mac, 6);
    std::memcpy(fresh.secure, env.secure, 6);
    fresh.firmware_major = env.firmware_major;
    fresh.firmware_minor_rev = env.firmware_minor_rev;
    fresh.device_address = env.device_address;
    fresh.product_code = p->code;
    fresh.product_id = p->id;
    fresh.ip4_address = ip4("10.1.0.1");
    fresh.ip4_mask = ip4("255.0.0.0");
    constexpr uint32_t kLinkPreset[8] = {1000, 100, 1, 60, 30, 2, 2, 70};
    std::memcpy(fresh.link_quality, kLinkPreset, sizeof kLinkPreset);
    apply_product_facts(fresh);
    serial_defaults(fresh, *p);
    fresh.options = NEXOLT_OPT_RCFG | NEXOLT_OPT_TELNET;
    if (p->id == 48 || p->id == kRtuProductId)
        fresh.options |= NEXOLT_OPT_DHCP | NEXOLT_OPT_AUTO_NS;
    if (p->id == 48) fresh.options |= NEXOLT_OPT_SSL | NEXOLT_OPT_SECURE;
    if (fresh.io.is_io) io_defaults(fresh);
    env = fresh;
    return 1;
}

namespace {

// Resets the cached record and writes it; the caller's password still opens the device.
int initialize(const void* device, int product_id, const char* password, uint16_t port,
               int* error) {
    uint8_t field[10];
    if (int code = password_field(password, field)) return fail(error, code);
    DeviceEntry* entry = tevron_device_entry(device);
    const tevron_info* info = find_tevron(device);
    if (!entry || !info) return fail(error, NEXOLT_ERR_NO_DEVICE);
    lib_env record = entry->env;
    if (!build_factory_record(product_id < 0 ? record.product_id : product_id, record))
        return fail(error, NEXOLT_ERR_ARGUMENT);
    std::memcpy(record.password, field, sizeof field);
    entry->env = record;
    return Nexolt_Write2(info->list, &record, field, error, port, 0, default_maximum());
}

} // namespace

} // namespace nexolt

using namespace nexolt;

extern "C" int init_lib_env(int product_id, lib_env* env) {
    return env ? build_factory_record(product_id, *env) : 0;
}

extern "C" int Tevron_Initialize(const void* device, const char* password, uint16_t port,
                                 int* error) {
    return initialize(device, -1, password, port, error);
}

extern "C" int Tevron_FactoryInit(const void* device, int product_id, uint16_t port, int* error) {
    return initialize(device, product_id, nullptr, port, error);
}
