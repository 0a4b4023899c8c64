// Merging newly encoded blocks into the settings a device last reported, so that blocks the
// library does not know survive a write.
#pragma once

#include <cstdint>
#include <vector>

namespace nexolt {

// Each new block replaces the raw env's block of the same type and index, or is appended
// while the result stays within the payload limit. Type 10 blocks are never merged.
std::vector<uint8_t> merge_into_raw_env(std::vector<uint8_t> raw,
                                        const std::vector<uint8_t>& blocks);

// Appends block (10,0) with 10 bytes of a fresh random identifier unless one is present.
void append_random_identifier(std::vector<uint8_t>& blocks);

} // namespace nexolt
