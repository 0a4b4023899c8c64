#pragma once

#include <chrono>

namespace iomira::smtp {

// The moment a protocol step must be done by. A step that reads or writes in several pieces
// waits only for what is left, so a peer that trickles bytes cannot stretch the limit.
class Deadline {
  public:
    using Clock = std::chrono::steady_clock;

    explicit Deadline(std::chrono::milliseconds limit) : end_(Clock::now() + limit) {}

    // Milliseconds left, rounded up so that a wait never ends before the deadline; 0 when past.
    int remainingMs() const {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now());
        return left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }

  private:
    Clock::time_point end_;
};

} // namespace iomira::smtp
