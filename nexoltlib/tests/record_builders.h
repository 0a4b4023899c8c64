// Sample records of each product kind, as a device of that kind would report them.
#pragma once

#include "nexoltlib/nexoltlib.h"

#include <cstdint>
#include <vector>

namespace nexolt::test {

lib_env io_controller(uint16_t product_id);
lib_env serial_server(uint16_t product_code, uint16_t product_id, int ports);
lib_env wireless_server();
lib_env plm40();
lib_env rtu();
std::vector<uint8_t> encode(lib_env env);

inline const uint8_t kMac[6] = {0x00, 0x30, 0xF9, 0x12, 0x34, 0x56};

} // namespace nexolt::test
