// Adjustments made to a freshly decoded reply: defaults the device leaves out and capability
// bits that depend on the product and its firmware.
#include "bytes.h"
#include "products.h"
#include "record_codec.h"

namespace nexolt {

namespace {

constexpr uint32_t kTxDelayBit = 1u << 18;

struct FirmwareThreshold {
    uint16_t product_id;
    uint16_t minor_rev; // lowest minor * 256 + revision of major 1 that has the features
};

// Products whose secure option and serial tx-delay bit came with a firmware update.
constexpr FirmwareThreshold kThresholds[] = {
    {17, 512},  {18, 512},  {19, 512},  {20, 512},  {35, 768},  {36, 768},
    {37, 768},  {38, 768},  {41, 1024}, {42, 1024}, {43, 1024}, {44, 1024},
    {47, 1280}, {49, 1280}, {54, 1280}, {55, 1280}, {56, 1280}, {57, 1280},
};

const FirmwareThreshold* threshold_of(uint16_t id) {
    for (const auto& t : kThresholds)
        if (t.product_id == id) return &t;
    return nullptr;
}

void set_bit(uint32_t& word, uint32_t bit, bool on) {
    word = on ? (word | bit) : (word & ~bit);
}

void adjust_by_firmware(lib_env& env) {
    const FirmwareThreshold* threshold = threshold_of(env.product_id);
    if (!threshold) return;
    bool newer = env.firmware_major > 1 ||
                 (env.firmware_major == 1 && env.firmware_minor_rev >= threshold->minor_rev);
    set_bit(env.options, NEXOLT_OPT_SECURE, newer);
    set_bit(env.uart[0].dev.word, kTxDelayBit, newer);
    set_bit(env.uart[1].dev.word, kTxDelayBit, newer);
}

} // namespace

void post_decode(lib_env& env) {
    if (is_io_product(env.product_code, env.product_id)) {
        if (env.io.html_size_kb == 0)
            env.io.html_size_kb = is_io_product_ip6(env.product_id) ? 96 : 80;
        return;
    }
    adjust_by_firmware(env);
    if (is_plm40(env.product_code, env.product_id)) {
        uint8_t* word = env.plm + NEXOLT_PLM_SERIAL;
        store_u32(word, load_u32(word) | kTxDelayBit);
    }
}

} // namespace nexolt
