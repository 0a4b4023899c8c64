// Settings block framing: type, index, length, data, zero padding, CRC-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nexolt {

inline constexpr size_t kBlockHeader = 4;
inline constexpr size_t kMinBlock = 8;

// Padding after n data bytes so that the block length (n + p + 6) is a multiple of 4.
constexpr size_t block_padding(size_t n) {
    constexpr size_t by_remainder[4] = {2, 1, 0, 3};
    return by_remainder[n % 4];
}
constexpr size_t block_length(size_t n) {
    return n + block_padding(n) + 6;
}

void append_block(std::vector<uint8_t>& out, uint8_t type, uint8_t index, const void* data,
                  size_t n);

struct BlockView {
    uint8_t type;
    uint8_t index;
    size_t length;       // whole block, header and CRC included
    const uint8_t* data; // block data, padding included
    size_t data_length;  // length - 6
};

// Walks a block sequence; stops with failure at a block that overruns, is shorter than the
// smallest valid block, or fails its CRC.
class BlockReader {
  public:
    BlockReader(const uint8_t* bytes, size_t length) : bytes_(bytes), left_(length) {}
    // true with the next block; false at the end or at a bad block (see failed()).
    bool next(BlockView& block);
    bool failed() const { return failed_; }

  private:
    const uint8_t* bytes_;
    size_t left_;
    bool failed_ = false;
};

} // namespace nexolt
