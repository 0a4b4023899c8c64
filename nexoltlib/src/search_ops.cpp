// The exported search and read operations.
#include "device_exchange.h"
#include "search.h"
#include "tevron_table.h"

#include "nexoltlib/nexoltlib.h"

#include <algorithm>
#include <cstring>

namespace nexolt {

namespace {

int search(int mode, uint32_t address, lib_env* results, int* count, int* error, int wait_ms,
           uint16_t port, uint32_t local, int maximum) {
    if (!results || !count || maximum <= 0 || (mode != 0 && mode != 1))
        return fail(error, NEXOLT_ERR_ARGUMENT);
    SearchRequest request;
    request.mode = mode;
    request.address = address;
    request.port = port;
    request.local = local;
    request.maximum = size_t(maximum);
    request.wait_ms = wait_ms;
    std::vector<ReplyResult> found;
    int code = 0;
    if (search_devices(request, found, code) != 1) return fail(error, code);
    for (size_t i = 0; i < found.size(); ++i)
        results[i] = found[i].env;
    *count = int(found.size());
    rebuild_tevron_table();
    return 1;
}

int read(int mode, const uint8_t* mac, uint32_t address, lib_env* record, int* error, int wait_ms,
         uint16_t port, uint32_t local, int maximum) {
    if (!record || (mode != 0 && mode != 1) || (mode == 0 && !mac))
        return fail(error, NEXOLT_ERR_ARGUMENT);
    if (mode == 0)
        std::memcpy(record->mac, mac, 6);
    else
        record->device_address = address;
    SearchRequest request;
    request.mode = mode;
    request.address = address;
    request.port = port;
    request.local = local;
    request.maximum = size_t(maximum > 0 ? maximum : 1);
    request.wait_ms = wait_ms;
    request.read = true;
    request.mac = record->mac;
    // Only a complete, decoded reply answers the read.
    auto wanted = [&](const ReplyResult& r) {
        if (!r.decoded) return false;
        return mode == 1 ? r.env.device_address == address
                         : std::memcmp(r.env.mac, record->mac, 6) == 0;
    };
    request.finished = [&](const std::vector<ReplyResult>& results) {
        return std::any_of(results.begin(), results.end(), wanted);
    };
    std::vector<ReplyResult> found;
    int code = 0;
    if (search_devices(request, found, code) != 1) return fail(error, code);
    auto hit = std::find_if(found.begin(), found.end(), wanted);
    if (hit != found.end()) {
        *record = hit->env;
        rebuild_tevron_table();
        return 1;
    }
    return fail(error, NEXOLT_ERR_NO_REPLY);
}

} // namespace

} // namespace nexolt

using namespace nexolt;

extern "C" int Nexolt_Search(int mode, uint32_t address, lib_env* results, int* count, int* error,
                             uint16_t port, uint32_t local, int maximum) {
    return search(mode, address, results, count, error, 2000, port, local, maximum);
}

extern "C" int Nexolt_Search2(int mode, uint32_t address, lib_env* results, int* count, int* error,
                              int wait_ms, uint16_t port, uint32_t local, int maximum) {
    return search(mode, address, results, count, error, wait_ms, port, local, maximum);
}

extern "C" int Nexolt_Read(int mode, const uint8_t* mac, uint32_t address, lib_env* record,
                           int* error, uint16_t port, uint32_t local, int maximum) {
    return read(mode, mac, address, record, error, 2000, port, local, maximum);
}

extern "C" int Nexolt_Read2(int mode, const uint8_t* mac, uint32_t address, lib_env* record,
                            int* error, int wait_ms, uint16_t port, uint32_t local, int maximum) {
    return read(mode, mac, address, record, error, wait_ms, port, local, maximum);
}
