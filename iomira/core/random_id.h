#pragma once

#include <cstdint>
#include <functional>

namespace iomira {

// Ids of controllers, groups, sounds, schedules and mail accounts are drawn from a small
// generator seeded with the time in seconds, and redrawn until unique in their table.
class TimeSeededRandom {
  public:
    explicit TimeSeededRandom(uint32_t seed) : state_(seed) {}
    int next(); // 0 to 32767

  private:
    uint32_t state_;
};

uint32_t secondsSeed();

// Draws until `taken` rejects a value in [low, high]; -1 when every value there is taken.
// Draws are bounded: after many misses the lowest free value is taken instead.
int drawFreeId(int low, int high, const std::function<bool(int)>& taken);

} // namespace iomira
