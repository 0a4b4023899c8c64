// Human-readable descriptions of settings blocks, for comparing two block sequences.
#pragma once

#include "blocks.h"

#include <string>

namespace nexolt {

std::string block_label(uint8_t type, uint8_t index, uint16_t product_code);
// Label, the fields as text, and a mark when the length or CRC disagrees.
std::string describe_block(const uint8_t* block, size_t length, uint16_t product_code);

} // namespace nexolt
