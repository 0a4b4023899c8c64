// The exported search and read over the shared UDP exchange.
#include "tkb11lib/tkb11lib.h"

#include "exchange.h"
#include "wire.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <vector>

namespace tkb11 {

namespace {

constexpr int kSearchWindowMs = 1000;
constexpr int kReadTries = 3;
constexpr int kReadWaitMs = 400;

std::atomic<uint16_t> g_sequence{1};

int fail(int* error, int code) {
    *error = code;
    return -1;
}

bool valid_target(int mode, uint32_t address, int port) {
    return (mode == 0 || (mode == 1 && address != 0)) && port >= 0 && port <= 0xFFFF;
}

// Opens the sockets for mode: 0, TKB11_ERR_LOCAL_ADDRESS or an errno value.
int open_for(discovery::Exchange& exchange, int mode, int local_address) {
    uint32_t local = uint32_t(local_address);
    int result = mode == 0 ? exchange.open_broadcast(local) : exchange.open_unicast(local);
    return result == discovery::kNoInterface ? TKB11_ERR_LOCAL_ADDRESS : result;
}

uint16_t device_port(int port) {
    return port == 0 ? uint16_t(TKB11_PORT) : uint16_t(port);
}

struct Collected {
    std::vector<tkb11_record> records;
    bool full() const { return records.size() == TKB11_MAX_RECORDS; }
    // Keeps a good answer of a device not listed yet.
    void take(const Answer& answer) {
        if (answer.error || is_zero(answer.mac)) return;
        auto same = [&](const tkb11_record& r) {
            return std::equal(answer.mac.begin(), answer.mac.end(), r.mac);
        };
        if (std::none_of(records.begin(), records.end(), same)) records.push_back(answer.record);
    }
};

// Reads the record of the device asked; 0 or a TKB11_ERR_* / errno value.
int read_record(discovery::Exchange& exchange, const Request& request, uint32_t address,
                uint16_t port, tkb11_record& record) {
    int error = TKB11_ERR_NO_ANSWER;
    bool done = false;
    for (int attempt = 0; attempt < kReadTries && !done; ++attempt) {
        if (int sent = exchange.send(address, port, encode_request(request))) return sent;
        exchange.receive(kReadWaitMs, [&](const uint8_t* data, size_t length, uint32_t) {
            auto answer = decode_answer(data, length, request);
            if (!answer || (!is_zero(request.mac) && answer->mac != request.mac)) return false;
            error = answer->error;
            if (error == 0) record = answer->record;
            // A refusal is final; a garbled answer may be followed by a good one.
            done = error == 0 || error == TKB11_ERR_PASSWORD || error == TKB11_ERR_LOCKED;
            return done;
        });
    }
    return error;
}

} // namespace

} // namespace tkb11

using namespace tkb11;

extern "C" {

TKB11_API int TKB11_Search(int mode, uint32_t address, tkb11_record* records, int* count,
                           int* error, int port, int local_address) {
    if (!error) return -1;
    *error = 0;
    if (!records || !count || !valid_target(mode, address, port)) return fail(error, EINVAL);
    *count = 0;
    discovery::Exchange exchange;
    if (int opened = open_for(exchange, mode, local_address)) return fail(error, opened);
    Request request{kOpSearch, g_sequence++, {}};
    if (int sent = exchange.send(address, device_port(port), encode_request(request)))
        return fail(error, sent);
    Collected collected;
    int received =
        exchange.receive(kSearchWindowMs, [&](const uint8_t* data, size_t length, uint32_t) {
            if (auto answer = decode_answer(data, length, request)) collected.take(*answer);
            // Only one device lives at a unicast address.
            return collected.full() || (mode == 1 && !collected.records.empty());
        });
    if (received) return fail(error, received);
    std::copy(collected.records.begin(), collected.records.end(), records);
    *count = int(collected.records.size());
    return 1;
}

TKB11_API int TKB11_Read(int mode, const uint8_t* mac, uint32_t address, tkb11_record* record,
                         int* error, int port, int local_address) {
    if (!error) return -1;
    *error = 0;
    Request request{kOpRead, g_sequence++, {}};
    if (mode == 0 && mac) std::copy(mac, mac + 6, request.mac.begin());
    if (!record || !valid_target(mode, address, port) || (mode == 0 && is_zero(request.mac)))
        return fail(error, EINVAL);
    discovery::Exchange exchange;
    if (int opened = open_for(exchange, mode, local_address)) return fail(error, opened);
    if (int result = read_record(exchange, request, address, device_port(port), *record))
        return fail(error, result);
    return 1;
}

} // extern "C"
