#include "device_lists.h"

#include <cstring>

namespace nexolt {

namespace {

std::list<DeviceEntry> g_lists[kDeviceListCount];

bool valid_list(int list) {
    return list >= 0 && list < kDeviceListCount;
}

} // namespace

DeviceEntry* find_device(int list, const uint8_t* mac) {
    if (!valid_list(list) || !mac) return nullptr;
    for (auto& entry : g_lists[list])
        if (std::memcmp(entry.mac, mac, 6) == 0) return &entry;
    return nullptr;
}

void store_device(int list, const DeviceEntry& entry) {
    if (!valid_list(list)) return;
    DeviceEntry* existing = find_device(list, entry.mac);
    if (existing)
        *existing = entry;
    else
        g_lists[list].push_back(entry);
}

void clear_device_list(int list) {
    if (valid_list(list)) g_lists[list].clear();
}

void clear_device_lists() {
    for (auto& list : g_lists)
        list.clear();
}

size_t device_count(int list) {
    return valid_list(list) ? g_lists[list].size() : 0;
}

void for_each_device(int list, const std::function<void(const DeviceEntry&)>& visit) {
    if (!valid_list(list)) return;
    for (const auto& entry : g_lists[list])
        visit(entry);
}

} // namespace nexolt

using namespace nexolt;

extern "C" lib_env* get_env_raw_lib_env_by_mac_addr(int list, const void* device, int* decoded) {
    DeviceEntry* entry = find_device(list, static_cast<const uint8_t*>(device));
    if (!entry) return nullptr;
    if (decoded) *decoded = entry->decoded ? 1 : 0;
    return &entry->env;
}

extern "C" const uint8_t* get_raw_data_buffer(int list, const void* device, int* length) {
    DeviceEntry* entry = find_device(list, static_cast<const uint8_t*>(device));
    if (!entry) return nullptr;
    if (length) *length = int(entry->raw_env.size());
    return entry->raw_env.data();
}
