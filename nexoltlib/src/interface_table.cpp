// The cached table of local IPv4 interfaces, first address of each interface index.
#include "transport.h"

#include "nexoltlib/nexoltlib.h"

#include <algorithm>

namespace nexolt {

namespace {

struct InterfaceCache {
    bool built = false;
    uint32_t filter = 0;
    std::vector<InterfaceEntry> entries;
};

InterfaceCache g_cache;

bool needs_rebuild(uint32_t filter) {
    if (!g_cache.built || g_cache.filter != filter || g_cache.entries.empty()) return true;
    return filter != 0 && g_cache.entries.size() != 1;
}

std::vector<InterfaceEntry> entries_from(const std::vector<sys::AddressRow>& rows,
                                         uint32_t filter) {
    std::vector<InterfaceEntry> entries;
    std::vector<unsigned> seen;
    for (const auto& row : rows) {
        if (row.address == 0 || entries.size() == kMaxInterfaces) continue;
        if (filter != 0 && row.address != filter) continue;
        if (std::find(seen.begin(), seen.end(), row.index) != seen.end()) continue;
        seen.push_back(row.index);
        InterfaceEntry entry;
        entry.index = row.index;
        entry.address = row.address;
        entry.address_text = row.text;
        entries.push_back(entry);
    }
    return entries;
}

} // namespace

int refresh_interfaces(uint32_t local_filter, std::vector<InterfaceEntry>& entries) {
    if (needs_rebuild(local_filter)) {
        std::vector<sys::AddressRow> rows;
        if (int error = sys::read_address_rows(rows)) return error;
        g_cache.entries = entries_from(rows, local_filter);
        g_cache.filter = local_filter;
        g_cache.built = true;
    }
    entries = g_cache.entries;
    return entries.empty() ? NEXOLT_ERR_NO_INTERFACE : 0;
}

void invalidate_interfaces() {
    g_cache.built = false;
}

} // namespace nexolt
