// Writing settings: the record's blocks (merged into what the device last reported, or on
// their own), ready-made blocks, and the user-defined MAC.
#include "blocks.h"
#include "capabilities.h"
#include "device_exchange.h"
#include "env_merge.h"
#include "frame.h"
#include "write_validation.h"

#include <cstring>

namespace nexolt {

namespace {

constexpr int kWriteWaitMs = 3000;

// Sends a write payload and takes the device's answer into the record.
int send_write(const DeviceCall& call, std::vector<uint8_t> payload) {
    Operation write;
    write.command = kCmdWrite;
    write.payload = std::move(payload);
    write.wait_ms = kWriteWaitMs;
    write.fragmenting = Fragmenting::WhenCapable;
    write.copy_record = true;
    return device_operation(call, write);
}

void apply_password(lib_env& record, const uint8_t* password) {
    // A device without a password is written without one.
    if (!passwd_blank_check(record.password)) return;
    if (password)
        std::memcpy(record.password, password, sizeof record.password);
    else
        std::memset(record.password, 0, sizeof record.password);
}

// 0, or the error of a record whose passphrase the device would not get whole.
int check_passphrase(const DeviceEntry& entry, const lib_env& record) {
    bool fits = passphrase_fits(record, encode_options_for(entry, record));
    return fits ? 0 : NEXOLT_ERR_PASSPHRASE_LENGTH;
}

// The payload of a settings write.
std::vector<uint8_t> write_payload(const DeviceEntry& entry, lib_env& record, bool merge) {
    std::vector<uint8_t> blocks = encode_record(record, encode_options_for(entry, record));
    if (merge && entry.decoded && !entry.raw_env.empty())
        blocks = merge_into_raw_env(entry.raw_env, blocks);
    if (device_is_ip6(entry, record)) append_random_identifier(blocks);
    return blocks;
}

// The device entry keeps what was sent. A payload beyond the limit (a merged block grown
// longer, say) is refused before anything is sent and leaves the entry as it was.
int send_settings(const DeviceCall& call, DeviceEntry& entry, std::vector<uint8_t> payload) {
    if (payload.size() > NEXOLT_MAX_PAYLOAD) return fail(call.error, NEXOLT_ERR_ARGUMENT);
    entry.raw_env = payload;
    return send_write(call, std::move(payload));
}

int write_record(const DeviceCall& call, const uint8_t* password, bool merge) {
    if (!call.record) return fail(call.error, NEXOLT_ERR_ARGUMENT);
    DeviceEntry* entry = find_device(call.list, call.record->mac);
    if (!entry) return fail(call.error, NEXOLT_ERR_NO_DEVICE);
    if (int code = validate_write(*call.record)) return fail(call.error, code);
    if (int code = check_passphrase(*entry, *call.record)) return fail(call.error, code);
    apply_password(*call.record, password);
    return send_settings(call, *entry, write_payload(*entry, *call.record, merge));
}

struct UserMacBlock {
    uint8_t factory[6];
    uint8_t pad1[2];
    uint8_t user[6];
    uint8_t pad2[2];
};
static_assert(sizeof(UserMacBlock) == 16);

// Block (1,1) rewritten in its place with the factory and the new MAC (appended when the
// device reported none), or removed when there is no new MAC.
std::vector<uint8_t> with_user_mac(const std::vector<uint8_t>& payload, const uint8_t* factory,
                                   const uint8_t* new_mac) {
    std::vector<uint8_t> block;
    if (new_mac) {
        UserMacBlock data{};
        std::memcpy(data.factory, factory, 6);
        std::memcpy(data.user, new_mac, 6);
        append_block(block, 1, 1, &data, sizeof data);
    }
    std::vector<uint8_t> out;
    bool placed = false;
    for (size_t at = 0; at + 4 <= payload.size();) {
        size_t length = size_t(payload[at + 2] | (payload[at + 3] << 8));
        if (length < 8 || at + length > payload.size()) break;
        bool user_mac = payload[at] == 1 && payload[at + 1] == 1;
        if (user_mac && !placed) out.insert(out.end(), block.begin(), block.end());
        if (!user_mac)
            out.insert(out.end(), payload.begin() + long(at), payload.begin() + long(at + length));
        placed = placed || user_mac;
        at += length;
    }
    if (!placed) out.insert(out.end(), block.begin(), block.end());
    return out;
}

} // namespace

} // namespace nexolt

using namespace nexolt;

extern "C" int Nexolt_Write(int list, lib_env* record, const uint8_t* password, int* error,
                            uint16_t port, uint32_t local, int maximum) {
    return write_record({list, record, error, port, local, maximum}, password, true);
}

extern "C" int Nexolt_Write2(int list, lib_env* record, const uint8_t* password, int* error,
                             uint16_t port, uint32_t local, int maximum) {
    return write_record({list, record, error, port, local, maximum}, password, false);
}

extern "C" int Nexolt_WriteBIN(int list, lib_env* record, const uint8_t* blocks, int length,
                               int* error, uint16_t port, uint32_t local, int maximum) {
    if (!record || !blocks || length <= 0 || length > NEXOLT_MAX_PAYLOAD)
        return fail(error, NEXOLT_ERR_ARGUMENT);
    return send_write({list, record, error, port, local, maximum},
                      std::vector<uint8_t>(blocks, blocks + length));
}

extern "C" int Nexolt_WriteUserDefinedMAC(int list, lib_env* record, const uint8_t* new_mac,
                                          const uint8_t* password, int* error, uint16_t port,
                                          uint32_t local, int maximum) {
    if (!record) return fail(error, NEXOLT_ERR_ARGUMENT);
    DeviceEntry* entry = find_device(list, record->mac);
    if (!entry) return fail(error, NEXOLT_ERR_NO_DEVICE);
    if (!device_allows_user_mac(*entry, *record)) return fail(error, NEXOLT_ERR_ARGUMENT);
    if (int code = check_passphrase(*entry, *record)) return fail(error, code);
    apply_password(*record, password);
    std::vector<uint8_t> payload =
        with_user_mac(write_payload(*entry, *record, true), record->mac, new_mac);
    return send_settings({list, record, error, port, local, maximum}, *entry, std::move(payload));
}
