// Compares two block sequences block by block, keyed by type and index.
#include "block_describe.h"
#include "bytes.h"

#include "nexoltlib/nexoltlib.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct RawBlock {
    const uint8_t* bytes;
    size_t length;
};

// Next block at offset, skipping 4-byte zero-length padding words; false at the end or at a
// block that overruns the sequence.
bool next_block(const uint8_t* seq, size_t length, size_t& offset, RawBlock& block) {
    while (offset + 4 <= length && nexolt::load_u16(seq + offset + 2) == 0)
        offset += 4;
    if (offset + 4 > length) return false;
    size_t n = nexolt::load_u16(seq + offset + 2);
    if (n < 4 || n > length - offset) return false;
    block = {seq + offset, n};
    offset += n;
    return true;
}

bool find_block(const uint8_t* seq, size_t length, uint8_t type, uint8_t index, RawBlock& found) {
    size_t offset = 0;
    RawBlock block;
    while (next_block(seq, length, offset, block))
        if (block.bytes[0] == type && block.bytes[1] == index) return found = block, true;
    return false;
}

void write_text(char* text, const std::string& message) {
    if (!text) return;
    std::snprintf(text, NEXOLT_COMPARE_TEXT_SIZE, "%s", message.c_str());
}

} // namespace

extern "C" int memcmp_env_bin(int product_code, const uint8_t* first, const uint8_t* second,
                              int length, char* text) {
    if (text) text[0] = '\0';
    if (!first || !second || length <= 0) return 0;
    size_t n = size_t(length), offset = 0;
    auto code = uint16_t(product_code);
    RawBlock block, other;
    while (next_block(first, n, offset, block)) {
        std::string label = nexolt::block_label(block.bytes[0], block.bytes[1], code);
        std::string described = nexolt::describe_block(block.bytes, block.length, code);
        if (!find_block(second, n, block.bytes[0], block.bytes[1], other)) {
            write_text(text, "[" + label + "] was not found.\r\n\r\n" + described);
            return -1;
        }
        if (other.length != block.length || std::memcmp(other.bytes, block.bytes, block.length)) {
            write_text(text, "[" + label + "] does not match.\r\n\r\n env_bin_buf1\r\n " +
                                 described + "\r\n env_bin_buf2\r\n " +
                                 nexolt::describe_block(other.bytes, other.length, code));
            return -2;
        }
    }
    return 0;
}
