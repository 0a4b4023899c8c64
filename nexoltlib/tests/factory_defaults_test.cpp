// Factory values of a record by product.
#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string ip(uint32_t address) {
    char text[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

TEST(FactoryDefaults, TwoInputOneOutputController) {
    lib_env env{};
    std::memset(env.comment, 'x', sizeof env.comment);
    env.mac[0] = 0x00, env.mac[5] = 0x42;
    ASSERT_EQ(init_lib_env(52, &env), 1);
    EXPECT_EQ(env.mac[5], 0x42) << "the identity survives";
    EXPECT_EQ(env.product_id, 52);
    EXPECT_EQ(env.io.input_count, 2);
    EXPECT_EQ(env.io.output_count, 1);
    EXPECT_EQ(env.io.settings.peer_port, 502);
    EXPECT_EQ(env.io.settings.slave_id, 1);
    EXPECT_EQ(env.io.settings.input_addr, 0);
    EXPECT_EQ(env.io.settings.output_addr, 8);
    EXPECT_EQ(env.io.settings.poll_interval, 1000u);
    EXPECT_EQ(env.io.settings.flags, uint32_t(NEXOLT_IO_MODBUS));
    EXPECT_STREQ(env.io.input_description[0], "DI0");
    EXPECT_STREQ(env.io.input_description[1], "DI1");
    EXPECT_STREQ(env.io.output_description[0], "DO0");
    EXPECT_STREQ(env.io.output_description[1], "");
    EXPECT_EQ(env.io.html_size_kb, 80);
    EXPECT_EQ(env.port_map[0], 80);
    EXPECT_EQ(ip(env.ip4_address), "10.1.0.1");
    EXPECT_EQ(ip(env.ip4_mask), "255.0.0.0");
    EXPECT_EQ(env.ip4_gateway, 0u);
    EXPECT_EQ(env.options, uint32_t(NEXOLT_OPT_RCFG | NEXOLT_OPT_TELNET | NEXOLT_OPT_HTTP));
    EXPECT_EQ(env.comment[0], 0);
    EXPECT_EQ(check_tcp_port(&env), 0);
    EXPECT_EQ(check_local_ip(env.ip4_address, env.ip4_mask), 1);
}

TEST(FactoryDefaults, ByProduct) {
    struct Case {
        int id;
        int inputs, outputs, html_kb, serial_ports;
        uint16_t first_local_port;
        uint32_t extra_options;
    } cases[] = {
        {104, 8, 8, 96, 0, 0, NEXOLT_OPT_HTTP},
        {34, 4, 4, 80, 0, 0, NEXOLT_OPT_HTTP},
        {17, 0, 0, 0, 1, 1470, 0},
        {58, 0, 0, 0, 16, 14701, 0},
        {48, 0, 0, 0, 1, 1470,
         NEXOLT_OPT_DHCP | NEXOLT_OPT_AUTO_NS | NEXOLT_OPT_SSL | NEXOLT_OPT_SECURE},
        {97, 0, 0, 0, 0, 0, NEXOLT_OPT_DHCP | NEXOLT_OPT_AUTO_NS},
    };
    for (const auto& c : cases) {
        lib_env env{};
        ASSERT_EQ(init_lib_env(c.id, &env), 1) << c.id;
        EXPECT_EQ(env.io.input_count, c.inputs) << c.id;
        EXPECT_EQ(env.io.output_count, c.outputs) << c.id;
        EXPECT_EQ(env.io.html_size_kb, c.html_kb) << c.id;
        EXPECT_EQ(env.options, NEXOLT_OPT_RCFG | NEXOLT_OPT_TELNET | c.extra_options) << c.id;
        int ports = 0;
        for (int n = 0; n < NEXOLT_MAX_UART; ++n) {
            const nexolt_uart_section& port = env.uart[n];
            if (!port.exists) continue;
            ++ports;
            EXPECT_EQ(port.dev.sio_baud, 19200u) << c.id;
            EXPECT_EQ(port.dev.word >> 4 & 0xFF, 3u) << "8N1, no flow control: " << c.id;
            EXPECT_EQ(port.var.local_port, c.first_local_port + n) << c.id;
            EXPECT_EQ(port.var.mux_type, NEXOLT_MUX_T2S) << c.id;
        }
        EXPECT_EQ(ports, c.serial_ports) << c.id;
        EXPECT_EQ(check_tcp_port(&env), 0) << c.id;
    }
}

TEST(FactoryDefaults, UnknownProductLeavesTheRecordAlone) {
    lib_env env{};
    env.product_id = 32;
    env.io.settings.slave_id = 17;
    lib_env copy = env;
    EXPECT_EQ(init_lib_env(5, &env), 0);
    EXPECT_EQ(init_lib_env(0, &env), 0);
    EXPECT_EQ(std::memcmp(&env, &copy, sizeof env), 0);
    EXPECT_EQ(init_lib_env(52, nullptr), 0);
}

} // namespace
