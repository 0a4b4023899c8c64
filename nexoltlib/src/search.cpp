#include "search.h"

#include "device_lists.h"
#include "reassembly.h"
#include "transport.h"

namespace nexolt {

namespace {

ReplySink intake_into(IntakeContext& context) {
    return [&context](const uint8_t* data, size_t length, sys::Endpoint source,
                      const InterfaceEntry& via) {
        take_reply(context, data, length, source, {via.address_text, via.index});
    };
}

} // namespace

int search_devices(const SearchRequest& request, std::vector<ReplyResult>& results, int& error) {
    bool broadcast = request.mode == kBroadcast;
    Transport transport;
    error = transport.open({request.mode, request.address, request.port, request.local});
    if (error) return -1;
    reassembly_table().clear();
    if (!request.read) clear_device_list(broadcast ? 0 : 1);

    IntakeContext context;
    context.broadcast_search = broadcast && !request.read;
    context.target = request.address;
    context.max_results = request.maximum;
    uint8_t flags = broadcast ? uint8_t(kFlagCipher) : uint8_t(kFlagCipher | kFlagUnicast);
    uint8_t command = broadcast && !request.read ? kCmdSearch : kCmdRead;
    if (request.command) command = request.command;
    auto frame = build_request(command, flags, request.mac, next_sequence(), request.payload);
    context.request = read_header(frame.data());

    error = transport.send_search(frame, request.read && !broadcast);
    if (error) return -1;
    std::function<bool()> finished;
    if (request.finished) finished = [&] { return request.finished(context.results); };
    error = transport.wait(request.wait_ms, request.wait_ms, intake_into(context), finished);
    if (error) return -1;
    results = std::move(context.results);
    return 1;
}

} // namespace nexolt
