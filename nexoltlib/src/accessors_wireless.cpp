// Accessors of the wireless settings (block 9). The options word holds, from bit 0: type
// (2 bits: infrastructure, ad hoc, access point), encryption (2: none, WEP, TKIP, AES),
// authentication (3: the wpa kinds), WEP key index (2), WEP key length (1: 64 or 128 bits),
// channel (4), antenna (2), PHY mode (3), background scan, short preamble, short slot, CTS
// protection and WPA enterprise (1 each).
#include "accessor_fields.h"
#include "capabilities.h"

#include <cstdio>
#include <cstring>

#define AT(field) offsetof(lib_env, field)
#define WLAN(name, shift, width) NEXOLT_BITS(name, AT(wlan_options), 4, shift, width)

NEXOLT_BITS(wlan, AT(options), 4, 7, 1)
WLAN(wlan_type, 0, 2)
WLAN(wlan_encryption_type, 2, 2)
WLAN(wlan_authentication_type, 4, 3)
WLAN(wlan_wep_key_index, 7, 2)
WLAN(wlan_wep_key_length, 9, 1)
WLAN(wlan_channel, 10, 4)
WLAN(wlan_antenna, 14, 2)
WLAN(wlan_phy_mode, 16, 3)
WLAN(wlan_background_scan, 19, 1)
WLAN(wlan_short_preamble, 20, 1)
WLAN(wlan_short_slot, 21, 1)
WLAN(wlan_cts_protection, 22, 1)
WLAN(wlan_wpa_enterprise, 23, 1)
NEXOLT_BITS(wlan_wep_key_data_type, AT(wep_key_form), 1, 0, 1)
NEXOLT_TEXT(wlan_ssid, AT(ssid), 32)
NEXOLT_TEXT(wlan_wpa_enterprise_id, AT(eap), 24)
NEXOLT_TEXT(wlan_wpa_enterprise_pwd, AT(eap) + 24, 24)

namespace {

using namespace nexolt;

constexpr BitField kKeyLength{uint16_t(AT(wlan_options)), 4, 9, 1};

// WEP key index (0 to 3) of the current key length: 5 bytes each, or 13.
uint8_t* wep_key(lib_env& env, int index, size_t& size) {
    bool long_keys = read_bits(reinterpret_cast<uint8_t*>(&env), kKeyLength);
    size = long_keys ? 13 : 5;
    return (long_keys ? env.wep128 : env.wep64) + size * size_t(index);
}

} // namespace

extern "C" int get_wlan_wep_key(const void* device, int index, uint8_t* key) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (index < 0 || index > 3 || !key) return kUnsupported;
    size_t size = 0;
    std::memcpy(key, wep_key(entry->env, index, size), size);
    return int(size);
}

extern "C" int set_wlan_wep_key(const void* device, int index, const uint8_t* key) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (index < 0 || index > 3 || !key) return kUnsupported;
    size_t size = 0;
    std::memcpy(wep_key(entry->env, index, size), key, size);
    return 1;
}

extern "C" int get_wlan_wpa_passphrase(const void* device, char* text) {
    return get_text(device, {uint16_t(AT(wpa_passphrase)), 64}, text);
}

// A passphrase longer than the device takes would not reach it whole.
extern "C" int set_wlan_wpa_passphrase(const void* device, const char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!text || strnlen(text, 65) > size_t(wpa_passphrase_limit(*entry))) return kUnsupported;
    return set_text(device, {uint16_t(AT(wpa_passphrase)), 64}, text);
}

// The pre-shared key derived from passphrase and SSID when the record is written.
extern "C" int get_wlan_shared_key(const void* device, uint8_t* key) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!key) return kUnsupported;
    std::memcpy(key, entry->env.wpa_psk, sizeof entry->env.wpa_psk);
    return 1;
}

extern "C" int get_wlan_max_wpa_passphrase_length(const void* device) {
    DeviceEntry* entry = accessed_entry(device);
    return entry ? wpa_passphrase_limit(*entry) : kUnknownDevice;
}

// "Channel 6 (2437 MHz)" (40 bytes); channel 0 chooses itself: "Auto".
extern "C" int get_wlan_channel_string(const void* device, char* text) {
    int channel = get_wlan_channel(device);
    if (channel < 0) return channel;
    if (!text) return kUnsupported;
    int mhz = channel == 14 ? 2484 : 2407 + 5 * channel;
    if (channel == 0)
        std::strcpy(text, "Auto");
    else
        std::snprintf(text, 40, "Channel %d (%d MHz)", channel & 15, mhz & 4095);
    return 1;
}
