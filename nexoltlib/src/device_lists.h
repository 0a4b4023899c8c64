// The three device lists: what each device last reported, keyed by MAC.
#pragma once

#include "nexoltlib/nexoltlib.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <list>
#include <string>
#include <vector>

namespace nexolt {

inline constexpr int kDeviceListCount = 3;

struct DeviceEntry {
    uint8_t mac[6] = {};
    std::vector<uint8_t> raw_env; // deciphered payload as received
    bool decoded = false;
    uint16_t product_id = 0;
    bool unicast = false;
    uint16_t source_port = 0;
    bool cipher = false;
    uint16_t capabilities = 0;
    std::string interface_address;
    unsigned interface_index = 0;
    lib_env env{};
    uint8_t header_tail[8] = {}; // reply header bytes 24 to 31
    std::time_t updated = 0;
};

DeviceEntry* find_device(int list, const uint8_t* mac);
// Replaces the entry with the same MAC in place, or appends a new one.
void store_device(int list, const DeviceEntry& entry);
void clear_device_list(int list);
void clear_device_lists();
size_t device_count(int list);
void for_each_device(int list, const std::function<void(const DeviceEntry&)>& visit);

} // namespace nexolt
