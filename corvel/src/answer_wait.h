// The requests of one connection that wait for their answers: how many, and since when the
// oldest of them has waited.
#pragma once

#include <chrono>
#include <cstddef>

namespace corvel {

using MonotonicClock = std::chrono::steady_clock;

class AnswerWait {
  public:
    // Returns true when these requests start a wait (nothing was outstanding before).
    bool requests_sent(size_t frames, MonotonicClock::time_point now) {
        if (frames == 0) return false;
        const bool starts = outstanding_ == 0;
        if (starts) since_ = now;
        outstanding_ += frames;
        return starts;
    }

    // One request is answered; the next one waits from now on.
    void answer_received(MonotonicClock::time_point now) {
        if (outstanding_ == 0) return;
        --outstanding_;
        since_ = now;
    }

    void clear() { outstanding_ = 0; }

    bool waiting() const { return outstanding_ != 0; }
    size_t outstanding() const { return outstanding_; }
    // Meaningful while waiting().
    MonotonicClock::time_point since() const { return since_; }

    MonotonicClock::duration waited(MonotonicClock::time_point now) const {
        return waiting() ? now - since_ : MonotonicClock::duration::zero();
    }

  private:
    size_t outstanding_ = 0;
    MonotonicClock::time_point since_{};
};

} // namespace corvel
