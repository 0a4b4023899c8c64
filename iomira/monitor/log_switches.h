#pragma once

#include <atomic>

namespace iomira {

struct GlobalSwitches;

// The log category switches, read by the polling thread while the UI thread may change them.
struct LogSwitches {
    std::atomic<int> tcp{1};
    std::atomic<int> input{1};
    std::atomic<int> output{1};
    std::atomic<int> notificationEmail{1};

    void assign(const GlobalSwitches& switches);
};

enum class LogCategory { Tcp, Input, Output, Any };

} // namespace iomira
