#include "answering_peer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <random>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace corvel_test {
namespace {

constexpr size_t HEADER = 6;

void watch(int epoll, int socket) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = socket;
    epoll_ctl(epoll, EPOLL_CTL_ADD, socket, &event);
}

void write_all(int socket, const Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = send(socket, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

} // namespace

uint16_t start_address(const Bytes& request) {
    return static_cast<uint16_t>(request[8] << 8 | request[9]);
}

Bytes bit_answer(const Bytes& request) {
    return Bytes{request[0], request[1], 0x00,       0x00, 0x00,
                 0x04,       request[6], request[7], 0x01, request[9]};
}

Bytes address_and_id_answer(const Bytes& request) {
    return Bytes{request[0], request[1], 0x00,       0x00,       0x00,       0x07,      request[6],
                 0x04,       0x04,       request[8], request[9], request[0], request[1]};
}

AnsweringPeer::AnsweringPeer(AnswerFunction answer) : answer_(std::move(answer)) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
    listen(listener_, SOMAXCONN);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    epoll_ = epoll_create1(0);
    watch(epoll_, listener_);
    thread_ = std::thread([this] { run(); });
}

AnsweringPeer::~AnsweringPeer() {
    stop_ = true;
    thread_.join();
    for (const auto& [socket, connection] : connections_)
        ::close(socket);
    ::close(epoll_);
    ::close(listener_);
}

void AnsweringPeer::run() {
    constexpr int CAPACITY = 256;
    epoll_event ready[CAPACITY];
    while (!stop_) {
        const int count = epoll_wait(epoll_, ready, CAPACITY, 10);
        std::lock_guard lock(mutex_);
        for (int i = 0; i < count; ++i) {
            if (ready[i].data.fd == listener_)
                accept_all();
            else
                on_readable(ready[i].data.fd);
        }
    }
}

void AnsweringPeer::accept_all() {
    for (;;) {
        const int socket = accept(listener_, nullptr, nullptr);
        if (socket < 0) return;
        connections_[socket] = Connection{};
        ++accepted_;
        watch(epoll_, socket);
    }
}

void AnsweringPeer::on_readable(int socket) {
    auto found = connections_.find(socket);
    if (found == connections_.end()) return;
    Connection& connection = found->second;
    uint8_t buffer[4096];
    const ssize_t n = recv(socket, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN)) {
        close_connection(socket);
        return;
    }
    if (n < 0) return;
    Bytes& pending = connection.pending;
    pending.insert(pending.end(), buffer, buffer + n);
    size_t at = 0;
    while (pending.size() - at >= HEADER && pending.size() - at >= HEADER + pending[at + 5]) {
        const size_t size = HEADER + pending[at + 5];
        on_request(socket, connection, Bytes(pending.begin() + at, pending.begin() + at + size));
        at += size;
    }
    pending.erase(pending.begin(), pending.begin() + at);
}

void AnsweringPeer::on_request(int socket, Connection& connection, const Bytes& request) {
    if (connection.address < 0) connection.address = start_address(request);
    if (!holding_) {
        respond(socket, request);
        return;
    }
    connection.kept.push_back(request);
    kept_order_.push_back(socket);
}

void AnsweringPeer::respond(int socket, const Bytes& request) {
    write_all(socket, answer_(request));
    ++answered_;
}

void AnsweringPeer::close_connection(int socket) {
    epoll_ctl(epoll_, EPOLL_CTL_DEL, socket, nullptr);
    const int address = connections_[socket].address;
    if (address >= 0) closed_.insert(static_cast<uint16_t>(address));
    connections_.erase(socket);
    kept_order_.erase(std::remove(kept_order_.begin(), kept_order_.end(), socket),
                      kept_order_.end());
    ::close(socket);
}

void AnsweringPeer::hold() {
    std::lock_guard lock(mutex_);
    holding_ = true;
}

size_t AnsweringPeer::held() const {
    std::lock_guard lock(mutex_);
    return kept_order_.size();
}

void AnsweringPeer::release(unsigned seed) {
    std::lock_guard lock(mutex_);
    std::shuffle(kept_order_.begin(), kept_order_.end(), std::mt19937(seed));
    for (const int socket : kept_order_) {
        std::deque<Bytes>& kept = connections_.at(socket).kept;
        respond(socket, kept.front());
        kept.pop_front();
    }
    kept_order_.clear();
    holding_ = false;
}

size_t AnsweringPeer::connections() const {
    std::lock_guard lock(mutex_);
    return accepted_;
}

size_t AnsweringPeer::answered() const {
    std::lock_guard lock(mutex_);
    return answered_;
}

std::set<uint16_t> AnsweringPeer::closed_addresses() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

} // namespace corvel_test
