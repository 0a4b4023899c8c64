// Accessors of the network settings: IPv4 and IPv6 addresses, the option word, the
// address-change notification, access restrictions and the services.
#include "accessor_fields.h"

#include <cstring>

#define AT(field) offsetof(lib_env, field)
#define OPTION(name, shift, width) NEXOLT_BITS(name, AT(options), 4, shift, width)

// IPv4 (block 3) and the automatic-address options.
NEXOLT_IP4(ip4_local_address, AT(ip4_address))
NEXOLT_IP4(ip4_subnet_mask, AT(ip4_mask))
NEXOLT_IP4(ip4_gateway_address, AT(ip4_gateway))
NEXOLT_IP4(ip4_dns_address, AT(ip4_dns))
OPTION(dhcp, 3, 1)
OPTION(dhcp_dns, 5, 1)
OPTION(arp, 2, 1)
OPTION(pppoe, 4, 1)
NEXOLT_TEXT(pppoe_id, AT(pppoe), 24)
NEXOLT_TEXT(pppoe_pwd, AT(pppoe) + 24, 24)

// Address-change notification: the kind is the option word's dynamic-DNS field; data
// format, peer and interval are block 39.
OPTION(ip4_change_notification_type, 21, 3)
NEXOLT_BITS(ip4_change_notification_data_type, AT(ip_notification), 4, 0, 3)
NEXOLT_IP4(ip4_change_notification_peer_address, AT(ip_notification) + 4)
NEXOLT_BITS(ip4_change_notification_peer_port, AT(ip_notification) + 8, 2, 0, 16)
NEXOLT_BITS(ip4_change_notification_interval, AT(ip_notification) + 10, 2, 0, 16)
NEXOLT_TEXT(ip4_change_notification_ddns_id, AT(ddns), 24)
NEXOLT_TEXT(ip4_change_notification_ddns_pwd, AT(ddns) + 24, 24)
NEXOLT_TEXT(ip4_change_notification_ddns_host, AT(ddns_host), 64)
OPTION(send_mac_address, 26, 1)

// IPv6 (block 4).
OPTION(ip6, 8, 1)
OPTION(ip6_eui_type, 9, 2)
OPTION(ip6_gua_type, 11, 2)
NEXOLT_IP6(ip6_local_address, AT(ip6_address))
NEXOLT_BITS(ip6_subnet_prefix_length, AT(ip6_prefix), 2, 0, 8)
NEXOLT_IP6(ip6_gateway_address, AT(ip6_gateway))
NEXOLT_IP6(ip6_dns_address, AT(ip6_dns))
NEXOLT_IP6(ip6_modbus_peer_address, AT(ip6_modbus_peer))

// Access restriction (blocks 33, 34, 43); the remote configuration option allows NexoltLib.
OPTION(allowed_nexolt, 1, 1)
NEXOLT_IP4(allowed_ip4_address, AT(allowed_ip4_address))
NEXOLT_IP4(allowed_ip4_network_mask_type, AT(allowed_ip4_mask))
NEXOLT_IP6(allowed_ip6_address, AT(allowed_ip6))
NEXOLT_BITS(allowed_ip6_subnet_prefix_length, AT(allowed_ip6) + 16, 2, 0, 8)

// Services.
OPTION(telnet, 17, 1)
OPTION(ssl, 18, 1)
OPTION(ssh, 19, 1)
OPTION(remote_debug, 16, 1)
OPTION(power_management, 27, 1)
OPTION(tcp_multi_connection, 24, 1)
NEXOLT_TEXT(comment, AT(comment), 64)
NEXOLT_BITS(tune_kto, AT(tune), 2, 0, 16)
NEXOLT_BITS(tune_dto, AT(tune) + 2, 2, 0, 16)
NEXOLT_BITS(tune_rto, AT(tune) + 4, 2, 0, 16)
NEXOLT_BITS(tune_nto, AT(tune) + 6, 2, 0, 16)
NEXOLT_BITS(tune_fto, AT(tune) + 8, 2, 0, 16)

// Event notification by e-mail (block 46).
NEXOLT_BITS(event_notification_protocol, AT(email_options), 1, 0, 8)
NEXOLT_BITS(event_notification_type, AT(email_options) + 1, 1, 0, 8)
NEXOLT_BITS(event_notification_auth, AT(email_options) + 2, 1, 0, 8)
NEXOLT_IP4(event_notification_peer_address, AT(email_options) + 4)
NEXOLT_BITS(event_notification_interval, AT(email_options) + 8, 2, 0, 16)
NEXOLT_BITS(event_notification_peer_port, AT(email_options) + 10, 2, 0, 16)
NEXOLT_TEXT(event_notification_email, AT(email_address), 64)

namespace {

using namespace nexolt;

bool all_zero(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}

// A restriction is on while its address is set; switching it off clears the address.
int restriction(const void* device, uint8_t* (*field)(lib_env&), size_t size, int value) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    uint8_t* bytes = field(entry->env);
    if (value < 0) return all_zero(bytes, size) ? 0 : 1;
    if (value > 1) return kUnsupported;
    if (value == 0) std::memset(bytes, 0, size);
    return value == 1 && all_zero(bytes, size) ? kUnsupported : 1;
}

uint8_t* allowed_ip4(lib_env& env) {
    return reinterpret_cast<uint8_t*>(&env.allowed_ip4_address);
}
uint8_t* allowed_mac(lib_env& env) {
    return env.allowed_mac;
}

} // namespace

extern "C" int get_allowed_ip_enabled(const void* device) {
    return restriction(device, allowed_ip4, 8, -1);
}
extern "C" int set_allowed_ip_enabled(const void* device, int on) {
    return restriction(device, allowed_ip4, 8, on);
}
extern "C" int get_allowed_mac_enabled(const void* device) {
    return restriction(device, allowed_mac, 6, -1);
}
extern "C" int set_allowed_mac_enabled(const void* device, int on) {
    return restriction(device, allowed_mac, 6, on);
}

extern "C" int get_allowed_mac_address(const void* device, uint8_t* mac) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (mac) std::memcpy(mac, entry->env.allowed_mac, 6);
    return mac ? 1 : kUnsupported;
}
extern "C" int set_allowed_mac_address(const void* device, const uint8_t* mac) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!mac) return kUnsupported;
    std::memcpy(entry->env.allowed_mac, mac, 6);
    return 1;
}

// The user-defined MAC block keeps the factory MAC ahead of the chosen one.
extern "C" int get_user_defined_mac_address(const void* device, uint8_t* mac) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (mac) std::memcpy(mac, entry->env.user_mac + 8, 6);
    return mac ? 1 : kUnsupported;
}
extern "C" int set_user_defined_mac_address(const void* device, const uint8_t* mac) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!mac || !(entry->capabilities & 0x8000)) return kUnsupported;
    std::memcpy(entry->env.user_mac, entry->env.mac, 6);
    std::memcpy(entry->env.user_mac + 8, mac, 6);
    return 1;
}
