#include "monitor/folded_lines.h"

namespace iomira {

bool FoldedLines::admit(int deviceId, int64_t nowMs, int& folded) {
    auto [it, first] = state_.try_emplace(deviceId);
    State& s = it->second;
    if (!first && nowMs - s.lastMs < kFoldedLineMs) {
        ++s.held;
        return false;
    }
    folded = s.held;
    s = {nowMs, 0};
    return true;
}

std::vector<FoldedLines::Due> FoldedLines::takeDue(int64_t nowMs) {
    std::vector<Due> due;
    for (auto it = state_.begin(); it != state_.end();) {
        State& s = it->second;
        if (nowMs - s.lastMs < kFoldedLineMs) {
            ++it;
        } else if (s.held > 0) {
            due.push_back({it->first, s.held});
            s = {nowMs, 0};
            ++it;
        } else {
            it = state_.erase(it); // quiet for a second: the next bad frame is written at once
        }
    }
    return due;
}

} // namespace iomira
