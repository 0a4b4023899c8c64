// CRC-16 with polynomial 0x1021 and initial value 0x1D0F, MSB first, no final XOR.
#include "nexoltlib/nexoltlib.h"

#include <array>

namespace {

constexpr std::array<uint16_t, 256> make_table() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t crc = uint16_t(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? uint16_t((crc << 1) ^ 0x1021) : uint16_t(crc << 1);
        table[i] = crc;
    }
    return table;
}

constexpr auto kTable = make_table();

} // namespace

extern "C" uint16_t crc16(const void* data, int length) {
    auto* p = static_cast<const uint8_t*>(data);
    uint16_t crc = 0x1D0F;
    for (int i = 0; i < length; ++i)
        crc = uint16_t((crc << 8) ^ kTable[(crc >> 8) ^ p[i]]);
    return crc;
}
