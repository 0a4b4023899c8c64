#include "env_merge.h"

#include "blocks.h"
#include "bytes.h"

#include "nexoltlib/nexoltlib.h"

#include <openssl/rand.h>

#include <optional>

namespace nexolt {

namespace {

struct Span {
    size_t at, length;
};

// Position of the block with this type and index; walks by the length fields, stopping at
// the first length that cannot be a block.
std::optional<Span> find_block(const std::vector<uint8_t>& raw, uint8_t type, uint8_t index) {
    for (size_t at = 0; at + kBlockHeader <= raw.size();) {
        size_t length = load_u16(raw.data() + at + 2);
        if (length < kMinBlock || at + length > raw.size()) return std::nullopt;
        if (raw[at] == type && raw[at + 1] == index) return Span{at, length};
        at += length;
    }
    return std::nullopt;
}

void replace(std::vector<uint8_t>& raw, Span old, const uint8_t* block, size_t length) {
    if (old.length == length) {
        std::copy(block, block + length, raw.begin() + long(old.at));
        return;
    }
    raw.erase(raw.begin() + long(old.at), raw.begin() + long(old.at + old.length));
    raw.insert(raw.begin() + long(old.at), block, block + length);
}

// The two dynamic-DNS host-name indexes share one place in the settings.
std::optional<uint8_t> shared_place(uint8_t type, uint8_t index) {
    if (type == 35 && index == 128) return uint8_t(129);
    if (type == 35 && index == 129) return uint8_t(128);
    return std::nullopt;
}

void merge_block(std::vector<uint8_t>& raw, const uint8_t* block, size_t length) {
    uint8_t type = block[0], index = block[1];
    if (type == 10) return;
    if (auto same = find_block(raw, type, index)) return replace(raw, *same, block, length);
    if (raw.size() + length > NEXOLT_MAX_PAYLOAD) return;
    if (auto other = shared_place(type, index))
        if (auto sister = find_block(raw, type, *other))
            return replace(raw, *sister, block, length);
    raw.insert(raw.end(), block, block + length);
}

} // namespace

std::vector<uint8_t> merge_into_raw_env(std::vector<uint8_t> raw,
                                        const std::vector<uint8_t>& blocks) {
    for (size_t at = 0; at + kBlockHeader <= blocks.size();) {
        size_t length = load_u16(blocks.data() + at + 2);
        if (length < kMinBlock || at + length > blocks.size()) break;
        merge_block(raw, blocks.data() + at, length);
        at += length;
    }
    return raw;
}

void append_random_identifier(std::vector<uint8_t>& blocks) {
    if (find_block(blocks, 10, 0)) return;
    uint8_t guid[16];
    if (RAND_bytes(guid, sizeof guid) != 1) return;
    guid[6] = uint8_t((guid[6] & 0x0F) | 0x40); // a version-4 GUID
    guid[8] = uint8_t((guid[8] & 0x3F) | 0x80);
    append_block(blocks, 10, 0, guid, 10);
}

} // namespace nexolt
