#pragma once

#include "core/trend_channel.h"
#include "monitor/folded_lines.h"

#include <cstdint>

namespace iomira {

class CQUORVISData;
class ConnectionManager;
class MonitorEvents;
class MonitorLog;
class PolledValueListener;
class PortChangeListener;
class SharedControllers;

// Corvel's connection (1025) and data (1026) notifications as the device list handles them:
// first reads after a connection, port images, log entries and the port-change dispatch.
// Runs on the UI thread inside Corvel's dispatcher.
class NotificationHandler {
  public:
    NotificationHandler(SharedControllers& controllers, MonitorLog& log,
                        ConnectionManager& connections, MonitorEvents& events,
                        PortChangeListener& dispatch);

    // Who hears every polled value from now on; nullptr for nobody.
    void setValueListener(PolledValueListener* listener) { values_ = listener; }

    void onConnection(uintptr_t deviceId, intptr_t lparam);
    void onData(uintptr_t deviceId, intptr_t code);
    // Writes the damaged-frame lines held back for a second (call a few times a second).
    void flushFoldedLines(int64_t nowMs);

  private:
    CQUORVISData* find(uintptr_t deviceId) const;
    void connectionEstablished(CQUORVISData& c);
    void exceptionResponse(CQUORVISData& c, int textId, int outputs);
    void inputResponse(CQUORVISData& c, int code);
    void inputImage(CQUORVISData& c, int count);
    void analogValues(CQUORVISData& c);
    void temperatureValue(CQUORVISData& c);
    void counterValues(CQUORVISData& c);
    void outputResponse(CQUORVISData& c);
    void damagedFrame(CQUORVISData& c);
    void writeDamagedFrameLine(CQUORVISData& c, int folded);
    void heard(const CQUORVISData& c, TrendKind kind, int index, int32_t raw);

    SharedControllers& controllers_;
    MonitorLog& log_;
    ConnectionManager& connections_;
    MonitorEvents& events_;
    PortChangeListener& dispatch_;
    PolledValueListener* values_ = nullptr;
    FoldedLines damagedFrames_;
};

} // namespace iomira
