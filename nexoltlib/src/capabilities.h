// What a found device can do, from its product id, firmware, reply capability bits and
// record: the answers behind the is_ and use_ accessors and the write encoding options.
#pragma once

#include "device_lists.h"
#include "record_codec.h"

namespace nexolt {

// Capability bits of the reply header (a device entry's capabilities).
enum CapabilityBit : uint16_t {
    kCapDad = 0x0001,
    kCapFactoryReset = 0x0002,
    kCapAutoRsn = 0x0004,
    kCapPhyMode = 0x0008,
    kCapSsl = 0x0010,
    kCapSsh = 0x0020,
    kCapWpaEnterprise = 0x0080,
    kCapCert = 0x0100,
    kCapAp = 0x0200,
    kCapIp6 = 0x0400,
    kCapRegionUs = 0x0800,
    kCapPowerSave = 0x1000,
    kCapBackgroundScan = 0x2000,
    kCapTune = 0x4000,
    kCapUserMac = 0x8000,
};

bool device_is_ip6(const DeviceEntry& entry, const lib_env& env);
bool device_is_ssl(const DeviceEntry& entry, const lib_env& env);
bool device_allows_user_mac(const DeviceEntry& entry, const lib_env& env);
bool wpa_pp64_only(const lib_env& env);
bool email_notification(const lib_env& env);
int wpa_passphrase_limit(const DeviceEntry& entry);

// Serial port limits by product.
bool uart_7_and_8_databit_only(const lib_env& env);
bool uart_8_databit_only(const lib_env& env);
bool uart_has_dtrdsr(const lib_env& env, int n);
bool uart_xonxoff(const lib_env& env);
bool firmware_at_least(const lib_env& env, int major, int minor_rev);

// pack_data's options for this device.
EncodeOptions encode_options_for(const DeviceEntry& entry, const lib_env& env);

} // namespace nexolt
