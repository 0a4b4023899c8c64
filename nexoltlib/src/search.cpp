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
    clear_device_list(broadcast ? 0 : 1);

    IntakeContext context;
    context.broadcast_search = broadcast;
    context.target = request.address;
    context.max_results = request.maximum;
    uint8_t flags = broadcast ? uint8_t(kFlagCipher) : uint8_t(kFlagCipher | kFlagUnicast);
    auto frame =
        build_request(broadcast ? kCmdSearch : kCmdRead, flags, nullptr, next_sequence(), {});
    context.request = read_header(frame.data());

    error = transport.send_search(frame, false);
    if (error) return -1;
    error = transport.wait(request.wait_ms, request.wait_ms, intake_into(context), nullptr);
    if (error) return -1;
    results = std::move(context.results);
    return 1;
}

} // namespace nexolt
