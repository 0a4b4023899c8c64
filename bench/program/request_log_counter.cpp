#include "request_log_counter.h"

#include "poll_requests.h"

#include <fstream>

namespace iomira::bench {

RequestLogCounter::RequestLogCounter(std::string path, int devices)
    : path_(std::move(path)), totals_(size_t(devices), 0) {}

void RequestLogCounter::readNew() {
    std::ifstream in(path_, std::ios::binary);
    if (!in || !in.seekg(offset_)) return;
    std::string pending;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        pending.append(chunk, size_t(in.gcount()));
        size_t start = 0;
        for (size_t nl = pending.find('\n'); nl != std::string::npos;
             nl = pending.find('\n', start)) {
            countLine(pending.substr(start, nl - start));
            offset_ += int64_t(nl + 1 - start);
            start = nl + 1;
        }
        pending.erase(0, start);
    }
}

void RequestLogCounter::countLine(const std::string& line) {
    ++lines_;
    const int index = polledDeviceIndex(line);
    if (index >= 0 && size_t(index) < totals_.size()) ++totals_[size_t(index)];
}

std::vector<int64_t> pollsBetween(const std::vector<int64_t>& before,
                                  const std::vector<int64_t>& after) {
    std::vector<int64_t> out(after.size(), 0);
    for (size_t i = 0; i < after.size(); ++i)
        out[i] = after[i] - (i < before.size() ? before[i] : 0);
    return out;
}

} // namespace iomira::bench
