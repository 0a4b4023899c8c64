// The table of local IPv4 interfaces, first address of each interface index, read afresh for
// every operation so that an adapter plugged in after start is searched too.
#include "transport.h"

#include "nexoltlib/nexoltlib.h"

#include <algorithm>

namespace nexolt {

namespace {

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
    std::vector<sys::AddressRow> rows;
    if (int error = sys::read_address_rows(rows)) return error;
    entries = entries_from(rows, local_filter);
    return entries.empty() ? NEXOLT_ERR_NO_INTERFACE : 0;
}

const InterfaceEntry* find_interface(const std::vector<InterfaceEntry>& entries,
                                     const std::string& address_text) {
    auto hit = std::find_if(entries.begin(), entries.end(), [&](const InterfaceEntry& e) {
        return e.address_text == address_text;
    });
    return hit == entries.end() ? nullptr : &*hit;
}

} // namespace nexolt
