// One input is settings a device reported (its raw env): a write merges a record's blocks
// into it and it into a record's blocks, and it is read as a duplicate-address reply.
#include "nexoltlib/src/env_merge.h"
#include "nexoltlib/src/library_state.h"
#include "nexoltlib/src/record_codec.h"

#include "nexoltlib/nexoltlib.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> raw(data, data + size);
    lib_env env{};
    init_lib_env(52, &env);
    std::vector<uint8_t> blocks = nexolt::encode_record(env, nexolt::EncodeOptions{});
    std::vector<uint8_t> merged = nexolt::merge_into_raw_env(raw, blocks);
    if (merged.size() > raw.size() + blocks.size()) __builtin_trap();
    nexolt::merge_into_raw_env(blocks, raw);
    nexolt::append_random_identifier(raw);

    std::vector<uint8_t> control(data, data + size);
    if (control.size() >= 8) std::memcpy(control.data() + 4, "$DAD", 4);
    nexolt::take_dad_results(control);
    return 0;
}
