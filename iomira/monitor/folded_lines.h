#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace iomira {

// A damaged stream can decode as many bad frames at once; its log line is written at most once
// a second per controller, and the lines held back meanwhile are counted into the next one.
inline constexpr int64_t kFoldedLineMs = 1000;

class FoldedLines {
  public:
    struct Due {
        int deviceId;
        int folded; // lines held back since the last one written
    };

    // True when the line may be written now; `folded` is then the count held back before it.
    bool admit(int deviceId, int64_t nowMs, int& folded);
    // The controllers whose held-back lines are a second old: their line is written now, with
    // its count, so that the count of a burst's end is not lost.
    std::vector<Due> takeDue(int64_t nowMs);
    void forget(int deviceId) { state_.erase(deviceId); }

  private:
    struct State {
        int64_t lastMs = 0;
        int held = 0;
    };
    std::unordered_map<int, State> state_;
};

} // namespace iomira
