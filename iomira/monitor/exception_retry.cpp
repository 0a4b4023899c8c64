#include "monitor/exception_retry.h"

namespace iomira {

bool ExceptionRetry::due(int deviceId, bool pending, Clock::time_point now) {
    if (!pending) {
        since_.erase(deviceId);
        return false;
    }
    const auto [it, first] = since_.try_emplace(deviceId, now);
    if (first || now - it->second < kExceptionRetry) return false;
    it->second = now;
    return true;
}

} // namespace iomira
