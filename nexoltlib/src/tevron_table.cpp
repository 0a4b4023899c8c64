#include "tevron_table.h"

#include "products.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace nexolt {

namespace {

std::vector<tevron_info> g_table;

tevron_info make_info(const DeviceEntry& entry, int list) {
    tevron_info info{};
    std::memcpy(info.mac, entry.mac, 6);
    inet_ntop(AF_INET, &entry.env.device_address, info.address, sizeof info.address);
    std::memcpy(info.comment, entry.env.comment, sizeof entry.env.comment);
    info.decoded = entry.decoded ? 1 : 0;
    if (entry.env.product_name[0])
        std::snprintf(info.product_name, sizeof info.product_name, "%.*s",
                      int(sizeof entry.env.product_name), entry.env.product_name);
    else
        GetProductName(entry.env.product_id, info.product_name);
    info.list = list;
    info.port = entry.source_port;
    return info;
}

} // namespace

void rebuild_tevron_table() {
    struct Candidate {
        const DeviceEntry* entry;
        int list;
    };
    std::vector<Candidate> latest;
    for (int list = 0; list < kDeviceListCount; ++list) {
        for_each_device(list, [&](const DeviceEntry& entry) {
            auto same = std::find_if(latest.begin(), latest.end(), [&](const Candidate& c) {
                return std::memcmp(c.entry->mac, entry.mac, 6) == 0;
            });
            if (same == latest.end())
                latest.push_back({&entry, list});
            else if (entry.updated >= same->entry->updated)
                *same = {&entry, list};
        });
    }
    std::sort(latest.begin(), latest.end(), [](const Candidate& a, const Candidate& b) {
        return std::memcmp(a.entry->mac, b.entry->mac, 6) < 0;
    });
    if (latest.size() > kMaxTevronDevices) latest.resize(kMaxTevronDevices);
    g_table.clear();
    for (const auto& c : latest)
        g_table.push_back(make_info(*c.entry, c.list));
}

const tevron_info* find_tevron(const void* device) {
    if (!device) return nullptr;
    for (const auto& info : g_table)
        if (std::memcmp(info.mac, device, 6) == 0) return &info;
    return nullptr;
}

DeviceEntry* tevron_device_entry(const void* device) {
    const tevron_info* info = find_tevron(device);
    return info ? find_device(info->list, info->mac) : nullptr;
}

} // namespace nexolt

using namespace nexolt;

extern "C" int get_tevron_count(void) {
    return int(g_table.size());
}

extern "C" int get_tevron_info_by_index(int index, tevron_info* info) {
    if (index < 0 || size_t(index) >= g_table.size() || !info) return -1;
    *info = g_table[size_t(index)];
    return 1;
}
