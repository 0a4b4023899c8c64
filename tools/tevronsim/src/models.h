#pragma once
// The maker's controller models the simulator can play, with their port counts.

#include <span>
#include <string_view>

namespace tevronsim {

// Same numbers as the program's model family code.
enum class Family { Generic = 0, Rlx810 = 1, Rlx820 = 2, Rlx830 = 3, Rlx850 = 4, Rlx840 = 5 };

struct ModelInfo {
    std::string_view name;
    Family family;
    int inputs;
    int outputs;
    int analog;   // analog (or temperature) channels
    int counters; // one per input on the counting models
};

constexpr int kMaxAnalog = 4;
constexpr int kMaxCounters = 4;

// Case-insensitive lookup; nullptr for an unknown model.
const ModelInfo* find_model(std::string_view name);
std::span<const ModelInfo> all_models();

inline bool is_rlx(const ModelInfo& m) {
    return m.family != Family::Generic;
}

} // namespace tevronsim
