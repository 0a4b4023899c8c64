#include "device_management_blocks.h"

#include "nexoltlib/src/bytes.h"

namespace tevronsim {

bool for_each_block(const std::vector<std::uint8_t>& blocks,
                    const std::function<void(const nexolt::BlockView&)>& visit) {
    nexolt::BlockReader reader(blocks.data(), blocks.size());
    nexolt::BlockView b;
    while (reader.next(b))
        visit(b);
    return !reader.failed();
}

std::optional<std::vector<std::uint8_t>> find_block_data(const std::vector<std::uint8_t>& blocks,
                                                         std::uint8_t type, std::uint8_t index) {
    std::optional<std::vector<std::uint8_t>> found;
    for_each_block(blocks, [&](const nexolt::BlockView& b) {
        if (!found && b.type == type && b.index == index)
            found.emplace(b.data, b.data + b.data_length);
    });
    return found;
}

void put_block(std::vector<std::uint8_t>& blocks, std::uint8_t type, std::uint8_t index,
               const void* data, std::size_t n) {
    std::vector<std::uint8_t> block;
    nexolt::append_block(block, type, index, data, n);
    for (std::size_t at = 0; at + 4 <= blocks.size();) {
        std::size_t length = nexolt::load_u16(blocks.data() + at + 2);
        if (length < nexolt::kMinBlock || at + length > blocks.size()) break;
        if (blocks[at] == type && blocks[at + 1] == index) {
            blocks.erase(blocks.begin() + long(at), blocks.begin() + long(at + length));
            blocks.insert(blocks.begin() + long(at), block.begin(), block.end());
            return;
        }
        at += length;
    }
    blocks.insert(blocks.end(), block.begin(), block.end());
}

} // namespace tevronsim
