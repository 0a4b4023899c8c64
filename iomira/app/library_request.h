#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace iomira {

inline constexpr uint16_t kDeviceManagementPort = 50005;

enum LibraryOperation { LIBRARY_SEARCH = 0, LIBRARY_READ = 1 };
enum LibraryMode { LIBRARY_BROADCAST = 0, LIBRARY_UNICAST = 1 };

// One search or read of a device library: what the call is given and what it gives back. The
// worker thread fills it; the owner reads it after the answer has been handed over.
template <typename Record> struct LibraryRequest {
    int operation = LIBRARY_SEARCH;
    int mode = LIBRARY_BROADCAST;
    uint32_t address = 0; // IPv4, network byte order
    uint16_t port = kDeviceManagementPort;
    std::array<uint8_t, 6> mac{};
    int result = -1;
    int error = 0;
    int count = 0;
    std::vector<Record> found;
    Record read{};

    static std::shared_ptr<LibraryRequest> search(int mode, uint32_t address) {
        auto r = std::make_shared<LibraryRequest>();
        r->mode = mode;
        r->address = address;
        return r;
    }
    static std::shared_ptr<LibraryRequest> readAt(int mode, uint32_t address, uint16_t port,
                                                  const uint8_t* mac) {
        auto r = search(mode, address);
        r->operation = LIBRARY_READ;
        r->port = port;
        if (mac) std::copy(mac, mac + 6, r->mac.begin());
        return r;
    }
    // After a search call: the records the library says it filled.
    void keepFound(int capacity) { found.resize(std::clamp(count, 0, capacity)); }
};

// A read merged into a library's result list: it replaces the record it matches, or becomes
// the only one when the list is empty or nothing matches.
template <typename Record, typename Matches>
void mergeReadRecord(std::vector<Record>& records, const Record& read, Matches matches) {
    for (Record& record : records) {
        if (matches(record)) {
            record = read;
            return;
        }
    }
    records.assign(1, read);
}

} // namespace iomira
