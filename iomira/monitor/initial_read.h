#pragma once

namespace iomira {

class CQUORVISData;
class MonitorLog;

// One read of everything the controller has, sent after a connection is ready.
void sendInitialRead(const CQUORVISData& controller, MonitorLog& log);

// One polling step of a controller: its outputs, then its inputs, as its switches ask. A
// pending exception answer holds it back unless `despiteException`.
void pollController(const CQUORVISData& controller, MonitorLog& log, bool despiteException = false);

// True when the polling thread sends this controller requests: it is connected, no exception
// answer holds its polling back, and its switches and ports leave something to read.
bool isPolled(const CQUORVISData& controller);

} // namespace iomira
