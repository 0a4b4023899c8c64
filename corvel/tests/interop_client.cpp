// Drives the standard functions and Read Device Identification against an independent Modbus
// server (see pymodbus_server.py) and checks what Corvel decoded. Exit code 0: all good.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support.h"

using namespace corvel_test;

namespace {

constexpr int32_t KEY = 1;
int failures = 0;

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

// Sends one request and waits for the data notification it causes.
bool answered(Recorder& window, int32_t result, intptr_t code) {
    if (result != CORVEL_OK) return false;
    const size_t before = window.count(CORVEL_WM_DATA, code);
    return pump_until([&] { return window.count(CORVEL_WM_DATA, code) > before; });
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 64;
    Recorder window;
    const int port = std::atoi(argv[1]);
    // Input base 0, output base 16 (only the register reads use the output base here).
    if (add_device(&window, KEY, u"127.0.0.1", CORVEL_MODE_CLIENT, port, 1, 0, 0) != CORVEL_OK)
        return 10;
    int32_t error = 0;
    if (connect_device(KEY, &error) != CORVEL_OK) return 11;
    if (!pump_until([] { return get_tcp_connection_state(KEY) == TCP_ESTABLISHED; })) return 12;

    check(answered(window, read_coils(KEY, 8, &error, 0), MB_OUTPUTS), "read_coils answered");
    const int coils[8] = {1, 0, 1, 0, 0, 1, 0, 1};
    for (int port_number = 0; port_number < 8; ++port_number)
        check(get_received_port_value(KEY, 2, port_number) == coils[port_number], "coil bits");

    check(answered(window, read_discrete_inputs(KEY, 8, &error, 0), MB_INPUTS),
          "discrete inputs answered");
    check(get_received_port_value(KEY, 1, 0) == 1 && get_received_port_value(KEY, 1, 1) == 1 &&
              get_received_port_value(KEY, 1, 2) == 0,
          "discrete input bits");

    check(answered(window, holding_registers_read(KEY, 1, 1, &error, 0), MB_INPUTS),
          "holding type 1");
    check(get_received_port_value(KEY, 1, 2) == 1 && get_received_port_value(KEY, 1, 4) == 1,
          "inputs from register 0x1234");
    check(answered(window, holding_registers_read(KEY, 1, 3, &error, 0), MB_REGISTER),
          "holding type 3");
    check(get_received_port_value(KEY, 3, 0) == 0xBEEF, "single register");

    check(answered(window, input_registers_read(KEY, 4, &error), MB_INPUTS), "input registers");
    for (int i = 0; i < 4; ++i)
        check(get_received_input_register_value(KEY, i) == 10 + i, "input register values");

    check(answered(window, output_port_coil_onoff(KEY, 3, 0xFF, &error, 0), MB_COIL_DONE),
          "coil write");
    check(get_write_coil_response_port_number(KEY) == 3, "coil write port");

    check(answered(window, holding_registers_read(KEY, 1, 3, &error, 0), MB_REGISTER),
          "register again");
    check(get_modbus_error_code(KEY) == 0, "no exception");

    // A register outside the server's block: a real exception 0x83 / 02.
    update_device(KEY, u"127.0.0.1", CORVEL_MODE_CLIENT, port, 1, 5000, 0);
    check(update_device(KEY, u"127.0.0.1", CORVEL_MODE_CLIENT, port, 1, 5000, 0) ==
              CORVEL_SOCKET_ERROR,
          "update refused while established");
    disconnect_device(KEY);
    update_device(KEY, u"127.0.0.1", CORVEL_MODE_CLIENT, port, 1, 5000, 16);
    connect_device(KEY, &error);
    check(pump_until([] { return get_tcp_connection_state(KEY) == TCP_ESTABLISHED; }),
          "reconnected");
    check(answered(window, holding_registers_read(KEY, 1, 3, &error, 0), MB_REGISTER_EXCEPTION),
          "exception");
    check(get_modbus_error_code(KEY) == 2, "illegal data address");
    check(answered(window, holding_registers_read(KEY, 1, 2, &error, 0), MB_OUTPUTS),
          "holding type 2");
    check(get_received_port_value(KEY, 2, 4) == 1 && get_received_port_value(KEY, 2, 0) == 0,
          "outputs from register 0x00F0");

    // Read Device Identification, extended objects from 0x80: 0x83 and 0x85 come back.
    check(answered(window, rlx8xx_eit_request(KEY, 3, 0x80, &error, 0), MB_PULSE_FLAGS),
          "identification");
    check(get_rlx8xx_output_pulse(KEY, 0) == 1 && get_rlx8xx_output_pulse(KEY, 2) == 1 &&
              get_rlx8xx_output_pulse(KEY, 1) == 0,
          "pulse flags");
    check(pump_until([&] { return window.has(CORVEL_WM_DATA, MB_DI_CHANGE_DONE); }),
          "input-change enable acknowledged");

    delete_device(KEY);
    std::printf("%d failures\n", failures);
    return failures == 0 ? 0 : 1;
}
