/* NexoltLib settings accessors: single settings of a found device, read from and written to
 * the library's cached copy of its record (a later Tevron_Write sends it). Included by
 * nexoltlib.h.
 *
 * A device is a record or table entry whose first 6 bytes are its MAC; it is looked up in
 * the Tevron_ device table. Every accessor returns -1 for a device that is not there;
 * setters return 1, or -2 when the device cannot take the value (the record is then
 * unchanged). Getters of numbers return the value. Text getters write at most the field
 * width, the terminator included (buffers of the field width; 46 bytes for addresses), so
 * a text that fills its whole field comes back without its last character; text setters
 * copy at most the field width. The use_ accessors name a device list instead of the
 * table. set_wlan_wpa_passphrase refuses (-2) a text longer than the device takes
 * (get_wlan_max_wpa_passphrase_length). */
#ifndef NEXOLTLIB_ACCESSORS_H
#define NEXOLTLIB_ACCESSORS_H

#include <stdint.h>

#include "nexoltlib/nexoltlib.h"

#ifdef __cplusplus
extern "C" {
#endif

#define NEXOLT_GET_SET(name)                                                                       \
    NEXOLT_API int get_##name(const void* device);                                                 \
    NEXOLT_API int set_##name(const void* device, int value);
#define NEXOLT_GET_SET_PORT(name)                                                                  \
    NEXOLT_API int get_##name(const void* device, int n);                                          \
    NEXOLT_API int set_##name(const void* device, int n, int value);
#define NEXOLT_GET_SET_TEXT(name)                                                                  \
    NEXOLT_API int get_##name(const void* device, char* text);                                     \
    NEXOLT_API int set_##name(const void* device, const char* text);
#define NEXOLT_IS(name) NEXOLT_API int is_##name(const void* device);
#define NEXOLT_IS_PORT(name) NEXOLT_API int is_##name(const void* device, int n);
#define NEXOLT_USE(name) NEXOLT_API int name(int list, const void* device);

/* ---- Network: IPv4, option word, address-change notification, IPv6, access restriction,
 * services, e-mail notification. Addresses are texts (dotted or IPv6). */

NEXOLT_GET_SET_TEXT(ip4_local_address)
NEXOLT_GET_SET_TEXT(ip4_subnet_mask)
NEXOLT_GET_SET_TEXT(ip4_gateway_address)
NEXOLT_GET_SET_TEXT(ip4_dns_address)
NEXOLT_GET_SET(dhcp)
NEXOLT_GET_SET(dhcp_dns)
NEXOLT_GET_SET(arp)
NEXOLT_GET_SET(pppoe)
NEXOLT_GET_SET_TEXT(pppoe_id)
NEXOLT_GET_SET_TEXT(pppoe_pwd)
NEXOLT_GET_SET(ip4_change_notification_type)
NEXOLT_GET_SET(ip4_change_notification_data_type)
NEXOLT_GET_SET_TEXT(ip4_change_notification_peer_address)
NEXOLT_GET_SET(ip4_change_notification_peer_port)
NEXOLT_GET_SET(ip4_change_notification_interval)
NEXOLT_GET_SET_TEXT(ip4_change_notification_ddns_id)
NEXOLT_GET_SET_TEXT(ip4_change_notification_ddns_pwd)
NEXOLT_GET_SET_TEXT(ip4_change_notification_ddns_host)
NEXOLT_GET_SET(send_mac_address)
NEXOLT_GET_SET(ip6)
NEXOLT_GET_SET(ip6_eui_type)
NEXOLT_GET_SET(ip6_gua_type)
NEXOLT_GET_SET_TEXT(ip6_local_address)
NEXOLT_GET_SET(ip6_subnet_prefix_length)
NEXOLT_GET_SET_TEXT(ip6_gateway_address)
NEXOLT_GET_SET_TEXT(ip6_dns_address)
NEXOLT_GET_SET_TEXT(ip6_modbus_peer_address)
NEXOLT_GET_SET(allowed_nexolt)
NEXOLT_GET_SET_TEXT(allowed_ip4_address)
NEXOLT_GET_SET_TEXT(allowed_ip4_network_mask_type)
NEXOLT_GET_SET_TEXT(allowed_ip6_address)
NEXOLT_GET_SET(allowed_ip6_subnet_prefix_length)
NEXOLT_GET_SET(telnet)
NEXOLT_GET_SET(ssl)
NEXOLT_GET_SET(ssh)
NEXOLT_GET_SET(remote_debug)
NEXOLT_GET_SET(power_management)
NEXOLT_GET_SET(tcp_multi_connection)
NEXOLT_GET_SET_TEXT(comment)
NEXOLT_GET_SET(tune_kto)
NEXOLT_GET_SET(tune_dto)
NEXOLT_GET_SET(tune_rto)
NEXOLT_GET_SET(tune_nto)
NEXOLT_GET_SET(tune_fto)
NEXOLT_GET_SET(event_notification_protocol)
NEXOLT_GET_SET(event_notification_type)
NEXOLT_GET_SET(event_notification_auth)
NEXOLT_GET_SET_TEXT(event_notification_peer_address)
NEXOLT_GET_SET(event_notification_interval)
NEXOLT_GET_SET(event_notification_peer_port)
NEXOLT_GET_SET_TEXT(event_notification_email)
NEXOLT_API int get_allowed_ip_enabled(const void* device);
NEXOLT_API int set_allowed_ip_enabled(const void* device, int on);
NEXOLT_API int get_allowed_mac_enabled(const void* device);
NEXOLT_API int set_allowed_mac_enabled(const void* device, int on);
NEXOLT_API int get_allowed_mac_address(const void* device, uint8_t* mac);
NEXOLT_API int set_allowed_mac_address(const void* device, const uint8_t* mac);
NEXOLT_API int get_user_defined_mac_address(const void* device, uint8_t* mac);
NEXOLT_API int set_user_defined_mac_address(const void* device, const uint8_t* mac);

/* ---- Serial port n (0 to 47). Data bits are counted (5 to 8); stop bits 0 one, 1 one and a
 * half, 2 two; parity 0 none, 1 even, 2 odd, 3 mark/space; flow 0 none, 1 RTS/CTS,
 * 2 Xon/Xoff; communication mode 0 T2S, 1 ATC, 2 COD, 3 U2S, 4 MODBUS. */

NEXOLT_GET_SET_PORT(uart_parity)
NEXOLT_GET_SET_PORT(uart_ttl)
NEXOLT_GET_SET_PORT(uart_tx_delay)
NEXOLT_GET_SET_PORT(uart_rfc2217)
NEXOLT_GET_SET_PORT(uart_max_baudrate)
NEXOLT_GET_SET_PORT(uart_local_port)
NEXOLT_GET_SET_PORT(uart_peer_port)
NEXOLT_GET_SET_PORT(uart_communication_mode)
NEXOLT_GET_SET_PORT(uart_tcp_nodelay)
NEXOLT_GET_SET_PORT(uart_cod_tcp_server)
NEXOLT_GET_SET_PORT(uart_ssl)
NEXOLT_GET_SET_PORT(uart_watermark)
NEXOLT_GET_SET_PORT(uart_data_frame_interval)
NEXOLT_GET_SET_PORT(uart_timeout)
NEXOLT_GET_SET_PORT(uart_separator_length)
NEXOLT_GET_SET_PORT(uart_protocol)
NEXOLT_GET_SET_PORT(uart_separator_type)
NEXOLT_API int get_uart_databit(const void* device, int n);
NEXOLT_API int set_uart_databit(const void* device, int n, int bits);
NEXOLT_API int get_uart_stopbit(const void* device, int n);
NEXOLT_API int set_uart_stopbit(const void* device, int n, int code);
NEXOLT_API int get_uart_flow_control(const void* device, int n);
NEXOLT_API int set_uart_flow_control(const void* device, int n, int code);
NEXOLT_API int get_uart_dtrdsr(const void* device, int n);
NEXOLT_API int set_uart_dtrdsr(const void* device, int n, int on);
NEXOLT_API int get_uart_serial_type(const void* device, int n);
NEXOLT_API int set_uart_serial_type(const void* device, int n, int type);
NEXOLT_API int get_uart_baudrate(const void* device, int n);
NEXOLT_API int set_uart_baudrate(const void* device, int n, int baud);
NEXOLT_API int get_uart_min_baudrate(const void* device, int n);
NEXOLT_API int get_uart_count(const void* device);
NEXOLT_API int get_uart_separator(const void* device, int n, uint8_t* separator);
NEXOLT_API int set_uart_separator(const void* device, int n, const uint8_t* separator);
NEXOLT_API int get_uart_peer_address(const void* device, int n, char* text);
NEXOLT_API int set_uart_peer_address(const void* device, int n, const char* text);

/* ---- I/O controllers. Per-port accessors take the input or output number n from 0. */

NEXOLT_GET_SET(io_modbus)
NEXOLT_GET_SET(io_macro)
NEXOLT_GET_SET(io_master_control_type)
NEXOLT_GET_SET(io_tcp_type)
NEXOLT_GET_SET(io_event_notification)
NEXOLT_GET_SET(io_multi_connection_number)
NEXOLT_GET_SET(io_port_macro)
NEXOLT_GET_SET(io_modbus_type)
NEXOLT_GET_SET(io_slave_control_type)
NEXOLT_GET_SET(io_output_automatic_initialize)
NEXOLT_GET_SET(io_input_notification)
NEXOLT_GET_SET(io_modbus_peer_port)
NEXOLT_GET_SET(io_unit_id)
NEXOLT_GET_SET(io_input_address)
NEXOLT_GET_SET(io_output_address)
NEXOLT_GET_SET(io_poll_interval)
NEXOLT_GET_SET(io_http)
NEXOLT_GET_SET(io_http_port)
NEXOLT_GET_SET(io_html_size)
NEXOLT_API int get_io_input_number(const void* device);
NEXOLT_API int get_io_output_number(const void* device);
NEXOLT_API int get_io_input_valid_time(const void* device, int n);
NEXOLT_API int set_io_input_valid_time(const void* device, int n, int ms);
NEXOLT_API int get_io_output_delay(const void* device, int n);
NEXOLT_API int set_io_output_delay(const void* device, int n, int ms);
NEXOLT_API int get_io_output_initial_state(const void* device, int n);
NEXOLT_API int set_io_output_initial_state(const void* device, int n, int on);
NEXOLT_API int get_io_macro_type(const void* device, int n);
NEXOLT_API int set_io_macro_type(const void* device, int n, int on);
NEXOLT_API int get_io_macro_text(const void* device, int n, char* text);
NEXOLT_API int set_io_macro_text(const void* device, int n, const char* text);
NEXOLT_API int get_io_comment(const void* device, int output, int n, char* text);
NEXOLT_API int set_io_comment(const void* device, int output, int n, const char* text);
NEXOLT_API int get_io_modbus_local_port(const void* device);
NEXOLT_API int set_io_modbus_local_port(const void* device, int port);
NEXOLT_API int get_io_modbus_peer_address(const void* device, char* text);
NEXOLT_API int set_io_modbus_peer_address(const void* device, const char* text);

/* ---- Wireless (block 9). */

NEXOLT_GET_SET(wlan)
NEXOLT_GET_SET(wlan_type)
NEXOLT_GET_SET(wlan_encryption_type)
NEXOLT_GET_SET(wlan_authentication_type)
NEXOLT_GET_SET(wlan_wep_key_index)
NEXOLT_GET_SET(wlan_wep_key_length)
NEXOLT_GET_SET(wlan_channel)
NEXOLT_GET_SET(wlan_antenna)
NEXOLT_GET_SET(wlan_phy_mode)
NEXOLT_GET_SET(wlan_background_scan)
NEXOLT_GET_SET(wlan_short_preamble)
NEXOLT_GET_SET(wlan_short_slot)
NEXOLT_GET_SET(wlan_cts_protection)
NEXOLT_GET_SET(wlan_wpa_enterprise)
NEXOLT_GET_SET(wlan_wep_key_data_type)
NEXOLT_GET_SET_TEXT(wlan_ssid)
NEXOLT_GET_SET_TEXT(wlan_wpa_passphrase)
NEXOLT_GET_SET_TEXT(wlan_wpa_enterprise_id)
NEXOLT_GET_SET_TEXT(wlan_wpa_enterprise_pwd)
NEXOLT_API int get_wlan_wep_key(const void* device, int index, uint8_t* key);
NEXOLT_API int set_wlan_wep_key(const void* device, int index, const uint8_t* key);
NEXOLT_API int get_wlan_shared_key(const void* device, uint8_t* key);
NEXOLT_API int get_wlan_max_wpa_passphrase_length(const void* device);
NEXOLT_API int get_wlan_channel_string(const void* device, char* text);

/* ---- PLM-40 and RTU. */

NEXOLT_GET_SET_TEXT(plm40_id)
NEXOLT_GET_SET(plm40_communication_mode)
NEXOLT_GET_SET_TEXT(plm40_first_server_address)
NEXOLT_GET_SET_TEXT(plm40_second_server_address)
NEXOLT_GET_SET(plm40_first_server_port)
NEXOLT_GET_SET(plm40_second_server_port)
NEXOLT_GET_SET(plm40_server_timeout)
NEXOLT_GET_SET(plm40_server_threshold)
NEXOLT_GET_SET(plm40_network_timeout)
NEXOLT_GET_SET(plm40_network_threshold)
NEXOLT_GET_SET(plm40_check_port)
NEXOLT_GET_SET_TEXT(plm40_first_server_host)
NEXOLT_GET_SET_TEXT(plm40_second_server_host)
NEXOLT_GET_SET_TEXT(rtu_id)
NEXOLT_GET_SET(rtu_protocol)
NEXOLT_GET_SET(rtu_communication_mode)
NEXOLT_GET_SET_TEXT(rtu_first_server_address)
NEXOLT_GET_SET_TEXT(rtu_second_server_address)
NEXOLT_GET_SET(rtu_first_server_port)
NEXOLT_GET_SET(rtu_second_server_port)
NEXOLT_GET_SET(rtu_first_check_port)
NEXOLT_GET_SET(rtu_second_check_port)
NEXOLT_GET_SET(rtu_server_timeout)
NEXOLT_GET_SET(rtu_server_threshold)
NEXOLT_GET_SET(rtu_tcp_nodelay)

/* ---- Device facts. get_version writes "1.4C" (16 bytes); get_bind_addr the address text of
 * the interface the device answered through (16 bytes) and returns 0 for an unknown device. */
NEXOLT_API int get_product_id(const void* device);
NEXOLT_API int get_firmware_major(const void* device);
NEXOLT_API int get_firmware_minor(const void* device);
NEXOLT_API int get_firmware_revision(const void* device);
NEXOLT_API int get_version(const void* device, char* text);
NEXOLT_API int get_bind_addr(const void* device, char* text);

/* ---- Capabilities: 1 yes, 0 no, -1 unknown device. */
NEXOLT_IS(io)
NEXOLT_IS(ip6)
NEXOLT_IS(password)
NEXOLT_IS(ssl)
NEXOLT_IS(ssh)
NEXOLT_IS(tune)
NEXOLT_IS(rtu)
NEXOLT_IS(plm40)
NEXOLT_IS(wlan)
NEXOLT_IS(wlan_rsn)
NEXOLT_IS(wlan_wpa_enterprise)
NEXOLT_IS(wlan_wpa_pp64_only)
NEXOLT_IS(uart_7_and_8_databit_only)
NEXOLT_IS(uart_8_databit_only)
NEXOLT_IS(uart_one5_stopbit)
NEXOLT_IS(uart_xonxoff)
NEXOLT_IS(uart_protocol)
NEXOLT_IS(io_email_notification)
NEXOLT_IS(io_onoff_email_notification)
NEXOLT_IS(io_output_automatic_initialize)
NEXOLT_IS(io_macro)
NEXOLT_IS(send_mac_address)
NEXOLT_IS(send_mac_address_with_ssl)
NEXOLT_IS(ssl_no_restrict_to_uart_serial_type)
NEXOLT_IS(tcp_multi_connection)
NEXOLT_IS(remote_debug)
NEXOLT_IS(power_management)
NEXOLT_IS(dad)
NEXOLT_IS(factory_reset)
NEXOLT_IS(cert)
NEXOLT_IS(certificates)
NEXOLT_IS(user_defined_mac_address)
NEXOLT_IS(flow_control)
NEXOLT_IS_PORT(uart_rs232)
NEXOLT_IS_PORT(uart_rs485)
NEXOLT_IS_PORT(uart_rs422)
NEXOLT_IS_PORT(uart_ttl)
NEXOLT_IS_PORT(uart_dtrdsr)
NEXOLT_IS_PORT(uart_tcp_server)
NEXOLT_IS_PORT(uart_tcp_client)
NEXOLT_IS_PORT(uart_udp)
NEXOLT_IS_PORT(uart_serial_modbus)
NEXOLT_IS_PORT(uart_at_command)
NEXOLT_IS_PORT(uart_separator)
NEXOLT_IS_PORT(uart_rfc2217)
NEXOLT_IS_PORT(uart_ssl)
NEXOLT_IS_PORT(uart_tcp_nodelay)
NEXOLT_IS_PORT(uart_tx_delay)
NEXOLT_IS_PORT(uart_data_frame_interval)

/* ---- Capability bits of the device's reply in device list `list`. */
NEXOLT_USE(use_dad)
NEXOLT_USE(use_factory_reset)
NEXOLT_USE(use_auto_rsn)
NEXOLT_USE(use_phy_mode)
NEXOLT_USE(use_ssl)
NEXOLT_USE(use_ssh)
NEXOLT_USE(use_wpa_enterprise)
NEXOLT_USE(use_cert)
NEXOLT_USE(use_ap)
NEXOLT_USE(use_ip6)
NEXOLT_USE(use_region_code_us)
NEXOLT_USE(use_power_save)
NEXOLT_USE(use_background_scan)
NEXOLT_USE(use_tune)
NEXOLT_USE(user_mac)
NEXOLT_USE(use_only_wpa_pp64)
NEXOLT_USE(use_uart_separator)
NEXOLT_USE(wlan_wpa_pp_length)

#undef NEXOLT_GET_SET
#undef NEXOLT_GET_SET_PORT
#undef NEXOLT_GET_SET_TEXT
#undef NEXOLT_IS
#undef NEXOLT_IS_PORT
#undef NEXOLT_USE

#ifdef __cplusplus
}
#endif

#endif
