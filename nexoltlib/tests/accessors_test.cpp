// Accessors on devices found in tevronsim's answers, and on a device nobody found.
#include "sim_fixture.h"

#include <cstring>
#include <string>

namespace {

using namespace nexolt::test;

using Accessors = SimFixture;

lib_env* cached(const uint8_t* mac) {
    return get_env_raw_lib_env_by_mac_addr(1, mac, nullptr);
}

TEST_F(Accessors, UnknownDeviceGivesMinusOneEverywhere) {
    const uint8_t nobody[6] = {0x02, 0, 0, 0, 0, 9};
    char text[128];
    uint8_t mac[6];
    const struct {
        const char* name;
        int result;
    } cases[] = {
        {"get_io_unit_id", get_io_unit_id(nobody)},
        {"set_io_unit_id", set_io_unit_id(nobody, 3)},
        {"get_uart_baudrate", get_uart_baudrate(nobody, 0)},
        {"set_uart_peer_address", set_uart_peer_address(nobody, 0, "10.0.0.1")},
        {"get_comment", get_comment(nobody, text)},
        {"set_ip4_local_address", set_ip4_local_address(nobody, "10.0.0.1")},
        {"get_ip6_local_address", get_ip6_local_address(nobody, text)},
        {"set_io_modbus_local_port", set_io_modbus_local_port(nobody, 503)},
        {"get_wlan_wep_key", get_wlan_wep_key(nobody, 0, mac)},
        {"is_io", is_io(nobody)},
        {"is_uart_rs485", is_uart_rs485(nobody, 0)},
        {"get_product_id", get_product_id(nobody)},
        {"use_dad", use_dad(1, nobody)},
        {"get_version", get_version(nobody, text)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.result, -1) << c.name;
}

TEST_F(Accessors, ReadTheFoundDevice) {
    char text[128];
    EXPECT_EQ(get_product_id(kHallMac), 32);
    EXPECT_EQ(get_io_unit_id(kHallMac), 1);
    EXPECT_EQ(get_io_modbus_local_port(kHallMac), hall_port);
    EXPECT_EQ(get_io_input_number(kGateMac), 2);
    EXPECT_EQ(get_io_output_number(kGateMac), 1);
    EXPECT_EQ(get_io_output_address(kHallMac), 8);
    ASSERT_EQ(get_ip4_local_address(kHallMac, text), 1);
    EXPECT_STREQ(text, "10.1.0.1");
    ASSERT_EQ(get_ip4_subnet_mask(kHallMac, text), 1);
    EXPECT_STREQ(text, "255.0.0.0");
    ASSERT_EQ(get_version(kHallMac, text), 1);
    EXPECT_STREQ(text, "1.4C");
    ASSERT_EQ(get_io_comment(kGateMac, 0, 1, text), 1);
    EXPECT_STREQ(text, "DI1");
    EXPECT_EQ(get_io_comment(kGateMac, 1, 1, text), -2) << "the gate has one output";
    EXPECT_EQ(get_telnet(kHallMac), 1);
    EXPECT_EQ(get_io_http(kHallMac), 1);
    EXPECT_EQ(get_uart_count(kHallMac), 0);
    ASSERT_EQ(get_bind_addr(kHallMac, text), 1);
    EXPECT_NE(text[0], '\0');
}

TEST_F(Accessors, CapabilityAnswers) {
    EXPECT_EQ(is_io(kHallMac), 1);
    EXPECT_EQ(is_password(kHallMac), 0);
    EXPECT_EQ(is_password(kYardMac), 1);
    EXPECT_EQ(is_ip6(kHallMac), 0);
    EXPECT_EQ(is_wlan(kHallMac), 0);
    EXPECT_EQ(is_uart_rs232(kHallMac, 0), 0) << "no serial port";
    EXPECT_EQ(use_dad(1, kHallMac), 0);
    EXPECT_EQ(use_dad(0, kHallMac), -1) << "found by unicast: list 1 only";
    EXPECT_EQ(wlan_wpa_pp_length(1, kHallMac), 32);
}

TEST_F(Accessors, SettersChangeOnlyTheirFieldAndRefuseWhatDoesNotFit) {
    lib_env before = *cached(kHallMac);
    EXPECT_EQ(set_io_unit_id(kHallMac, 9), 1);
    EXPECT_EQ(get_io_unit_id(kHallMac), 9);
    EXPECT_EQ(set_io_unit_id(kHallMac, 300), -2);
    EXPECT_EQ(set_dhcp(kHallMac, 2), -2);
    EXPECT_EQ(set_ip4_gateway_address(kHallMac, "not an address"), -2);
    EXPECT_EQ(get_io_unit_id(kHallMac), 9);
    lib_env after = *cached(kHallMac);
    after.io.settings.slave_id = before.io.settings.slave_id;
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << "nothing else changed";

    EXPECT_EQ(set_dhcp(kHallMac, 1), 1);
    EXPECT_EQ(cached(kHallMac)->options & NEXOLT_OPT_DHCP, uint32_t(NEXOLT_OPT_DHCP));
    EXPECT_EQ(set_comment(kHallMac, std::string(80, 'x').c_str()), 1);
    EXPECT_EQ(std::string(cached(kHallMac)->comment, 64), std::string(64, 'x'))
        << "cut to the field width";
    char text[64];
    get_comment(kHallMac, text);
    EXPECT_EQ(std::string(text), std::string(63, 'x')) << "the getter keeps to 64 bytes";
}

TEST_F(Accessors, ModbusLocalPortIsCheckedAgainstTheSerialPorts) {
    lib_env* env = cached(kHallMac);
    env->uart[0].exists = 1;
    env->uart[0].var.local_port = 1470;
    EXPECT_EQ(set_io_modbus_local_port(kHallMac, 1470), -4);
    EXPECT_EQ(get_io_modbus_local_port(kHallMac), hall_port) << "old port kept";
    EXPECT_EQ(set_io_modbus_local_port(kHallMac, 70000), 1);
    EXPECT_EQ(get_io_modbus_local_port(kHallMac), 65535) << "clamped";
    env->io.settings.flags |= NEXOLT_IO_ACTIVE;
    EXPECT_EQ(set_io_modbus_local_port(kHallMac, 1470), 1) << "an active controller listens not";
    env->io.is_io = 0;
    EXPECT_EQ(set_io_modbus_local_port(kHallMac, 502), -2);
}

TEST_F(Accessors, SerialPortSettings) {
    lib_env* env = cached(kHallMac);
    env->uart[1].exists = 1;
    env->uart[1].dev.word = 1 | (3u << 4); // RS232 and RS485, 8 data bits
    env->uart[1].dev.max_baud = 230400;
    char text[64];

    EXPECT_EQ(set_uart_peer_address(kHallMac, 1, "192.0.2.9"), 1);
    ASSERT_EQ(get_uart_peer_address(kHallMac, 1, text), 1);
    EXPECT_STREQ(text, "192.0.2.9");
    EXPECT_EQ(set_uart_peer_address(kHallMac, 1, "plant.example"), 1);
    EXPECT_EQ(env->uart[1].var.peer_ip, 0u);
    EXPECT_STREQ(env->uart[1].peer_host, "plant.example");
    EXPECT_EQ(set_uart_peer_address(kHallMac, 1, "255.255.255.255"), 1);
    EXPECT_EQ(env->uart[1].var.peer_ip, 0xFFFFFFFFu) << "a dotted address like any other";
    EXPECT_EQ(set_uart_peer_address(kHallMac, 2, "192.0.2.9"), -2) << "port 2 does not exist";

    EXPECT_EQ(set_uart_baudrate(kHallMac, 1, 115200), 1);
    EXPECT_EQ(get_uart_baudrate(kHallMac, 1), 115200);
    EXPECT_EQ(set_uart_baudrate(kHallMac, 1, 460800), -2) << "above the port's maximum";
    EXPECT_EQ(set_uart_serial_type(kHallMac, 1, 1), 1);
    EXPECT_EQ(set_uart_serial_type(kHallMac, 1, 2), -2) << "no RS422 on this port";
    EXPECT_EQ(set_uart_dtrdsr(kHallMac, 1, 1), -2) << "RS485-capable port has no modem lines";
    EXPECT_EQ(set_uart_databit(kHallMac, 1, 7), 1);
    EXPECT_EQ(get_uart_databit(kHallMac, 1), 7);
    EXPECT_EQ(set_uart_databit(kHallMac, 1, 9), -2);

    env->product_code = env->product_id = 48; // the PLM-40 keeps 7 or 8 data bits only
    env->plm[NEXOLT_PLM_SERIAL + 1] = 0;      // parity none
    EXPECT_EQ(set_uart_databit(kHallMac, 0, 7), -2) << "7 bits need a parity";
    EXPECT_EQ(set_uart_databit(kHallMac, 0, 8), 1);
    EXPECT_EQ(get_uart_databit(kHallMac, 0), 8) << "in the PLM-40 serial word";
    EXPECT_EQ(env->plm[NEXOLT_PLM_SERIAL] >> 4 & 3, 3);
    EXPECT_EQ(set_uart_parity(kHallMac, 0, 1), 1);
    EXPECT_EQ(set_uart_databit(kHallMac, 0, 7), 1) << "with even parity";
    EXPECT_EQ(set_uart_databit(kHallMac, 0, 6), -2);
    EXPECT_EQ(env->uart[0].dev.word, 0u) << "section 0 untouched";
}

TEST_F(Accessors, ChangedSettingIsWrittenByTevronWrite) {
    ASSERT_EQ(set_comment(kHallMac, "Set by accessor"), 1);
    ASSERT_EQ(set_io_poll_interval(kHallMac, 250), 1);
    int error = 0;
    ASSERT_EQ(Tevron_Write(kHallMac, "", port, &error), 1) << error;
    ASSERT_EQ(Tevron_Read(1, kHallMac, "127.0.0.1", port, &error), 1) << error;
    char text[80];
    get_comment(kHallMac, text);
    EXPECT_STREQ(text, "Set by accessor") << "read back from the device";
    EXPECT_EQ(get_io_poll_interval(kHallMac), 250);
}

// A device that is not an I/O controller takes none of the I/O settings; its record stays
// as it was, byte for byte.
TEST_F(Accessors, IoSettersRefuseADeviceThatIsNoIoController) {
    lib_env* env = cached(kHallMac);
    env->io.is_io = 0;
    const lib_env before = *env;
    const struct {
        const char* name;
        int (*set)();
    } setters[] = {
        {"set_io_modbus", [] { return set_io_modbus(kHallMac, 0); }},
        {"set_io_macro", [] { return set_io_macro(kHallMac, 1); }},
        {"set_io_tcp_type", [] { return set_io_tcp_type(kHallMac, 1); }},
        {"set_io_event_notification", [] { return set_io_event_notification(kHallMac, 1); }},
        {"set_io_multi_connection_number",
         [] { return set_io_multi_connection_number(kHallMac, 2); }},
        {"set_io_unit_id", [] { return set_io_unit_id(kHallMac, 7); }},
        {"set_io_input_address", [] { return set_io_input_address(kHallMac, 40); }},
        {"set_io_output_address", [] { return set_io_output_address(kHallMac, 80); }},
        {"set_io_modbus_peer_port", [] { return set_io_modbus_peer_port(kHallMac, 503); }},
        {"set_io_poll_interval", [] { return set_io_poll_interval(kHallMac, 300); }},
        {"set_io_http", [] { return set_io_http(kHallMac, 0); }},
        {"set_io_http_port", [] { return set_io_http_port(kHallMac, 8080); }},
        {"set_io_html_size", [] { return set_io_html_size(kHallMac, 64); }},
        {"set_io_input_valid_time", [] { return set_io_input_valid_time(kHallMac, 0, 5); }},
        {"set_io_output_delay", [] { return set_io_output_delay(kHallMac, 0, 5); }},
        {"set_io_output_initial_state", [] { return set_io_output_initial_state(kHallMac, 0, 1); }},
        {"set_io_macro_type", [] { return set_io_macro_type(kHallMac, 0, 1); }},
        {"set_io_macro_text", [] { return set_io_macro_text(kHallMac, 0, "DO0=DI0"); }},
        {"set_io_comment", [] { return set_io_comment(kHallMac, 0, 0, "Door"); }},
        {"set_io_modbus_local_port", [] { return set_io_modbus_local_port(kHallMac, 503); }},
        {"set_io_modbus_peer_address",
         [] { return set_io_modbus_peer_address(kHallMac, "192.0.2.4"); }},
    };
    for (const auto& s : setters)
        EXPECT_EQ(s.set(), -2) << s.name;
    EXPECT_EQ(std::memcmp(env, &before, sizeof before), 0);
}

// Counts beyond the record's eight ports are taken as eight: no accessor reaches past them.
TEST_F(Accessors, IoPortCountsAboveEightAreClamped) {
    lib_env* env = cached(kHallMac);
    env->io.input_count = 200;
    env->io.output_count = 9;
    EXPECT_EQ(get_io_input_number(kHallMac), 8);
    EXPECT_EQ(get_io_output_number(kHallMac), 8);
    EXPECT_EQ(set_io_input_valid_time(kHallMac, 7, 25), 1);
    EXPECT_EQ(env->io.settings.input_valid_time[7], 25);
    const lib_env before = *env;
    EXPECT_EQ(set_io_input_valid_time(kHallMac, 8, 25), -2);
    EXPECT_EQ(set_io_output_delay(kHallMac, 8, 25), -2);
    EXPECT_EQ(set_io_comment(kHallMac, 1, 8, "past"), -2);
    EXPECT_EQ(set_io_macro_text(kHallMac, 8, "past"), -2);
    EXPECT_EQ(std::memcmp(env, &before, sizeof before), 0);
}

} // namespace
