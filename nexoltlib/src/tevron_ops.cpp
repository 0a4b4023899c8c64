// The Tevron_ layer: devices named by their table entry, the library's default maximum.
#include "device_exchange.h"
#include "library_defaults.h"
#include "library_state.h"
#include "tevron_password.h"
#include "tevron_sessions.h"
#include "tevron_table.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <cstring>
#include <vector>

namespace nexolt {

int password_field(const char* text, uint8_t field[10]) {
    size_t n = text ? strnlen(text, 10) : 0;
    if (n != 0 && (n < 4 || n > 8)) return NEXOLT_ERR_PASSWORD_LENGTH;
    std::memset(field, 0, 10);
    if (n) std::memcpy(field, text, n);
    return 0;
}

namespace {

// A name or dotted address to an IPv4 address in network order; false when it does not
// resolve.
bool resolve(const char* host, uint32_t& address) {
    if (!host || !*host) return false;
    if (inet_pton(AF_INET, host, &address) == 1) return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return false;
    address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

struct Target {
    const tevron_info* info;
    lib_env record; // a copy of the cached record, so the cache changes only by intake
};

// Checks the passwords' lengths, then looks the device up: 0 or the error code.
int target_of(const void* device, std::initializer_list<const char*> passwords, Target& out) {
    uint8_t field[10];
    for (const char* p : passwords)
        if (int code = password_field(p, field)) return code;
    DeviceEntry* entry = tevron_device_entry(device);
    out.info = find_tevron(device);
    if (!entry || !out.info) return NEXOLT_ERR_NO_DEVICE;
    out.record = entry->env;
    return 0;
}

} // namespace

} // namespace nexolt

using namespace nexolt;

extern "C" int Tevron_Search(uint16_t port, int* error) {
    clear_device_list(1);
    std::vector<lib_env> scratch(static_cast<size_t>(default_maximum()));
    int count = 0;
    return Nexolt_Search(0, 0, scratch.data(), &count, error, port, 0, default_maximum());
}

extern "C" int Tevron_Read(int mode, const uint8_t* mac, const char* host, uint16_t port,
                           int* error) {
    uint32_t address = 0;
    if (mode == 1 && !resolve(host, address)) return fail(error, NEXOLT_ERR_ARGUMENT);
    // In unicast mode too the MAC goes into the request, so that only that device answers.
    lib_env scratch{};
    if (mac) std::memcpy(scratch.mac, mac, 6);
    return Nexolt_Read(mode, mac, address, &scratch, error, port, 0, default_maximum());
}

extern "C" int Tevron_Write(const void* device, const char* password, uint16_t port, int* error) {
    Target t;
    if (int code = target_of(device, {password}, t)) return fail(error, code);
    uint8_t field[10];
    password_field(password, field);
    return Nexolt_Write(t.info->list, &t.record, field, error, port, 0, default_maximum());
}

extern "C" int Tevron_ChangePassword(const void* device, const char* old_password,
                                     const char* new_password, uint16_t port, int* error) {
    Target t;
    if (int code = target_of(device, {old_password, new_password}, t)) return fail(error, code);
    uint8_t old_field[10], new_field[10];
    password_field(old_password, old_field);
    password_field(new_password, new_field);
    return Nexolt_ChangePwd(t.info->list, &t.record, old_field, new_field, error, port, 0,
                            default_maximum());
}

extern "C" int Tevron_Status(const void* device, uint16_t port, int* error) {
    Target t;
    if (int code = target_of(device, {}, t)) return fail(error, code);
    clear_session_buffers();
    keep_status_text("");
    SessionBuffers& b = session_buffers();
    std::vector<char> text(NEXOLT_MAX_PAYLOAD + 1, 0);
    int result = Nexolt_Status_ALL(t.info->list, &t.record, text.data(), NEXOLT_MAX_PAYLOAD, b.ip4,
                                   &b.count4, b.ip6, &b.count6, error, port, 0, default_maximum());
    keep_status_text(text.data());
    return result;
}

namespace {

int close_session(const void* device, int index, const char* password, int* error, bool ip6) {
    Target t;
    if (int code = target_of(device, {password}, t)) return fail(error, code);
    const SessionBuffers& b = session_buffers();
    int count = ip6 ? b.count6 : b.count4;
    if (index < 0 || index >= count) return fail(error, NEXOLT_ERR_ARGUMENT);
    uint8_t field[10];
    password_field(password, field);
    uint16_t port = uint16_t(t.info->port);
    int maximum = default_maximum();
    if (ip6)
        return Nexolt_CloseTCP6(t.info->list, &t.record, b.ip6 + size_t(index) * 48, field, error,
                                port, 0, maximum);
    return Nexolt_CloseTCP(t.info->list, &t.record, b.ip4 + size_t(index) * 24, field, error, port,
                           0, maximum);
}

} // namespace

extern "C" int Tevron_CloseTcpIp4(const void* device, int index, const char* password, int* error) {
    return close_session(device, index, password, error, false);
}

extern "C" int Tevron_CloseTcpIp6(const void* device, int index, const char* password, int* error) {
    return close_session(device, index, password, error, true);
}

extern "C" int Tevron_WriteUserDefinedMAC(const void* device, const uint8_t* new_mac,
                                          const char* password, uint16_t port, int* error) {
    Target t;
    if (int code = target_of(device, {password}, t)) return fail(error, code);
    uint8_t field[10];
    password_field(password, field);
    return Nexolt_WriteUserDefinedMAC(t.info->list, &t.record, new_mac, field, error, port, 0,
                                      default_maximum());
}
