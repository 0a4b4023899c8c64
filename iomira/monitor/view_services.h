#pragma once

#include <functional>

namespace iomira {

class CQUORVISData;
class MonitorLog;
class UserPrompts;

// What a controller window needs from the program around it: prompts, the log, writing its
// record and the commands it shares with the tree.
struct ViewServices {
    UserPrompts* prompts = nullptr;
    MonitorLog* log = nullptr;
    // Changes stored fields of a controller (under the table's lock) and saves the record.
    std::function<void(CQUORVISData&, const std::function<void(CQUORVISData&)>&)> editRecord;
    // Runs a device-list command (connect, disconnect, modify, delete, sounds) on a controller.
    std::function<void(int deviceId, int command)> treeCommand;
    // Opens the trend of the controller's channels.
    std::function<void(int deviceId)> showTrend;
};

} // namespace iomira
