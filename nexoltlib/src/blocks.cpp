#include "blocks.h"

#include "bytes.h"
#include "nexoltlib/nexoltlib.h"

namespace nexolt {

void append_block(std::vector<uint8_t>& out, uint8_t type, uint8_t index, const void* data,
                  size_t n) {
    size_t start = out.size();
    size_t length = block_length(n);
    out.resize(start + length, 0);
    uint8_t* block = out.data() + start;
    block[0] = type;
    block[1] = index;
    store_u16(block + 2, uint16_t(length));
    if (n) std::memcpy(block + kBlockHeader, data, n);
    store_u16(block + length - 2, crc16(block, int(length - 2)));
}

bool BlockReader::next(BlockView& block) {
    if (failed_ || left_ == 0) return false;
    // A trailing fragment too short for a header cannot be a block.
    if (left_ < kBlockHeader) return failed_ = true, false;
    size_t length = load_u16(bytes_ + 2);
    if (length < kMinBlock || length > left_) return failed_ = true, false;
    if (crc16(bytes_, int(length - 2)) != load_u16(bytes_ + length - 2))
        return failed_ = true, false;
    block = BlockView{bytes_[0], bytes_[1], length, bytes_ + kBlockHeader, length - 6};
    bytes_ += length;
    left_ -= length;
    return true;
}

} // namespace nexolt
