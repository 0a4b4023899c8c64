#include "substitute_answers.h"

#include "kestrel/src/text.h"
#include "kestrel/src/wire.h"
#include "tkb11lib/src/wire.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

namespace tevronsim {

namespace {

// Device names are plain words (the device file checks them), so they need no escaping.
std::string log_members(const DeviceConfig& config, const char* library, int opcode, int sequence) {
    return ",\"device\":\"" + config.name + "\",\"library\":\"" + library +
           "\",\"opcode\":" + std::to_string(opcode) + ",\"sequence\":" + std::to_string(sequence) +
           ",\"answer\":\"response\"";
}

// The address the device reports as its own: its configured one, else where it was reached.
std::uint32_t reported_address(const ManagementSettings& settings, std::uint32_t own_address) {
    return settings.address ? settings.address : own_address;
}

// The IPv4 address of the endpoint's host, or fallback when it names none (a wildcard, a
// name or IPv6).
std::uint32_t endpoint_address(const Endpoint& endpoint, std::uint32_t fallback) {
    std::uint32_t address = 0;
    if (inet_pton(AF_INET, endpoint.host.c_str(), &address) != 1 || address == 0) return fallback;
    return address;
}

void copy_text(char* field, std::size_t size, const std::string& text) {
    std::memcpy(field, text.data(), std::min(size, text.size()));
}

std::string comment_of(const DeviceConfig& config, const ManagementSettings& settings) {
    return settings.comment.empty() ? config.name : settings.comment;
}

std::u16string widen(std::string_view text) {
    return kestrel::utf16_from_field(reinterpret_cast<const std::uint8_t*>(text.data()),
                                     text.size());
}

bool is_tkb11(const DeviceConfig& config) {
    return config.model->name == "TKB-11";
}

} // namespace

bool is_tkb11_frame(std::span<const std::uint8_t> datagram) {
    return datagram.size() >= 4 && std::memcmp(datagram.data(), tkb11::kMagic, 4) == 0;
}

tkb11_record tkb11_device_record(const DeviceConfig& config, const ManagementSettings& settings,
                                 std::uint32_t own_address) {
    tkb11_record r{};
    r.ip_address = reported_address(settings, own_address);
    std::copy(settings.mac.begin(), settings.mac.end(), r.mac);
    r.subnet_mask = settings.address ? settings.mask : htonl(0xFFFFFF00u);
    bool client = config.endpoint.role == Endpoint::Role::Client;
    r.mode = client ? 2 : 0;
    (client ? r.server_port : r.client_port) = config.endpoint.port;
    if (client) r.server_address = endpoint_address(config.endpoint, 0);
    r.unit_id = config.unit_id;
    r.input_address = config.input_base;
    r.output_address = config.output_base;
    copy_text(r.comment, sizeof r.comment, comment_of(config, settings));
    copy_text(r.input_name, sizeof r.input_name, port_name(config, true, 0));
    copy_text(r.output_name, sizeof r.output_name, port_name(config, false, 0));
    return r;
}

std::optional<SubstituteOutcome> tkb11_answer(const DeviceConfig& config,
                                              const ManagementSettings& settings,
                                              std::span<const std::uint8_t> datagram,
                                              std::uint32_t own_address) {
    if (!is_tkb11(config)) return std::nullopt;
    auto request = tkb11::decode_request(datagram.data(), datagram.size());
    if (!request || (!tkb11::is_zero(request->mac) && request->mac != settings.mac))
        return std::nullopt;
    tkb11_record record = tkb11_device_record(config, settings, own_address);
    return SubstituteOutcome{{tkb11::encode_answer(*request, 0, record)},
                             log_members(config, "tkb11", request->opcode, request->sequence)};
}

std::optional<SubstituteOutcome> kestrel_answer(const DeviceConfig& config,
                                                const ManagementSettings& settings,
                                                std::span<const std::uint8_t> datagram,
                                                std::uint32_t own_address) {
    if (!is_rlx(*config.model)) return std::nullopt;
    auto request = kestrel::decode_request(datagram.data(), datagram.size());
    if (!request) return std::nullopt;
    std::uint32_t address = reported_address(settings, own_address);
    std::u16string comment = widen(comment_of(config, settings));
    SubstituteOutcome out{{}, log_members(config, "kestrel", request->opcode, request->sequence)};
    if (request->opcode == kestrel::kOpSearch) {
        out.replies.push_back(kestrel::encode_search_answer(
            request->sequence, {settings.mac, address, widen(config.model->name), comment}));
        return out;
    }
    if (request->eui != settings.mac) return std::nullopt;
    bool client = config.endpoint.role == Endpoint::Role::Client;
    kestrel::SettingsAnswer answer{settings.mac,
                                   address,
                                   endpoint_address(config.endpoint, client ? 0 : address),
                                   config.endpoint.port,
                                   config.unit_id,
                                   std::uint8_t(client ? 1 : 0),
                                   comment};
    out.replies.push_back(kestrel::encode_settings_answer(request->sequence, answer));
    return out;
}

} // namespace tevronsim
