#include "device_management_state.h"

#include "device_management_blocks.h"

#include "nexoltlib/src/bytes.h"
#include "nexoltlib/src/rc4.h"
#include "nexoltlib/src/record_codec.h"

#include <arpa/inet.h>

#include <cstring>

namespace tevronsim {

namespace {

constexpr std::size_t kHeader = sizeof(nexolt::FrameHeader);
constexpr std::uint8_t kStatusRefused = 5;

std::string member(const char* name, long value) {
    return std::string(",\"") + name + "\":" + std::to_string(value);
}

std::string text_member(const char* name, const std::string& value) {
    std::string out = std::string(",\"") + name + "\":\"";
    for (char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
    }
    return out + "\"";
}

std::uint64_t peer_key(const sockaddr_in& peer) {
    return (std::uint64_t(peer.sin_addr.s_addr) << 16) | peer.sin_port;
}

// The request as the log shows it: command, flags, sequence, fragment offset, sizes.
std::string describe(const nexolt::FrameHeader& h, std::size_t datagram) {
    return member("command", h.command) + member("flags", h.flags) + member("sequence", h.seq()) +
           member("fragment", h.fragment()) + member("datagram", long(datagram));
}

} // namespace

void ManagedDevice::ensure_blocks(const DeviceConfig& config, std::uint32_t own_address) {
    if (!blocks_.empty()) return;
    lib_env env = management_record(config, settings_, own_address);
    blocks_ = nexolt::encode_record(env, nexolt::EncodeOptions{});
}

bool ManagedDevice::for_me(const nexolt::FrameHeader& header) const {
    static const std::uint8_t kNobody[6] = {};
    bool searching = header.command == nexolt::kCmdSearch || header.command == nexolt::kCmdRead;
    if (searching && std::memcmp(header.mac, kNobody, 6) == 0) return true;
    return std::memcmp(header.mac, settings_.mac.data(), 6) == 0;
}

bool ManagedDevice::collect(Request& request, std::string& note) {
    const nexolt::FrameHeader& h = request.header;
    bool more = h.flags & nexolt::kFlagMoreFragments;
    if (!more && h.fragment() == 0) return true;
    auto key = std::make_pair(peer_key(*request.peer), h.seq());
    // Senders repeat each piece: one that ends where the collected bytes end, or the last
    // piece of a request already answered, is a repeat.
    auto open = fragments_.find(key);
    if (open != fragments_.end() && h.fragment() < open->second.size() &&
        h.fragment() + request.payload.size() == open->second.size()) {
        note = "fragment repeat";
        return false;
    }
    if (open == fragments_.end() && repeated(request)) {
        note = "repeat";
        return false;
    }
    Blocks& collected = fragments_[key];
    if (h.fragment() != collected.size()) {
        fragments_.erase(key);
        note = "fragment out of order";
        return false;
    }
    collected.insert(collected.end(), request.payload.begin(), request.payload.end());
    if (more) {
        note = "fragment";
        return false;
    }
    request.payload = std::move(collected);
    fragments_.erase(key);
    return true;
}

ManagementOutcome ManagedDevice::handle(const DeviceConfig& config,
                                        std::span<const std::uint8_t> datagram,
                                        std::uint32_t own_address, const sockaddr_in& peer) {
    ManagementOutcome out;
    if (datagram.size() < kHeader || !management_product_id(*config.model)) return out;
    Request request{nexolt::read_header(datagram.data()), {}, &peer};
    const nexolt::FrameHeader& h = request.header;
    if (!h.magic_ok() || h.version > nexolt::kVersion || (h.flags & nexolt::kFlagReply) ||
        !for_me(h))
        return out;
    out.addressed = true;
    out.log = text_member("device", name_) + describe(h, datagram.size());
    request.payload.assign(datagram.begin() + kHeader, datagram.end());
    std::string note;
    if (!collect(request, note)) {
        out.log += text_member("answer", "none") + text_member("reason", note);
        return out;
    }
    // A fragmented payload is enciphered whole; its CRC is that of the whole plaintext.
    if ((h.flags & nexolt::kFlagCipher) && !request.payload.empty())
        nexolt::crypt_payload(h.payload_crc(), request.payload.data(), request.payload.data(),
                              request.payload.size());
    if (!request.payload.empty() &&
        crc16(request.payload.data(), int(request.payload.size())) != h.payload_crc()) {
        out.log += text_member("answer", "none") + text_member("reason", "payload CRC");
        return out;
    }
    ensure_blocks(config, own_address);
    const Answer* earlier = repeated(request);
    Answer answer = earlier ? *earlier : dispatch(config, request);
    if (earlier)
        answer.note = "repeat";
    else
        remember(request, answer);
    out.replies = reply_datagrams(h, settings_, answer.status, answer.payload);
    out.log += member("payload", long(request.payload.size())) + member("status", answer.status);
    if (!answer.note.empty()) out.log += text_member("note", answer.note);
    return out;
}

ManagedDevice::Answer ManagedDevice::dispatch(const DeviceConfig& config, const Request& request) {
    switch (request.header.command) {
    case nexolt::kCmdSearch:
    case nexolt::kCmdRead:
        return {0, blocks_, ""};
    case nexolt::kCmdWrite:
        return write(request.payload);
    case nexolt::kCmdChangePassword:
        return change_password(request.payload);
    case nexolt::kCmdStatus:
        return status(config, request);
    case nexolt::kCmdCloseTcp:
        return close_session(request.payload);
    case nexolt::kCmdControl:
        return control(request.payload);
    case nexolt::kCmdWriteCrypto:
        return write_certificates(request.payload);
    case nexolt::kCmdReadCert:
        return read_certificate();
    default:
        return {kStatusRefused, {}, "command not supported"};
    }
}

const ManagedDevice::Answer* ManagedDevice::repeated(const Request& request) const {
    for (const auto& d : done_)
        if (d.peer == peer_key(*request.peer) && d.sequence == request.header.seq() &&
            d.command == request.header.command)
            return &d.answer;
    return nullptr;
}

void ManagedDevice::remember(const Request& request, const Answer& answer) {
    constexpr std::size_t kKept = 8;
    if (done_.size() == kKept) done_.erase(done_.begin());
    done_.push_back(
        {peer_key(*request.peer), request.header.seq(), request.header.command, answer});
}

bool ManagedDevice::password_ok(const Blocks& payload) const {
    if (settings_.password.empty()) return true;
    std::uint8_t field[10] = {};
    std::memcpy(field, settings_.password.data(),
                std::min<std::size_t>(10, settings_.password.size()));
    auto given = find_block_data(payload, 6, 0);
    return given && given->size() >= 10 && std::memcmp(given->data(), field, 10) == 0;
}

void ManagedDevice::show_password() {
    std::uint8_t marker[10];
    std::memset(marker, settings_.password.empty() ? 0 : '*', sizeof marker);
    put_block(blocks_, 6, 0, marker, sizeof marker);
}

} // namespace tevronsim
