// What a simulated device does with a write, a change of password, a status request, the
// close of a session and the control commands.
#include "device_management_blocks.h"
#include "device_management_state.h"

#include "nexoltlib/src/bytes.h"

#include <arpa/inet.h>

#include <cstring>

namespace tevronsim {

namespace {

constexpr std::uint8_t kStatusRefused = 1, kStatusPassword = 2, kStatusProduct = 3,
                       kStatusNoSuchSession = 4, kStatusUnknown = 5;

// The settings an I/O controller keeps; any other block in a write is left out.
bool understood(std::uint8_t type, std::uint8_t index) {
    switch (type) {
    case 1:
        return index == 1;
    case 2:
    case 3:
    case 4:
    case 5:
    case 7:
    case 8:
    case 33:
    case 34:
    case 35:
    case 36:
    case 37:
    case 38:
    case 39:
    case 40:
    case 43:
    case 46:
    case 64:
        return true;
    default:
        return false;
    }
}

std::string text_of(const std::vector<std::uint8_t>& data) {
    return std::string(reinterpret_cast<const char*>(data.data()),
                       strnlen(reinterpret_cast<const char*>(data.data()), data.size()));
}

struct Session {
    std::uint8_t state;
    std::string name;
    std::uint32_t peer; // network order
    std::uint16_t local_port, peer_port;
};

std::array<std::uint8_t, 24> entry4(const Session& s) {
    std::array<std::uint8_t, 24> e{};
    e[0] = s.state;
    std::memcpy(e.data() + 4, s.name.data(), std::min<std::size_t>(11, s.name.size()));
    std::memcpy(e.data() + 16, &s.peer, 4);
    nexolt::store_u16(e.data() + 20, s.local_port);
    nexolt::store_u16(e.data() + 22, s.peer_port);
    return e;
}

// The IPv6 web server: one listening entry on the unspecified address.
std::array<std::uint8_t, 48> web6_entry() {
    std::array<std::uint8_t, 48> e{};
    e[0] = 1;
    std::memcpy(e.data() + 4, "http6", 5);
    nexolt::store_u16(e.data() + 44, 80);
    return e;
}

} // namespace

ManagedDevice::Answer ManagedDevice::write(const Blocks& payload) {
    if (!password_ok(payload)) return {kStatusPassword, blocks_, "password"};
    auto id = find_block_data(payload, 2, 1);
    auto own = find_block_data(blocks_, 2, 1);
    if (id && own && nexolt::load_u16(id->data()) != nexolt::load_u16(own->data()))
        return {kStatusProduct, blocks_, "product id"};
    int applied = 0, ignored = 0;
    bool whole = for_each_block(payload, [&](const nexolt::BlockView& b) {
        bool take = understood(b.type, b.index);
        if (take) put_block(blocks_, b.type, b.index, b.data, b.data_length);
        ++(take ? applied : ignored);
    });
    if (!whole) return {kStatusRefused, blocks_, "bad block"};
    return {0, blocks_,
            "applied " + std::to_string(applied) + ", ignored " + std::to_string(ignored)};
}

ManagedDevice::Answer ManagedDevice::change_password(const Blocks& payload) {
    if (!password_ok(payload)) return {kStatusPassword, blocks_, "password"};
    auto next = find_block_data(payload, 6, 1);
    if (!next || next->size() < 10) return {kStatusRefused, blocks_, "no new password"};
    std::string text = text_of(*next);
    if (!text.empty() && (text.size() < 4 || text.size() > 8))
        return {kStatusRefused, blocks_, "password length"};
    settings_.password = text;
    show_password();
    return {0, blocks_, text.empty() ? "password removed" : "password set"};
}

ManagedDevice::Answer ManagedDevice::status(const DeviceConfig& config, const Request& request) {
    std::vector<Session> sessions = {
        {1, "modbus", 0, config.endpoint.port, 0},
        {1, "http", 0, 80, 0},
        {4, "nexolt", request.peer->sin_addr.s_addr, 50005, ntohs(request.peer->sin_port)},
    };
    Blocks out;
    std::string text = name_ + ": running, " + std::to_string(reboots_) + " restarts";
    nexolt::append_block(out, 48, 0, text.c_str(), text.size() + 1);
    for (const auto& s : sessions) {
        if (closed_.count(s.name)) continue;
        auto e = entry4(s);
        nexolt::append_block(out, 49, 0, e.data(), e.size());
    }
    if (!closed_.count("http6")) {
        auto e = web6_entry();
        nexolt::append_block(out, 51, 0, e.data(), e.size());
    }
    return {0, out, ""};
}

ManagedDevice::Answer ManagedDevice::close_session(const Blocks& payload) {
    if (!password_ok(payload)) return {kStatusPassword, {}, "password"};
    auto entry = find_block_data(payload, 49, 0);
    if (!entry) entry = find_block_data(payload, 51, 0);
    if (!entry || entry->size() < 16) return {kStatusRefused, {}, "no session"};
    std::string name(reinterpret_cast<const char*>(entry->data() + 4),
                     strnlen(reinterpret_cast<const char*>(entry->data() + 4), 12));
    if (name.empty() || closed_.count(name)) return {kStatusNoSuchSession, {}, "no such session"};
    closed_.insert(name);
    return {0, {}, "closed " + name};
}

ManagedDevice::Answer ManagedDevice::control(const Blocks& payload) {
    auto command = find_block_data(payload, 50, 0);
    if (!command || command->size() < 8) return {kStatusUnknown, {}, "no command block"};
    std::string tag(reinterpret_cast<const char*>(command->data() + 4), 4);
    if (tag == "$WRL") {
        ++reboots_;
        closed_.clear();
        return {0, {}, "reboot"};
    }
    if (tag == "$DAD") {
        Blocks body(command->begin(), command->begin() + 8);
        for (std::uint8_t kind = 0; kind < 3; ++kind) {
            // No conflict found; the check ran a second (100 ticks of 10 ms) after start.
            std::uint8_t result[12] = {};
            nexolt::store_u32(result + 8, 100u * (kind + 1));
            nexolt::append_block(body, 60, kind, result, sizeof result);
        }
        Blocks out;
        nexolt::append_block(out, 50, 0, body.data(), body.size());
        return {0, out, "dad"};
    }
    if (tag == "$HIP") return {0, {}, "rdb"};
    if (tag == "$AUE")
        return password_ok(payload) ? Answer{0, {}, "apply uart"}
                                    : Answer{kStatusPassword, {}, "password"};
    return {kStatusUnknown, {}, "unknown control " + tag};
}

ManagedDevice::Answer ManagedDevice::write_certificates(const Blocks& payload) {
    auto certificate = find_block_data(payload, 11, 0);
    auto primes = find_block_data(payload, 11, 1);
    if (!certificate || certificate->empty() || !primes || primes->size() < 256)
        return {kStatusRefused, {}, "certificate items missing"};
    certificate_ = *certificate;
    return {0, {}, "certificate " + std::to_string(certificate_.size()) + " bytes"};
}

ManagedDevice::Answer ManagedDevice::read_certificate() const {
    Blocks out;
    nexolt::append_block(out, 11, 2, certificate_.data(), certificate_.size());
    return {0, out, certificate_.empty() ? "no certificate" : ""};
}

} // namespace tevronsim
