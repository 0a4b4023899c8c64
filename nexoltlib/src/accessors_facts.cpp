// What a found device is: product, firmware version, the interface it was found through.
#include "accessor_fields.h"

#include <cstdio>
#include <cstring>

using namespace nexolt;

extern "C" int get_product_id(const void* device) {
    DeviceEntry* entry = accessed_entry(device);
    return entry ? entry->env.product_id : kUnknownDevice;
}

extern "C" int get_firmware_major(const void* device) {
    DeviceEntry* entry = accessed_entry(device);
    return entry ? entry->env.firmware_major : kUnknownDevice;
}

extern "C" int get_firmware_minor(const void* device) {
    DeviceEntry* entry = accessed_entry(device);
    return entry ? entry->env.firmware_minor_rev >> 8 : kUnknownDevice;
}

extern "C" int get_firmware_revision(const void* device) {
    DeviceEntry* entry = accessed_entry(device);
    return entry ? entry->env.firmware_minor_rev & 0xFF : kUnknownDevice;
}

// "1.4C": major, minor, and the revision as a letter from "A".
extern "C" int get_version(const void* device, char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry) return kUnknownDevice;
    if (!text) return kUnsupported;
    const lib_env& env = entry->env;
    int revision = env.firmware_minor_rev & 0xFF;
    std::snprintf(text, 16, "%d.%d%c", env.firmware_major, env.firmware_minor_rev >> 8,
                  revision < 26 ? 'A' + revision : '?');
    return 1;
}

// Address text of the local interface the device answered through; 0 when unknown.
extern "C" int get_bind_addr(const void* device, char* text) {
    DeviceEntry* entry = accessed_entry(device);
    if (!entry || !text) return 0;
    std::snprintf(text, 16, "%s", entry->interface_address.c_str());
    return 1;
}
