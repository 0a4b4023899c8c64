#include "models.h"

#include <array>
#include <cctype>

namespace tevronsim {

namespace {
constexpr std::array<ModelInfo, 13> kModels{{
    {"TKA-31", Family::Generic, 8, 8, 0, 0},
    {"TKA-21", Family::Generic, 8, 8, 0, 0},
    {"TKA-33", Family::Generic, 2, 1, 0, 0},
    {"TKA-35", Family::Generic, 4, 4, 0, 0},
    {"TKA-31P", Family::Generic, 8, 8, 0, 0},
    {"TKA-33P", Family::Generic, 2, 1, 0, 0},
    {"TKA-35P", Family::Generic, 4, 4, 0, 0},
    {"TKB-11", Family::Generic, 1, 1, 0, 0},
    {"RLX-810", Family::Rlx810, 0, 0, 4, 0},
    {"RLX-820", Family::Rlx820, 4, 0, 0, 4},
    {"RLX-830", Family::Rlx830, 0, 2, 0, 0},
    {"RLX-850", Family::Rlx850, 4, 4, 4, 4},
    {"RLX-840", Family::Rlx840, 0, 0, 1, 0},
}};

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}
} // namespace

const ModelInfo* find_model(std::string_view name) {
    for (const auto& m : kModels) {
        if (same_name(m.name, name)) return &m;
    }
    return nullptr;
}

std::span<const ModelInfo> all_models() {
    return kModels;
}

} // namespace tevronsim
