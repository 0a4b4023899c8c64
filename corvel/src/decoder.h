// Decoding of one complete response body into a controller's received values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "received_values.h"

namespace corvel {

constexpr int NO_NOTIFICATION = -1;

struct DecodeResult {
    int code = NO_NOTIFICATION;     // data notification to send, MB_*
    int enable_di_change_port = -1; // identification asked for input-change reporting on this port
};

// body: unit id, function code, data (at most 250 bytes); tag: the frame's request tag.
// Never reads beyond size bytes.
DecodeResult decode_body(const uint8_t* body, size_t size, uint8_t tag, ReceivedValues& values);

// Whether a body is an answer to some request: any response, normal or exception, except the
// controller's own change reports.
bool is_answer_frame(const uint8_t* body, size_t size);
// Whether a decoded body answers a request of Corvel's: an answer frame that was not too
// malformed to decode.
bool answers_request(const uint8_t* body, size_t size, const DecodeResult& result);

} // namespace corvel
