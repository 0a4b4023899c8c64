#include "tevron_sessions.h"

#include "bytes.h"

#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>

#include <cstring>

namespace nexolt {

namespace {

SessionBuffers g_buffers{};

constexpr const char* kStates[] = {"CLOSED",      "LISTEN",    "SYN_SENT",  "SYN_RCVD",
                                   "ESTABLISHED", "FIN_WAIT1", "FIN_WAIT2", "CLOSE_WAIT",
                                   "CLOSING",     "LAST_ACK",  "TIME_WAIT", "END"};
constexpr uint8_t kListen = 1;

bool shows_peer(uint8_t state) {
    return state == 2 || state == 3 || state == 4 || state == 9;
}

std::string name_of(const uint8_t* entry) {
    const char* name = reinterpret_cast<const char*>(entry + 4);
    return std::string(name, strnlen(name, 12));
}

struct Endpoints {
    std::string peer; // address text, bracketed for IPv6
    unsigned local_port;
    unsigned peer_port;
};

bool format(const uint8_t* entry, const Endpoints& e, std::string& text) {
    uint8_t state = entry[0];
    if (state > 11) return false;
    text = "[" + name_of(entry) + "] " + kStates[state];
    if (state == kListen)
        text += ":" + std::to_string(e.local_port);
    else if (shows_peer(state))
        text += " " + e.peer + ":" + std::to_string(e.peer_port);
    return true;
}

} // namespace

void clear_session_buffers() {
    g_buffers = SessionBuffers{};
}

SessionBuffers& session_buffers() {
    return g_buffers;
}

bool format_session4(const uint8_t* entry, std::string& text) {
    char peer[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, entry + 16, peer, sizeof peer);
    return format(entry, {peer, load_u16(entry + 20), load_u16(entry + 22)}, text);
}

bool format_session6(const uint8_t* entry, std::string& text) {
    char peer[INET6_ADDRSTRLEN] = {};
    inet_ntop(AF_INET6, entry + 28, peer, sizeof peer);
    return format(
        entry, {"[" + std::string(peer) + "]", load_u16(entry + 44), load_u16(entry + 46)}, text);
}

} // namespace nexolt

using namespace nexolt;

namespace {

int session_text(int index, int count, const uint8_t* entries, size_t size,
                 bool (*formatter)(const uint8_t*, std::string&), char* text) {
    if (index < 0 || index >= count || !text) return -1;
    std::string out;
    bool shown = formatter(entries + size_t(index) * size, out);
    std::memcpy(text, out.c_str(), out.size() + 1);
    return shown ? 1 : 0;
}

} // namespace

extern "C" int get_tcpip4_session_count(void) {
    return g_buffers.count4;
}
extern "C" int get_tcpip6_session_count(void) {
    return g_buffers.count6;
}
// Text buffers take at least 128 bytes.
extern "C" int get_tcpip4_session_info(int index, char* text) {
    return session_text(index, g_buffers.count4, g_buffers.ip4, 24, format_session4, text);
}
extern "C" int get_tcpip6_session_info(int index, char* text) {
    return session_text(index, g_buffers.count6, g_buffers.ip6, 48, format_session6, text);
}
