#include "connection.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tevronsim {

namespace {
// Caps the work of one wakeup so that one busy client cannot starve the others.
constexpr std::size_t kReadChunk = 4096;
constexpr int kReadsPerWakeup = 16;
// A client that keeps sending but never reads would make the answers pile up without end.
constexpr std::size_t kMaxUnsent = 1 << 20;
constexpr std::size_t kMaxDelayed = 4096;
} // namespace

Connection::Connection(EventLoop& loop, int fd, int id, FrameHandler on_frame,
                       CloseHandler on_close)
    : loop_(loop), fd_(fd), id_(id), on_frame_(std::move(on_frame)),
      on_close_(std::move(on_close)) {
    loop_.watch(fd_, POLLIN, [this](short revents) { on_events(revents); });
}

Connection::~Connection() {
    if (timer_) loop_.cancel_timer(timer_);
    if (close_timer_) loop_.cancel_timer(close_timer_);
    if (fd_ >= 0) {
        loop_.unwatch(fd_);
        ::close(fd_);
    }
}

void Connection::close(const std::string& why) {
    if (fd_ < 0) return;
    loop_.unwatch(fd_);
    ::close(fd_);
    fd_ = -1;
    if (timer_) loop_.cancel_timer(timer_);
    timer_ = 0;
    close_timer_ = loop_.add_timer(std::chrono::milliseconds(0), [this, why] {
        close_timer_ = 0;
        on_close_(*this, why);
    });
}

void Connection::on_events(short revents) {
    if (revents & (POLLIN | POLLHUP | POLLERR)) read_some();
    if (open() && (revents & POLLOUT)) flush();
}

void Connection::read_some() {
    std::uint8_t buf[kReadChunk];
    for (int i = 0; i < kReadsPerWakeup && open(); ++i) {
        ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n == 0) return close("closed by peer");
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return;
            return close(std::strerror(errno));
        }
        reader_.feed({buf, static_cast<std::size_t>(n)});
        while (open()) {
            auto frame = reader_.next();
            if (!frame) break;
            on_frame_(*this, std::move(*frame));
        }
        if (reader_.failed()) {
            // Hand the broken header on so that it is logged, then give up the stream.
            Frame broken;
            const auto& h = reader_.failed_header();
            broken.transaction = get_u16(h, 0);
            broken.protocol = get_u16(h, 2);
            broken.unit = h[6];
            broken.error = reader_.error();
            on_frame_(*this, std::move(broken));
            return close(reader_.error());
        }
    }
}

void Connection::send(Bytes bytes, int delay_ms) {
    if (!open()) return;
    if (pending_.size() >= kMaxDelayed) return close("peer sends faster than the delay allows");
    auto due = Clock::now() + std::chrono::milliseconds(delay_ms);
    if (!pending_.empty() && pending_.back().due > due) due = pending_.back().due;
    pending_.push_back({due, std::move(bytes)});
    release_due();
}

void Connection::release_due() {
    auto now = Clock::now();
    while (!pending_.empty() && pending_.front().due <= now) {
        auto& b = pending_.front().bytes;
        out_.insert(out_.end(), b.begin(), b.end());
        pending_.pop_front();
    }
    flush();
    if (out_.size() > kMaxUnsent) return close("peer does not read its answers");
    if (open()) arm_timer();
}

void Connection::arm_timer() {
    if (timer_ || pending_.empty()) return;
    timer_ = loop_.add_timer(pending_.front().due, [this] {
        timer_ = 0;
        release_due();
    });
}

void Connection::flush() {
    while (open() && !out_.empty()) {
        ssize_t n = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            return close(std::strerror(errno));
        }
        out_.erase(out_.begin(), out_.begin() + n);
    }
    if (open()) loop_.set_events(fd_, out_.empty() ? POLLIN : POLLIN | POLLOUT);
}

} // namespace tevronsim
