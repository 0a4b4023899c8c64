#include "request_log.h"

#include "event_loop.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

namespace tevronsim {

namespace {

const Clock::time_point kStarted = Clock::now();

std::string field(const char* name, long value) {
    return std::string(",\"") + name + "\":" + std::to_string(value);
}

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string utc_now() {
    auto now = std::chrono::system_clock::now();
    std::time_t secs = std::chrono::system_clock::to_time_t(now);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm tm{};
    gmtime_r(&secs, &tm);
    char buf[40];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
    char out[48];
    std::snprintf(out, sizeof out, "%s.%03dZ", buf, static_cast<int>(ms.count()));
    return out;
}

} // namespace

std::string describe_pdu(std::span<const std::uint8_t> pdu) {
    if (pdu.empty()) return "";
    std::string out = "\"function\":" + std::to_string(pdu[0]);
    switch (pdu[0]) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x0F:
    case 0x10:
        if (pdu.size() >= 5)
            out += field("address", get_u16(pdu, 1)) + field("quantity", get_u16(pdu, 3));
        break;
    case 0x05:
    case 0x06:
        if (pdu.size() >= 5)
            out += field("address", get_u16(pdu, 1)) + field("value", get_u16(pdu, 3));
        break;
    case 0x69:
        if (pdu.size() >= 6) {
            out += field("address", get_u16(pdu, 1)) + field("duration", get_u16(pdu, 3)) +
                   field("value", pdu[5]);
        }
        break;
    case 0x2B:
        if (pdu.size() >= 4)
            out += field("mei", pdu[1]) + field("code", pdu[2]) + field("object", pdu[3]);
        break;
    default:
        break;
    }
    out += field("length", static_cast<long>(pdu.size()));
    return out;
}

std::string format_entry(const LogEntry& e, double elapsed_ms, const std::string& utc_time) {
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.3f", elapsed_ms);
    std::string out = "{\"time\":" + json_string(utc_time) + ",\"ms\":" + ms +
                      ",\"device\":" + json_string(e.device) + field("connection", e.connection) +
                      field("transaction", e.request.transaction) +
                      field("protocol", e.request.protocol) + field("unit", e.request.unit);
    std::string pdu = describe_pdu(e.request.pdu);
    if (!pdu.empty()) out += "," + pdu;
    out += ",\"answer\":" + json_string(e.answer);
    if (e.answer == "exception") out += field("exception", e.exception);
    if (e.delay_ms > 0) out += field("delay", e.delay_ms);
    if (!e.reason.empty()) out += ",\"reason\":" + json_string(e.reason);
    return out + "}";
}

RequestLog::~RequestLog() {
    if (owned_ && file_) std::fclose(file_);
}

std::string RequestLog::open(const std::string& path) {
    if (path == "-") {
        file_ = stdout;
        return "";
    }
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) return path + ": " + std::strerror(errno);
    owned_ = true;
    return "";
}

void RequestLog::write(const LogEntry& entry) {
    if (!file_) return;
    double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - kStarted).count();
    std::string line = format_entry(entry, elapsed, utc_now());
    std::fputs(line.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

void RequestLog::write_members(const std::string& members) {
    if (!file_) return;
    double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - kStarted).count();
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.3f", elapsed);
    std::string line = "{\"time\":" + json_string(utc_now()) + ",\"ms\":" + ms + members + "}";
    std::fputs(line.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

} // namespace tevronsim
