// Product names, macro syntax, listening-port, address and password checks.
#include "record_builders.h"

#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ProductName, KnownAndUnknownIds) {
    struct Case {
        int id;
        const char* name;
        int result;
    } cases[] = {{16, "TKA-31 / 21 / 35", 1}, {32, "TKA-31", 1},   {33, "TKA-21", 1},
                 {34, "TKA-35", 1},           {48, "PLM-40", 1},   {52, "TKA-33", 1},
                 {102, "TKA-35P", 1},         {103, "TKA-33P", 1}, {104, "TKA-31P", 1},
                 {0, "UNKNOWN", -1},          {15, "UNKNOWN", -1}, {105, "UNKNOWN", -1}};
    for (const auto& c : cases) {
        char text[32];
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(GetProductName(c.id, text), c.result) << c.id;
        EXPECT_STREQ(text, c.name);
        EXPECT_EQ(get_product_name(c.id, text), c.result);
        EXPECT_EQ(text[20], 'x') << "wrote past 20 bytes";
    }
}

TEST(MacroSyntax, SingleMacros) {
    struct Case {
        const char* macro;
        bool valid;
    } cases[] = {
        {"", true},           {"I0*(I1+/I2)", true}, {"i0 + i7", true},  {"/I3", true},
        {"(I0+I1)*I2", true}, {"((I0))", true},      {"/(I0*I1)", true}, {"I8", false},
        {"I0+", false},       {"(I0", false},        {"I0)", false},     {"0", false},
        {"I", false},         {"I0+I1*I2", true},    {"I0*/I1", true},   {"I0/I1", false},
        {"I0+-I1", false},    {"()", false},         {"*I0", false},     {"I0/", false},
        {"I0(I1)", false},    {"I0+()", false},
    };
    for (const auto& c : cases) {
        nexolt_io_area io{};
        std::memcpy(io.macro[0], c.macro, std::strlen(c.macro));
        EXPECT_EQ(check_script_syntax(&io) == 0, c.valid) << c.macro;
    }
}

TEST(MacroSyntax, ReportsFirstBadMacro) {
    nexolt_io_area io{};
    EXPECT_EQ(check_script_syntax(&io), 0);
    std::strcpy(io.macro[2], "I9");
    EXPECT_EQ(check_script_syntax(&io), 3);
    std::strcpy(io.macro[6], "I0+");
    EXPECT_EQ(check_script_syntax(&io), 3);
    // A full 32-byte macro without terminator is read within its field only.
    std::memset(io.macro[2], ' ', 32);
    EXPECT_EQ(check_script_syntax(&io), 7);
}

lib_env two_ports(uint8_t mode0, uint16_t port0, uint8_t mode1, uint16_t port1) {
    lib_env env = nexolt::test::serial_server(17, 17, 4);
    env.uart[0].var = {};
    env.uart[0].var.mux_type = mode0;
    env.uart[0].var.local_port = port0;
    env.uart[3].var = {};
    env.uart[3].var.mux_type = mode1;
    env.uart[3].var.local_port = port1;
    return env;
}

TEST(TcpPortCheck, SerialPortConflicts) {
    lib_env env = two_ports(NEXOLT_MUX_T2S, 1470, NEXOLT_MUX_T2S, 1470);
    EXPECT_EQ(check_tcp_port(&env), -2) << "ports 0 and 3 are not neighbours";
    env = two_ports(NEXOLT_MUX_T2S, 0, NEXOLT_MUX_T2S, 0);
    env.uart[1].var.local_port = 0;
    env.uart[2].var.local_port = 0;
    EXPECT_EQ(check_tcp_port(&env), 0) << "zero ports are not compared";
    env = two_ports(NEXOLT_MUX_COD, 1470, NEXOLT_MUX_T2S, 1470);
    EXPECT_EQ(check_tcp_port(&env), 0) << "client ports are not collected";
    env = two_ports(NEXOLT_MUX_COD, 23, NEXOLT_MUX_T2S, 2000);
    EXPECT_EQ(check_tcp_port(&env), 0);
    env = two_ports(NEXOLT_MUX_ATC, 23, NEXOLT_MUX_T2S, 2000);
    EXPECT_EQ(check_tcp_port(&env), -3);
    env.options &= ~NEXOLT_OPT_TELNET;
    EXPECT_EQ(check_tcp_port(&env), 0);
    env = two_ports(NEXOLT_MUX_U2S, 50005, NEXOLT_MUX_T2S, 2000);
    EXPECT_EQ(check_tcp_port(&env), -6);
    env = two_ports(NEXOLT_MUX_U2S, 50006, NEXOLT_MUX_T2S, 2000);
    EXPECT_EQ(check_tcp_port(&env), -7);
    env = two_ports(NEXOLT_MUX_T2S, 50005, NEXOLT_MUX_T2S, 2000);
    EXPECT_EQ(check_tcp_port(&env), 0);
}

TEST(TcpPortCheck, IoControllerServices) {
    lib_env env = nexolt::test::io_controller(32);
    env.uart[0].exists = 1;
    env.uart[0].var.local_port = 502;
    EXPECT_EQ(check_tcp_port(&env), 0) << "active controllers do not listen on 502";
    env.io.settings.flags &= ~NEXOLT_IO_ACTIVE;
    EXPECT_EQ(check_tcp_port(&env), -4);
    env.uart[0].var.local_port = 80;
    EXPECT_EQ(check_tcp_port(&env), -5);
    env.options &= ~NEXOLT_OPT_HTTP;
    EXPECT_EQ(check_tcp_port(&env), 0);
}

uint32_t ip(const char* text) {
    uint32_t a = 0;
    inet_pton(AF_INET, text, &a);
    return a;
}

TEST(LocalAddress, HostAddressRules) {
    struct Case {
        const char *address, *mask;
        int valid;
    } cases[] = {
        {"192.168.1.10", "255.255.255.0", 1}, {"192.168.1.255", "255.255.255.0", 0},
        {"192.168.1.0", "255.255.255.0", 0},  {"0.1.2.3", "0.0.0.0", 0},
        {"127.0.0.2", "255.0.0.0", 0},        {"224.0.0.1", "0.0.0.0", 0},
        {"10.1.0.1", "0.0.0.0", 1},           {"10.1.0.1", "255.0.0.0", 1},
        {"255.1.0.1", "255.0.0.0", 0},        {"223.255.255.254", "255.255.255.0", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(check_local_ip(ip(c.address), ip(c.mask)), c.valid) << c.address << "/" << c.mask;
}

TEST(Password, BlankCheck) {
    uint8_t password[10] = {};
    EXPECT_EQ(passwd_blank_check(password), 0);
    password[9] = 'x';
    EXPECT_NE(passwd_blank_check(password), 0);
}

} // namespace
