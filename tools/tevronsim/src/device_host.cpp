#include "device_host.h"

#include "change_report.h"
#include "net.h"
#include "request_handler.h"

#include <unistd.h>

#include <cstdio>

namespace tevronsim {

namespace {
// A small controller serves a handful of clients; further ones are closed at once.
constexpr std::size_t kMaxConnections = 8;
int next_connection_id = 1;
} // namespace

DeviceHost::DeviceHost(EventLoop& loop, RequestLog& log, DeviceConfig config)
    : loop_(loop), log_(log), device_(std::move(config)) {}

DeviceHost::~DeviceHost() {
    if (pulse_timer_) loop_.cancel_timer(pulse_timer_);
}

std::string DeviceHost::start() {
    const auto& ep = device_.config().endpoint;
    if (ep.role == Endpoint::Role::Client) {
        connector_.emplace(loop_, ep.host, ep.port, [this](int fd) { adopt(fd); });
        connector_->start();
        return "";
    }
    listener_.emplace(loop_, [this](int fd) { adopt(fd); });
    std::string error = listener_->open(ep.host, ep.port);
    return error.empty() ? "" : device_.name() + ": " + error;
}

std::string DeviceHost::endpoint_text() const {
    const auto& ep = device_.config().endpoint;
    if (ep.role == Endpoint::Role::Client) return "client " + format_endpoint(ep.host, ep.port);
    return "server " + format_endpoint(ep.host, listener_ ? listener_->port() : ep.port);
}

std::size_t DeviceHost::connection_count() const {
    std::size_t n = 0;
    for (const auto& [id, c] : connections_)
        n += c->open();
    return n;
}

void DeviceHost::adopt(int fd) {
    std::string peer = peer_text(fd);
    if (device_.faults().refuse || connection_count() >= kMaxConnections) {
        ::close(fd);
        std::fprintf(stderr, "%s: connection with %s refused\n", device_.name().c_str(),
                     peer.c_str());
        if (connector_) connector_->lost();
        return;
    }
    int id = next_connection_id++;
    std::fprintf(stderr, "%s: connection %d with %s\n", device_.name().c_str(), id, peer.c_str());
    connections_[id] = std::make_unique<Connection>(
        loop_, fd, id, [this](Connection& c, Frame f) { on_frame(c, std::move(f)); },
        [this](Connection& c, const std::string& why) { on_closed(c, why); });
}

void DeviceHost::on_closed(Connection& connection, const std::string& why) {
    std::fprintf(stderr, "%s: connection %d closed: %s\n", device_.name().c_str(), connection.id(),
                 why.c_str());
    connections_.erase(connection.id());
    if (connector_ && !device_.faults().refuse) connector_->lost();
}

void DeviceHost::on_frame(Connection& connection, Frame frame) {
    LogEntry entry{device_.name(), connection.id(), std::move(frame), "none", 0, "", 0};
    const Frame& f = entry.request;
    if (!f.error.empty()) {
        entry.reason = f.error;
    } else if (f.protocol != 0) {
        entry.reason = "protocol id";
    } else if (f.unit != device_.config().unit_id) {
        entry.reason = "unit id";
    } else if (device_.faults().silent) {
        entry.reason = "silent";
    } else {
        answer(connection, f, entry);
        return;
    }
    log_.write(entry);
}

void DeviceHost::answer(Connection& connection, const Frame& f, LogEntry& entry) {
    const auto& faults = device_.faults();
    IoState before = device_.io();
    Bytes pdu;
    if (faults.exception != 0) {
        pdu = exception_pdu(f.pdu[0], faults.exception);
    } else {
        auto now = Clock::now();
        device_.advance(now);
        Outcome outcome = handle_request(device_, f.pdu, now);
        if (outcome.reports) connection.reports_enabled = *outcome.reports;
        pdu = std::move(outcome.pdu);
    }
    bool failed = (pdu[0] & 0x80) != 0;
    entry.answer = failed ? "exception" : "response";
    entry.exception = failed ? pdu[1] : 0;
    entry.delay_ms = faults.delay_ms;
    // Logged before the answer leaves, so a client that saw the answer finds the line.
    log_.write(entry);
    connection.send(encode_frame(f.transaction, f.unit, pdu), faults.delay_ms);
    report_changes(before);
    schedule_pulse_end();
}

void DeviceHost::mutate(const std::function<void(Device&)>& change) {
    IoState before = device_.io();
    change(device_);
    report_changes(before);
    schedule_pulse_end();
}

void DeviceHost::report_changes(const IoState& before) {
    if (device_.faults().silent) return;
    auto reports = change_reports(device_.model(), before, device_.io());
    if (reports.empty()) return;
    for (auto& [id, c] : connections_) {
        if (!c->open() || !c->reports_enabled) continue;
        for (const auto& r : reports) {
            c->send(encode_frame(report_sequence_++, device_.config().unit_id, r),
                    device_.faults().delay_ms);
        }
    }
}

void DeviceHost::schedule_pulse_end() {
    if (pulse_timer_) loop_.cancel_timer(pulse_timer_);
    pulse_timer_ = 0;
    auto deadline = device_.next_deadline();
    if (!deadline) return;
    pulse_timer_ = loop_.add_timer(*deadline, [this] {
        pulse_timer_ = 0;
        mutate([](Device& d) { d.advance(Clock::now()); });
    });
}

void DeviceHost::drop_connections() {
    for (auto& [id, c] : connections_)
        c->close("dropped");
}

std::string DeviceHost::set_refuse(bool on) {
    device_.faults().refuse = on;
    const auto& ep = device_.config().endpoint;
    if (connector_) {
        if (on) {
            connector_->stop();
        } else if (connection_count() == 0) {
            connector_->start();
        }
        return "";
    }
    if (on) {
        listener_->close();
        return "";
    }
    if (listener_->is_open()) return "";
    // Listen again on the port handed out first, so clients find the device where it was.
    std::uint16_t port = listener_->port() ? listener_->port() : ep.port;
    return listener_->open(ep.host, port);
}

void DeviceHost::send_raw(const Bytes& bytes) {
    for (auto& [id, c] : connections_) {
        if (c->open()) c->send(bytes, 0);
    }
}

} // namespace tevronsim
