// Password change, device status with its TCP sessions, and closing one session.
#include "blocks.h"
#include "device_exchange.h"
#include "frame.h"

#include <algorithm>
#include <cstring>

namespace nexolt {

namespace {

constexpr int kPasswordWaitMs = 3000;
constexpr size_t kPasswordSize = 10;

void set_password(uint8_t* field, const uint8_t* password) {
    if (password)
        std::memcpy(field, password, kPasswordSize);
    else
        std::memset(field, 0, kPasswordSize);
}

void append_passwords(std::vector<uint8_t>& payload, const lib_env& record) {
    append_block(payload, 6, 0, record.password, kPasswordSize);
    append_block(payload, 6, 1, record.new_password, kPasswordSize);
}

struct StatusOut {
    char* text;
    int text_size;
    uint8_t* sessions4;
    int* count4;
    uint8_t* sessions6;
    int* count6;
};

template <size_t N>
void copy_sessions(const std::vector<std::array<uint8_t, N>>& from, uint8_t* to, int* count) {
    if (to) std::memset(to, 0, N * NEXOLT_MAX_SESSIONS);
    size_t n = std::min(from.size(), size_t(NEXOLT_MAX_SESSIONS));
    for (size_t i = 0; to && i < n; ++i)
        std::memcpy(to + i * N, from[i].data(), N);
    if (count) *count = int(n);
}

int status(const DeviceCall& call, const StatusOut& out) {
    Operation op;
    op.command = kCmdStatus;
    op.flags = call.list == 1 ? kFlagCipher | kFlagUnicast : kFlagCipher;
    DeviceReply reply;
    int result = device_operation(call, op, &reply);
    if (reply.result.header.command != kCmdStatus) return result; // no reply at all
    if (out.text && out.text_size > 0) {
        std::memset(out.text, 0, size_t(out.text_size));
        size_t n = std::min(
            {reply.extras.status_text.size(), size_t(out.text_size), size_t(NEXOLT_MAX_PAYLOAD)});
        std::memcpy(out.text, reply.extras.status_text.data(), n);
    }
    copy_sessions(reply.extras.sessions4, out.sessions4, out.count4);
    copy_sessions(reply.extras.sessions6, out.sessions6, out.count6);
    return result;
}

int close_session(const DeviceCall& call, uint8_t type, const uint8_t* session, size_t size,
                  const uint8_t* password) {
    if (!call.record || !session) return fail(call.error, NEXOLT_ERR_ARGUMENT);
    if (password) set_password(call.record->password, password);
    Operation op;
    op.command = kCmdCloseTcp;
    append_block(op.payload, type, 0, session, size);
    append_passwords(op.payload, *call.record);
    return device_operation(call, op);
}

} // namespace

} // namespace nexolt

using namespace nexolt;

extern "C" int Nexolt_ChangePwd(int list, lib_env* record, const uint8_t* old_password,
                                const uint8_t* new_password, int* error, uint16_t port,
                                uint32_t local, int maximum) {
    if (!record) return fail(error, NEXOLT_ERR_ARGUMENT);
    set_password(record->password, old_password);
    set_password(record->new_password, new_password);
    Operation op;
    op.command = kCmdChangePassword;
    op.wait_ms = kPasswordWaitMs;
    op.copy_record = true;
    append_passwords(op.payload, *record);
    return device_operation({list, record, error, port, local, maximum}, op);
}

extern "C" int Nexolt_Status(int list, lib_env* record, char* text, int text_size,
                             uint8_t* sessions, int* session_count, int* error, uint16_t port,
                             uint32_t local, int maximum) {
    return status({list, record, error, port, local, maximum},
                  {text, text_size, sessions, session_count, nullptr, nullptr});
}

extern "C" int Nexolt_Status_ALL(int list, lib_env* record, char* text, int text_size,
                                 uint8_t* sessions4, int* count4, uint8_t* sessions6, int* count6,
                                 int* error, uint16_t port, uint32_t local, int maximum) {
    return status({list, record, error, port, local, maximum},
                  {text, text_size, sessions4, count4, sessions6, count6});
}

extern "C" int Nexolt_CloseTCP(int list, lib_env* record, const uint8_t* session,
                               const uint8_t* password, int* error, uint16_t port, uint32_t local,
                               int maximum) {
    return close_session({list, record, error, port, local, maximum}, 49, session,
                         NEXOLT_SESSION4_SIZE, password);
}

extern "C" int Nexolt_CloseTCP6(int list, lib_env* record, const uint8_t* session,
                                const uint8_t* password, int* error, uint16_t port, uint32_t local,
                                int maximum) {
    return close_session({list, record, error, port, local, maximum}, 51, session,
                         NEXOLT_SESSION6_SIZE, password);
}
