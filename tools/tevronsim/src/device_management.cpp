#include "device_management.h"

#include "nexoltlib/src/bytes.h"
#include "nexoltlib/src/rc4.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

namespace tevronsim {

namespace {

constexpr std::uint8_t kFirmwareMajor = 1, kFirmwareMinor = 4, kFirmwareRevision = 2;

void copy_text(char* field, std::size_t size, const std::string& text) {
    std::memcpy(field, text.data(), std::min(size, text.size()));
}

void fill_io(lib_env& env, const DeviceConfig& config) {
    nexolt_io_area& io = env.io;
    io.is_io = 1;
    io.input_count = std::uint8_t(config.model->inputs);
    io.output_count = std::uint8_t(config.model->outputs);
    io.html_size_kb = 0; // the library fills in the default size
    for (int n = 0; n < io.input_count; ++n)
        copy_text(io.input_description[n], 16, port_name(config, true, n));
    for (int n = 0; n < io.output_count; ++n)
        copy_text(io.output_description[n], 16, port_name(config, false, n));
    nexolt_io_settings& s = io.settings;
    bool active = config.endpoint.role == Endpoint::Role::Client;
    s.flags = NEXOLT_IO_MODBUS | (active ? unsigned(NEXOLT_IO_ACTIVE) : 0u);
    s.peer_port = config.endpoint.port;
    s.slave_id = config.unit_id;
    s.input_addr = config.input_base;
    s.output_addr = config.output_base;
    s.init_output = config.initial.outputs;
    s.poll_interval = 1000;
    if (active && inet_pton(AF_INET, config.endpoint.host.c_str(), &s.peer_ip) != 1) {
        s.peer_ip = 0;
        copy_text(io.modbus_peer_host, sizeof io.modbus_peer_host, config.endpoint.host);
    }
}

Datagram reply_header(const nexolt::FrameHeader& request, const ManagementSettings& settings,
                      std::uint16_t crc, std::size_t offset, bool more) {
    Datagram h(sizeof(nexolt::FrameHeader), 0);
    std::memcpy(h.data(), nexolt::kMagic, 4);
    h[4] = nexolt::kVersion;
    h[5] = std::uint8_t(nexolt::kFlagReply | (request.flags & nexolt::kFlagUnicast) |
                        (settings.encipher ? unsigned(nexolt::kFlagCipher) : 0u) |
                        (more ? unsigned(nexolt::kFlagMoreFragments) : 0u));
    h[6] = request.command;
    nexolt::store_u16(h.data() + 8, crc);
    std::memcpy(h.data() + 10, settings.mac.data(), 6);
    h[17] = kFirmwareMajor;
    h[18] = kFirmwareMinor;
    h[19] = kFirmwareRevision;
    std::memcpy(h.data() + 20, request.sequence, 2);
    nexolt::store_u16(h.data() + 22, std::uint16_t(offset));
    nexolt::store_u16(h.data() + 24, nexolt::kCapabilityMarker);
    nexolt::store_u16(h.data() + 26,
                      settings.fragment_size ? uint16_t(nexolt::kCapFragments) : uint16_t(0));
    return h;
}

} // namespace

std::uint16_t management_product_id(const ModelInfo& model) {
    static constexpr std::pair<std::string_view, std::uint16_t> kIds[] = {
        {"TKA-31", 32},   {"TKA-21", 33},   {"TKA-35", 34},  {"TKA-33", 52},
        {"TKA-35P", 102}, {"TKA-33P", 103}, {"TKA-31P", 104}};
    for (const auto& [name, id] : kIds)
        if (model.name == name) return id;
    return 0;
}

lib_env management_record(const DeviceConfig& config, const ManagementSettings& settings,
                          std::uint32_t own_address) {
    lib_env env{};
    std::memcpy(env.mac, settings.mac.data(), 6);
    env.product_id = management_product_id(*config.model);
    // The first two eight-port controllers share one product code; the others use their id.
    env.product_code = env.product_id == 32 || env.product_id == 33 ? 16 : env.product_id;
    env.ip4_address = settings.address ? settings.address : own_address;
    env.ip4_mask = settings.mask;
    if (!settings.address) inet_pton(AF_INET, "255.255.255.0", &env.ip4_mask);
    env.options = NEXOLT_OPT_RCFG | NEXOLT_OPT_TELNET | NEXOLT_OPT_HTTP;
    env.port_map[0] = 80;
    copy_text(env.comment, sizeof env.comment,
              settings.comment.empty() ? config.name : settings.comment);
    fill_io(env, config);
    // The device shows that it has a password, never the password itself.
    std::memset(env.password, settings.password.empty() ? 0 : '*', sizeof env.password);
    return env;
}

std::vector<Datagram> reply_datagrams(const nexolt::FrameHeader& request,
                                      const ManagementSettings& settings, std::uint8_t status,
                                      const std::vector<std::uint8_t>& plaintext) {
    Datagram payload = plaintext;
    std::uint16_t crc = payload.empty() ? 0 : crc16(payload.data(), int(payload.size()));
    if (settings.encipher && !payload.empty())
        nexolt::crypt_payload(crc, payload.data(), payload.data(), payload.size());

    std::size_t piece = settings.fragment_size ? settings.fragment_size : payload.size();
    std::vector<Datagram> out;
    for (std::size_t at = 0; at < payload.size() || out.empty(); at += piece) {
        std::size_t n = std::min(piece, payload.size() - at);
        Datagram d = reply_header(request, settings, crc, settings.fragment_size ? at : 0,
                                  at + n < payload.size());
        d[7] = status;
        d.insert(d.end(), payload.begin() + long(at), payload.begin() + long(at + n));
        out.push_back(std::move(d));
        if (piece == 0) break;
    }
    return out;
}

} // namespace tevronsim
