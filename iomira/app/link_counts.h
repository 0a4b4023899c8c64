#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace iomira {

class ControllerTable;

// How the links of all controllers stand, for the status bar.
struct LinkCounts {
    int connected = 0; // connected and answering
    int listening = 0;
    int error = 0;
    int notResponding = 0;
    int total = 0;
    int64_t lastAnswerMs = 0; // the latest answer of any controller; 0 before the first
    bool operator==(const LinkCounts&) const = default;
};

using ConnectionStateOf = std::function<int(int deviceId)>;
int corvelConnectionState(int deviceId);

LinkCounts countLinks(const ControllerTable& controllers,
                      const ConnectionStateOf& stateOf = corvelConnectionState);
// "Connected 3 · Listening 1 · Error 0 · Not responding 1 · of 6 | Last answer 12:00:01".
QString linkCountsText(const LinkCounts& counts);

} // namespace iomira
