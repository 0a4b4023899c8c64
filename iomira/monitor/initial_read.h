#pragma once

namespace iomira {

class CQUORVISData;
class MonitorLog;

// One read of everything the controller has, sent after a connection is ready.
void sendInitialRead(const CQUORVISData& controller, MonitorLog& log);

// One polling step of a controller: its outputs, then its inputs, as its switches ask.
void pollController(const CQUORVISData& controller, MonitorLog& log);

} // namespace iomira
