// One request to a device the library already knows (found by a search or read): the
// transport on the interface it answered through, the request sent twice or in fragments,
// and the wait for the reply that carries its MAC.
#pragma once

#include "device_lists.h"
#include "record_codec.h"
#include "reply_intake.h"

#include <cstdint>
#include <vector>

namespace nexolt {

// Whether a request is cut into fragments: never, or when the device takes them (capability
// bit 6), each piece once (settings writes) or twice like any other request (certificates).
enum class Fragmenting { Never, WhenCapable, WhenCapableEachTwice };

struct DeviceRequest {
    int list = 1;
    const lib_env* record = nullptr; // its MAC and device address name the device
    uint8_t command = 0;
    uint8_t flags = 0;
    std::vector<uint8_t> payload; // plaintext blocks
    Fragmenting fragmenting = Fragmenting::Never;
    int wait_ms = 2000; // select time-out and window
    uint16_t port = 0;
    uint32_t local = 0;
    int maximum = 256;
};

struct DeviceReply {
    ReplyResult result;
    DecodeExtras extras;
};

// 1 with the device's reply, or -1 with error set (transport errors, -200 for no reply).
int exchange_with_device(const DeviceRequest& request, const DeviceEntry& entry, DeviceReply& reply,
                         int& error);

// Reply status to the library's error code: 0 for success.
int status_error(uint8_t status);

// Flags of a request to a known device: unicast for list 1, enciphered when it enciphers.
uint8_t device_flags(int list, const DeviceEntry& entry);

// Splits header plus payload into datagrams of at most 1428 payload bytes each.
std::vector<std::vector<uint8_t>> split_fragments(const std::vector<uint8_t>& frame);

// Writes code to error when error is given; returns -1 for the caller to pass on.
inline int fail(int* error, int code) {
    if (error) *error = code;
    return -1;
}

// The arguments every operation on a known device takes.
struct DeviceCall {
    int list;
    lib_env* record;
    int* error;
    uint16_t port;
    uint32_t local;
    int maximum;
};

struct Operation {
    uint8_t command = 0;
    int flags = -1; // -1: device_flags()
    std::vector<uint8_t> payload;
    int wait_ms = 2000;
    Fragmenting fragmenting = Fragmenting::Never;
    bool copy_record = false; // the device's answer replaces the caller's record
};

// Finds the device in its list (-900), exchanges the operation and maps the reply status.
// 1 or -1 with *call.error set; reply (when given) holds the answer either way.
int device_operation(const DeviceCall& call, const Operation& operation,
                     DeviceReply* reply = nullptr);

} // namespace nexolt
