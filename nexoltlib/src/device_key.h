// The 14-byte key constant shared by the library and the devices; bytes 14 and 15 of each
// payload key are the payload CRC. The simulator includes this file so both ends agree.
#pragma once

#include <cstdint>

namespace nexolt {

inline constexpr uint8_t kDeviceKey[14] = {0x4E, 0x78, 0x6C, 0x21, 0x9B, 0x3D, 0xE2,
                                           0x57, 0x0A, 0xC4, 0x71, 0x8F, 0x26, 0xB9};

} // namespace nexolt
