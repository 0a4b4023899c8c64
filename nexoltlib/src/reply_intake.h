// Validation, reassembly and decoding of one received reply, and its recording in the
// operation's result array and the device lists.
#pragma once

#include "frame.h"
#include "posix/system.h"
#include "record_codec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nexolt {

struct ReplyResult {
    FrameHeader header{};
    lib_env env{};
    bool decoded = false;
};

struct ReplyInterface {
    std::string address_text;
    unsigned index = 0;
};

struct IntakeContext {
    bool broadcast_search = false;
    FrameHeader request{};
    uint32_t target = 0; // unicast target, network byte order
    size_t max_results = 0;
    std::vector<ReplyResult> results;
    DecodeExtras extras; // of the last decoded reply
};

// The first reply that is complete and decoded: only such a reply ends an operation.
const ReplyResult* first_decoded(const std::vector<ReplyResult>& results);

// Every datagram that fails a test is ignored silently.
void take_reply(IntakeContext& context, const uint8_t* datagram, size_t length,
                sys::Endpoint source, const ReplyInterface& via);

} // namespace nexolt
