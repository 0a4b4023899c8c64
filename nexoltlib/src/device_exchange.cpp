#include "device_exchange.h"

#include "bytes.h"
#include "frame.h"
#include "reassembly.h"
#include "transport.h"

#include "nexoltlib/nexoltlib.h"

#include <cstring>

namespace nexolt {

namespace {

constexpr size_t kFragmentPayload = 1428;

// The models with these product codes take management traffic on socket B only.
bool via_socket_b(const lib_env& env) {
    return env.product_code == 54 || env.product_code == 57 || env.product_code == 58;
}

int send_request(Transport& transport, const DeviceRequest& request, const DeviceEntry& entry,
                 const std::vector<uint8_t>& frame) {
    bool via_b = via_socket_b(entry.env);
    bool capable = entry.capabilities & kCapFragments;
    if (!capable || request.fragmenting == Fragmenting::Never)
        return transport.send_to_device(frame, via_b);
    int sends = request.fragmenting == Fragmenting::WhenCapableEachTwice ? 2 : 1;
    return transport.send_fragments(split_fragments(frame), via_b, sends);
}

} // namespace

std::vector<std::vector<uint8_t>> split_fragments(const std::vector<uint8_t>& frame) {
    constexpr size_t header = sizeof(FrameHeader);
    std::vector<std::vector<uint8_t>> out;
    size_t payload = frame.size() - header;
    for (size_t at = 0; at < payload || out.empty(); at += kFragmentPayload) {
        size_t n = std::min(kFragmentPayload, payload - at);
        std::vector<uint8_t> datagram(frame.begin(), frame.begin() + header);
        datagram.insert(datagram.end(), frame.begin() + long(header + at),
                        frame.begin() + long(header + at + n));
        store_u16(datagram.data() + offsetof(FrameHeader, fragment_offset), uint16_t(at));
        if (at + n < payload) datagram[offsetof(FrameHeader, flags)] |= kFlagMoreFragments;
        out.push_back(std::move(datagram));
    }
    return out;
}

int status_error(uint8_t status) {
    switch (status) {
    case 0:
        return 0;
    case 1:
        return NEXOLT_ERR_REFUSED_1;
    case 2:
        return NEXOLT_ERR_PASSWORD;
    case 3:
        return NEXOLT_ERR_PRODUCT;
    case 4:
        return NEXOLT_ERR_REFUSED_4;
    case 5:
        return NEXOLT_ERR_REFUSED_5;
    default:
        return NEXOLT_ERR_UNKNOWN_REPLY;
    }
}

uint8_t device_flags(int list, const DeviceEntry& entry) {
    return uint8_t((list == 1 ? kFlagUnicast : 0) | (entry.cipher ? kFlagCipher : 0));
}

int exchange_with_device(const DeviceRequest& request, const DeviceEntry& entry, DeviceReply& reply,
                         int& error) {
    uint32_t address =
        request.record->device_address ? request.record->device_address : entry.env.device_address;
    TransportTarget target{request.list == 1 ? kUnicast : kBroadcast, address, request.port,
                           request.local};
    Transport transport;
    if ((error = transport.open_for_device(target, entry.interface_address))) return -1;
    reassembly_table().clear();

    IntakeContext context;
    context.target = address;
    context.max_results = size_t(request.maximum > 0 ? request.maximum : 1);
    auto frame = build_request(request.command, request.flags, request.record->mac, next_sequence(),
                               request.payload);
    context.request = read_header(frame.data());
    if ((error = send_request(transport, request, entry, frame))) return -1;

    const uint8_t* mac = request.record->mac;
    const ReplyResult* found = nullptr;
    auto finished = [&] {
        for (const auto& r : context.results)
            if (r.decoded && std::memcmp(r.header.mac, mac, 6) == 0) found = &r;
        return found != nullptr;
    };
    ReplySink sink = [&](const uint8_t* data, size_t length, sys::Endpoint source,
                         const InterfaceEntry& via) {
        take_reply(context, data, length, source, {via.address_text, via.index});
    };
    if ((error = transport.wait(request.wait_ms, request.wait_ms, sink, finished))) return -1;
    if (!found) {
        error = NEXOLT_ERR_NO_REPLY;
        return -1;
    }
    reply.result = *found;
    reply.extras = context.extras;
    return 1;
}

int device_operation(const DeviceCall& call, const Operation& operation, DeviceReply* reply) {
    if (!call.record) return fail(call.error, NEXOLT_ERR_ARGUMENT);
    DeviceEntry* entry = find_device(call.list, call.record->mac);
    if (!entry) return fail(call.error, NEXOLT_ERR_NO_DEVICE);
    DeviceRequest request;
    request.list = call.list;
    request.record = call.record;
    request.command = operation.command;
    request.flags =
        operation.flags >= 0 ? uint8_t(operation.flags) : device_flags(call.list, *entry);
    request.payload = operation.payload;
    request.fragmenting = operation.fragmenting;
    request.wait_ms = operation.wait_ms;
    request.port = call.port;
    request.local = call.local;
    request.maximum = call.maximum;
    DeviceReply local_reply;
    DeviceReply& answer = reply ? *reply : local_reply;
    int code = 0;
    if (exchange_with_device(request, *entry, answer, code) != 1) return fail(call.error, code);
    if (operation.copy_record) *call.record = answer.result.env;
    if (int mapped = status_error(answer.result.header.status)) return fail(call.error, mapped);
    return 1;
}

} // namespace nexolt
