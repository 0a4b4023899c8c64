#include "core/random_id.h"

#include <ctime>

namespace iomira {

namespace {
constexpr int kMaxDraws = 1 << 20;
}

int TimeSeededRandom::next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
}

uint32_t secondsSeed() {
    return static_cast<uint32_t>(std::time(nullptr));
}

int drawFreeId(int low, int high, const std::function<bool(int)>& taken) {
    TimeSeededRandom random(secondsSeed());
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        const int value = random.next();
        if (value >= low && value <= high && !taken(value)) return value;
    }
    for (int value = low; value <= high; ++value) {
        if (!taken(value)) return value;
    }
    return -1;
}

} // namespace iomira
