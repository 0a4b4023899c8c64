#include "reply_intake.h"

#include "device_lists.h"
#include "rc4.h"
#include "reassembly.h"

#include <cstring>
#include <ctime>

namespace nexolt {

namespace {

bool acceptable(const IntakeContext& context, const FrameHeader& reply, sys::Endpoint source) {
    if (context.results.size() >= context.max_results) return false;
    if (!reply.magic_ok() || !(reply.flags & kFlagReply) || reply.version > kVersion) return false;
    if (context.broadcast_search && reply.command == kCmdSearch) return true;
    if (std::memcmp(reply.mac, context.request.mac, 6) == 0) return true;
    return (reply.flags & kFlagUnicast) && source.address == context.target;
}

bool is_fragment(const FrameHeader& reply) {
    return (reply.capabilities() & kCapFragments) &&
           ((reply.flags & kFlagMoreFragments) || reply.fragment() != 0);
}

ReplyResult* find_result(IntakeContext& context, const uint8_t* mac) {
    for (auto& result : context.results)
        if (std::memcmp(result.header.mac, mac, 6) == 0) return &result;
    return nullptr;
}

void record_device(const FrameHeader& reply, const std::vector<uint8_t>& payload, bool decoded,
                   const lib_env& env, sys::Endpoint source, const ReplyInterface& via) {
    DeviceEntry entry;
    std::memcpy(entry.mac, reply.mac, 6);
    entry.raw_env = payload;
    entry.decoded = decoded;
    entry.product_id = env.product_id;
    entry.unicast = reply.flags & kFlagUnicast;
    entry.source_port = source.port;
    entry.cipher = reply.flags & kFlagCipher;
    entry.capabilities = reply.capabilities();
    entry.interface_address = via.address_text;
    entry.interface_index = via.index;
    entry.env = env;
    std::memcpy(entry.header_tail, reinterpret_cast<const uint8_t*>(&reply) + 24, 8);
    entry.updated = std::time(nullptr);
    store_device(entry.unicast ? 1 : 0, entry);
}

} // namespace

const ReplyResult* first_decoded(const std::vector<ReplyResult>& results) {
    for (const auto& result : results)
        if (result.decoded) return &result;
    return nullptr;
}

void take_reply(IntakeContext& context, const uint8_t* datagram, size_t length,
                sys::Endpoint source, const ReplyInterface& via) {
    if (!datagram || length < sizeof(FrameHeader)) return;
    FrameHeader reply = read_header(datagram);
    if (!acceptable(context, reply, source)) return;

    std::vector<uint8_t> payload(datagram + sizeof reply, datagram + length);
    if (is_fragment(reply)) {
        const ReassemblySlot* slot = reassembly_table().add(reply, payload.data(), payload.size());
        if (!slot) return;
        payload = slot->payload;
    }
    if ((reply.flags & kFlagCipher) && !payload.empty())
        crypt_payload(reply.payload_crc(), payload.data(), payload.data(), payload.size());

    ReplyResult result;
    result.header = reply;
    DecodeExtras extras;
    bool decoded = decode_record(payload.data(), payload.size(), result.env, &extras);
    std::memcpy(result.env.mac, reply.mac, 6);
    result.env.device_address = source.address;
    if (decoded) {
        result.env.firmware_major = reply.fw_major;
        result.env.firmware_minor_rev = uint16_t(reply.fw_minor * 256 + reply.fw_revision);
        post_decode(result.env);
    }
    result.decoded = decoded;
    // A reply that did not decode gives way to a later complete one from the same device;
    // otherwise the first reply stands.
    ReplyResult* existing = find_result(context, reply.mac);
    if (existing && (existing->decoded || !decoded)) return;
    if (existing)
        *existing = result;
    else
        context.results.push_back(result);
    context.extras = std::move(extras);

    bool listed_command = reply.command == kCmdRead || reply.command == kCmdWrite ||
                          reply.command == kCmdChangePassword;
    if (!context.broadcast_search && !listed_command) return;
    record_device(reply, payload, decoded, result.env, source, via);
}

} // namespace nexolt
