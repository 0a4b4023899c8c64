#pragma once
// Settings blocks as the simulated devices keep them: found, replaced and appended by type
// and index.

#include "nexoltlib/src/blocks.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tevronsim {

// The data (padding included) of the first block with this type and index.
std::optional<std::vector<std::uint8_t>> find_block_data(const std::vector<std::uint8_t>& blocks,
                                                         std::uint8_t type, std::uint8_t index);
// Replaces the block with this type and index, or appends it.
void put_block(std::vector<std::uint8_t>& blocks, std::uint8_t type, std::uint8_t index,
               const void* data, std::size_t n);
// Visits every well-formed block; false when the sequence has a bad block.
bool for_each_block(const std::vector<std::uint8_t>& blocks,
                    const std::function<void(const nexolt::BlockView&)>& visit);

} // namespace tevronsim
