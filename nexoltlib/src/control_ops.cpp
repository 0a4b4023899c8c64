// Device control requests (command 9 with a tagged command block) and the PDB request.
#include "blocks.h"
#include "bytes.h"
#include "capabilities.h"
#include "device_exchange.h"
#include "frame.h"
#include "library_state.h"
#include "products.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace nexolt {

namespace {

constexpr uint32_t kApplyUart = 1025, kDad = 1026, kRdb = 263169, kReboot = 263233;

std::vector<uint8_t> command_block(uint32_t code, const char* tag,
                                   const std::vector<uint8_t>& body = {}) {
    std::vector<uint8_t> data(8);
    store_u32(data.data(), code);
    std::memcpy(data.data() + 4, tag, 4);
    data.insert(data.end(), body.begin(), body.end());
    std::vector<uint8_t> block;
    append_block(block, 50, 0, data.data(), data.size());
    return block;
}

void append(std::vector<uint8_t>& to, const std::vector<uint8_t>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

// The settings blocks of serial port n, as the apply request carries them.
std::vector<uint8_t> port_blocks(const lib_env& env, unsigned n, bool ip6) {
    const nexolt_uart_section& port = env.uart[n];
    std::vector<uint8_t> out;
    append_block(out, 20, uint8_t(n), &port.dev, sizeof port.dev);
    append_block(out, 44, uint8_t(n), &port.var, sizeof port.var);
    append_block(out, 45, uint8_t(n), port.separator, 6);
    append_block(out, 35, uint8_t(n), port.peer_host, sizeof port.peer_host);
    append_block(out, 7, uint8_t(17 + n), port.description, sizeof port.description);
    if (ip6) append_block(out, 4, uint8_t(16 + n), env.ip6_uart_peer[n], 16);
    return out;
}

int control(const DeviceCall& call, std::vector<uint8_t> payload, DeviceReply* reply = nullptr) {
    Operation op;
    op.command = kCmdControl;
    op.payload = std::move(payload);
    return device_operation(call, op, reply);
}

} // namespace

} // namespace nexolt

using namespace nexolt;

extern "C" int Nexolt_ApplyUART(int list, lib_env* record, const int* ports, int port_count,
                                int* error, uint16_t port, uint32_t local, int maximum) {
    if (!record || !ports || port_count <= 0) return fail(error, NEXOLT_ERR_ARGUMENT);
    DeviceEntry* entry = find_device(list, record->mac);
    if (!entry) return fail(error, NEXOLT_ERR_NO_DEVICE);
    int conflict = check_tcp_port(record);
    if (conflict <= -2) return fail(error, NEXOLT_ERR_PORT_TWICE + (conflict + 2));
    std::vector<uint8_t> payload;
    append_block(payload, 6, 0, record->password, sizeof record->password);
    bool ip6 = device_is_ip6(*entry, *record);
    for (int i = 0; i < port_count; ++i) {
        if (ports[i] < 0 || ports[i] >= NEXOLT_MAX_UART) return fail(error, NEXOLT_ERR_ARGUMENT);
        append(payload,
               command_block(kApplyUart, "$AUE", port_blocks(*record, unsigned(ports[i]), ip6)));
    }
    return control({list, record, error, port, local, maximum}, std::move(payload));
}

extern "C" int Nexolt_DAD(int list, lib_env* record, int* error, uint16_t port, uint32_t local,
                          int maximum) {
    DeviceReply reply;
    int result =
        control({list, record, error, port, local, maximum}, command_block(kDad, "$DAD"), &reply);
    if (result == 1) take_dad_results(reply.extras.control);
    return result;
}

extern "C" int Nexolt_RdbOnOff(int list, lib_env* record, int on, uint32_t value, int* error,
                               uint16_t port, uint32_t local, int maximum) {
    std::vector<uint8_t> body(4);
    store_u32(body.data(), on ? value : 0);
    return control({list, record, error, port, local, maximum}, command_block(kRdb, "$HIP", body));
}

extern "C" int Nexolt_ReBoot(int list, lib_env* record, int* error, uint16_t port, uint32_t local,
                             int maximum) {
    return control({list, record, error, port, local, maximum}, command_block(kReboot, "$WRL"));
}

extern "C" int Nexolt_PDB(int list, lib_env* record, const char* host, const char* data, int* error,
                          uint16_t port, uint32_t local, int maximum) {
    if (!record || !host || !data) return fail(error, NEXOLT_ERR_ARGUMENT);
    std::string text = "host " + std::string(host) + " " + data;
    if (text.size() > NEXOLT_MAX_PAYLOAD / 2) return fail(error, NEXOLT_ERR_ARGUMENT);
    Operation op;
    op.command = kCmdPdb;
    append_block(op.payload, 6, 0, record->password, sizeof record->password);
    append_block(op.payload, 52, 0, text.c_str(), text.size() + 1);
    return device_operation({list, record, error, port, local, maximum}, op);
}
