// Factory operations: giving a new device its MAC and the JLOCK request. Both go out by
// broadcast and need the service access code, so that no ordinary caller sends them.
#include "blocks.h"
#include "device_exchange.h"
#include "frame.h"
#include "search.h"

#include <openssl/crypto.h>

#include <cstring>

namespace nexolt {

namespace {

constexpr uint8_t kServiceAccessCode[8] = {'T', 'v', 'F', 'a', 'c', '#', '2', '3'};
// Devices fresh from assembly answer to this placeholder until their MAC is written.
constexpr uint8_t kPlaceholderMac[6] = {0x00, 0x30, 0xF9, 0xFF, 0xFF, 0xFF};

bool access_granted(const uint8_t* code) {
    return code && CRYPTO_memcmp(code, kServiceAccessCode, sizeof kServiceAccessCode) == 0;
}

int broadcast_to_mac(uint8_t command, const uint8_t* mac, std::vector<uint8_t> payload, int* error,
                     uint16_t port, uint32_t local) {
    SearchRequest request;
    request.mode = 0;
    request.port = port;
    request.local = local;
    request.maximum = 1;
    request.read = true;
    request.mac = mac;
    request.command = command;
    request.payload = std::move(payload);
    request.finished = [](const std::vector<ReplyResult>& results) {
        return first_decoded(results) != nullptr;
    };
    std::vector<ReplyResult> found;
    int code = 0;
    if (search_devices(request, found, code) != 1) return fail(error, code);
    const ReplyResult* reply = first_decoded(found);
    if (!reply) return fail(error, NEXOLT_ERR_NO_REPLY);
    if (int mapped = status_error(reply->header.status)) return fail(error, mapped);
    return 1;
}

} // namespace

} // namespace nexolt

using namespace nexolt;

extern "C" int Nexolt_WriteMAC(const uint8_t* access_code, const uint8_t* new_mac, int* error,
                               uint16_t port, uint32_t local) {
    if (!access_granted(access_code)) return fail(error, NEXOLT_ERR_ACCESS_CODE);
    if (!new_mac) return fail(error, NEXOLT_ERR_ARGUMENT);
    uint8_t identity[12] = {};
    std::memcpy(identity, new_mac, 6);
    std::vector<uint8_t> payload;
    append_block(payload, 1, 0, identity, sizeof identity);
    return broadcast_to_mac(kCmdWriteMac, kPlaceholderMac, std::move(payload), error, port, local);
}

extern "C" int Nexolt_JLOCK(const uint8_t* access_code, const uint8_t* mac, int* error,
                            uint16_t port, uint32_t local) {
    if (!access_granted(access_code)) return fail(error, NEXOLT_ERR_ACCESS_CODE);
    if (!mac) return fail(error, NEXOLT_ERR_ARGUMENT);
    return broadcast_to_mac(kCmdJlock, mac, {}, error, port, local);
}
