#pragma once

#include <QString>

#include <cstdint>

namespace iomira {

class CQUORVISData;

// What the monitor asks of the windows around it; all calls come on the UI thread.
class MonitorEvents {
  public:
    virtual ~MonitorEvents() = default;
    // A connection was started: the controller's window, tree item and mirror window redraw.
    virtual void connectionStarted(int deviceId) = 0;
    // A connection notification was handled; the tree item shows the icon of the new state.
    virtual void connectionNotified(int deviceId, intptr_t lparam) = 0;
    // A frame answering one of the controller's requests arrived (before it is handled).
    virtual void answered(int deviceId) = 0;
    // An automatic reconnection is about to start: the link ended, with or without a
    // notification (a request that could not be sent closes it silently).
    virtual void reconnecting(int deviceId) = 0;
    // The controller's NotResponding changed.
    virtual void responseChanged(int deviceId) = 0;
    virtual void showError(const QString& message) = 0;
};

} // namespace iomira
