// The use_ accessors: the capability bits a device's reply carried, from device list
// `list`; -1 for a device that is not in it.
#include "capabilities.h"
#include "products.h"

#include "nexoltlib/nexoltlib.h"

using namespace nexolt;

namespace {

int flag(int list, const void* device, uint16_t bit) {
    const DeviceEntry* entry = find_device(list, static_cast<const uint8_t*>(device));
    return entry ? ((entry->capabilities & bit) ? 1 : 0) : -1;
}

} // namespace

#define USE(name, bit)                                                                             \
    extern "C" int name(int list, const void* device) {                                            \
        return flag(list, device, bit);                                                            \
    }

USE(use_dad, kCapDad)
USE(use_factory_reset, kCapFactoryReset)
USE(use_auto_rsn, kCapAutoRsn)
USE(use_phy_mode, kCapPhyMode)
USE(use_ssl, kCapSsl)
USE(use_ssh, kCapSsh)
USE(use_wpa_enterprise, kCapWpaEnterprise)
USE(use_cert, kCapCert)
USE(use_ap, kCapAp)
USE(use_ip6, kCapIp6)
USE(use_region_code_us, kCapRegionUs)
USE(use_power_save, kCapPowerSave)
USE(use_background_scan, kCapBackgroundScan)
USE(use_tune, kCapTune)
USE(user_mac, kCapUserMac)

extern "C" int use_only_wpa_pp64(int list, const void* device) {
    const DeviceEntry* entry = find_device(list, static_cast<const uint8_t*>(device));
    return entry ? (wpa_pp64_only(entry->env) ? 1 : 0) : -1;
}

// Frame separators came with the 1.2 firmware.
extern "C" int use_uart_separator(int list, const void* device) {
    const DeviceEntry* entry = find_device(list, static_cast<const uint8_t*>(device));
    return entry ? (firmware_at_least(entry->env, 1, 512) ? 1 : 0) : -1;
}

extern "C" int wlan_wpa_pp_length(int list, const void* device) {
    const DeviceEntry* entry = find_device(list, static_cast<const uint8_t*>(device));
    return entry ? wpa_passphrase_limit(*entry) : -1;
}
