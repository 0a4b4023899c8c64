#pragma once

#include <vector>

namespace iomira {

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
