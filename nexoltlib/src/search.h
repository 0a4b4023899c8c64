// Finding devices: a broadcast (command 1) or a request to one address (command 2),
// answered by every device that hears it.
#pragma once

#include "reply_intake.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace nexolt {

struct SearchRequest {
    int mode = 0;         // 0 broadcast, 1 unicast to address
    uint32_t address = 0; // network byte order
    uint16_t port = 0;
    uint32_t local = 0;
    size_t maximum = 256;
    int wait_ms = 2000; // select time-out and window
    // A read names one device: command 2 with its MAC in the header, the device lists kept,
    // and the wait ends as soon as finished() says the wanted reply is in.
    bool read = false;
    const uint8_t* mac = nullptr;
    std::function<bool(const std::vector<ReplyResult>&)> finished;
    // Another request by MAC or address (a certificate read): its command and payload.
    uint8_t command = 0;
    std::vector<uint8_t> payload;
};

// 1 with the replies in arrival order, or -1 with error set.
int search_devices(const SearchRequest& request, std::vector<ReplyResult>& results, int& error);

} // namespace nexolt
