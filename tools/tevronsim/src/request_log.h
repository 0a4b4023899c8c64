#pragma once
// The request log: one JSON object a line for every request a device received, with what
// it answered, so that a test can check exactly what went over the wire and when.

#include "frame.h"

#include <cstdio>
#include <optional>
#include <span>
#include <string>

namespace tevronsim {

struct LogEntry {
    std::string device;
    int connection = 0;
    Frame request;
    // "response", "exception" or "none"; reason says why nothing was answered.
    std::string answer;
    std::uint8_t exception = 0;
    std::string reason;
    int delay_ms = 0;
};

// The fields of a request PDU worth naming (address, quantity, value, ...), as JSON members
// without braces, e.g. "\"address\":0,\"quantity\":8".
std::string describe_pdu(std::span<const std::uint8_t> pdu);
std::string format_entry(const LogEntry& entry, double elapsed_ms, const std::string& utc_time);

class RequestLog {
  public:
    RequestLog() = default;
    ~RequestLog();
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    // "-" writes to standard output. Returns an error text, empty on success.
    std::string open(const std::string& path);
    void write(const LogEntry& entry);
    // A line for a request of another protocol: members are JSON members, each with a
    // leading comma, placed after the time.
    void write_members(const std::string& members);

  private:
    std::FILE* file_ = nullptr;
    bool owned_ = false;
};

} // namespace tevronsim
