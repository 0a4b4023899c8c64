#pragma once

#include <chrono>
#include <unordered_map>

namespace iomira {

// A controller whose last answer was a Modbus exception is polled again after a pause: an
// exception is no reason to stop watching it for as long as it stays connected.
inline constexpr std::chrono::milliseconds kExceptionRetry{5000};

// When the polling thread sends its requests again despite a pending exception: once
// kExceptionRetry has passed since it first found the exception, then every kExceptionRetry
// for as long as the exception stays. Used by the polling thread alone.
class ExceptionRetry {
  public:
    using Clock = std::chrono::steady_clock;

    // `pending`: the controller's exception code is set now.
    bool due(int deviceId, bool pending, Clock::time_point now);

  private:
    std::unordered_map<int, Clock::time_point> since_;
};

} // namespace iomira
