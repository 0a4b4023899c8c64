#include "support.h"

#include "socket_window.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace corvel_test {
namespace {

void record(corvel_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    auto* recorder = static_cast<Recorder*>(window);
    Notice notice{message, static_cast<int32_t>(wparam), lparam};
    recorder->notices.push_back(notice);
    if (recorder->on_notice) recorder->on_notice(notice);
}

using Clock = std::chrono::steady_clock;

sockaddr_storage loopback(bool ipv6, int port, socklen_t& length) {
    sockaddr_storage storage{};
    if (ipv6) {
        auto* address = reinterpret_cast<sockaddr_in6*>(&storage);
        address->sin6_family = AF_INET6;
        address->sin6_addr = in6addr_loopback;
        address->sin6_port = htons(static_cast<uint16_t>(port));
        length = sizeof(sockaddr_in6);
    } else {
        auto* address = reinterpret_cast<sockaddr_in*>(&storage);
        address->sin_family = AF_INET;
        address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address->sin_port = htons(static_cast<uint16_t>(port));
        length = sizeof(sockaddr_in);
    }
    return storage;
}

} // namespace

Recorder::Recorder() {
    proc = record;
}

bool Recorder::has(uint32_t message, intptr_t lparam) const {
    return count(message, lparam) > 0;
}

size_t Recorder::count(uint32_t message, intptr_t lparam) const {
    size_t n = 0;
    for (const auto& notice : notices)
        if (notice.message == message && notice.lparam == lparam) ++n;
    return n;
}

std::vector<intptr_t> Recorder::data_codes() const {
    std::vector<intptr_t> codes;
    for (const auto& notice : notices)
        if (notice.message == CORVEL_WM_DATA) codes.push_back(notice.lparam);
    return codes;
}

bool pump_until(const std::function<bool()>& condition, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!condition()) {
        if (Clock::now() > deadline) return false;
        corvel_dispatch(10);
    }
    return true;
}

void pump_for(int milliseconds) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < deadline)
        corvel_dispatch(5);
}

Bytes hex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    std::string item;
    while (in >> item)
        bytes.push_back(static_cast<uint8_t>(std::stoul(item, nullptr, 16)));
    return bytes;
}

RawPeer::RawPeer(bool ipv6) {
    listen_on_loopback(ipv6, nullptr);
}

RawPeer::RawPeer(SmallWindow window) {
    listen_on_loopback(false, &window);
}

void RawPeer::listen_on_loopback(bool ipv6, const SmallWindow* window) {
    listener_ = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    if (window) shrink_window(listener_, window->receive_buffer, window->max_segment);
    socklen_t length;
    sockaddr_storage address = loopback(ipv6, 0, length);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
    listen(listener_, 4);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&address)->sin6_port
                       : reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}

RawPeer::~RawPeer() {
    close_client();
    ::close(listener_);
}

bool RawPeer::accept_client(int timeout_ms) {
    return pump_until(
        [&] {
            pollfd p{listener_, POLLIN, 0};
            if (poll(&p, 1, 0) != 1) return false;
            client_ = accept(listener_, nullptr, nullptr);
            return client_ >= 0;
        },
        timeout_ms);
}

Bytes RawPeer::read_exact(size_t count, int timeout_ms) {
    Bytes bytes;
    pump_until(
        [&] {
            pollfd p{client_, POLLIN, 0};
            if (poll(&p, 1, 0) != 1) return false;
            uint8_t buffer[8192];
            const ssize_t n =
                recv(client_, buffer, std::min(count - bytes.size(), sizeof buffer), 0);
            if (n <= 0) return true;
            bytes.insert(bytes.end(), buffer, buffer + n);
            return bytes.size() >= count;
        },
        timeout_ms);
    return bytes;
}

bool RawPeer::has_data() const {
    pollfd p{client_, POLLIN, 0};
    return poll(&p, 1, 0) == 1;
}

bool RawPeer::nothing_more(int wait_ms) {
    pump_for(wait_ms);
    pollfd p{client_, POLLIN, 0};
    return poll(&p, 1, 0) == 0;
}

Bytes RawPeer::read_quietly(int quiet_ms, int limit_ms) {
    Bytes bytes;
    const auto deadline = Clock::now() + std::chrono::milliseconds(limit_ms);
    pollfd p{client_, POLLIN, 0};
    while (Clock::now() < deadline && poll(&p, 1, quiet_ms) == 1) {
        uint8_t buffer[8192];
        const ssize_t n = recv(client_, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

bool RawPeer::read_until_closed(Bytes& bytes, int timeout_ms) {
    return pump_until(
        [&] {
            pollfd p{client_, POLLIN, 0};
            if (poll(&p, 1, 0) != 1) return false;
            uint8_t buffer[8192];
            const ssize_t n = recv(client_, buffer, sizeof buffer, 0);
            if (n <= 0) return true;
            bytes.insert(bytes.end(), buffer, buffer + n);
            return false;
        },
        timeout_ms);
}

void RawPeer::write(const Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = send(client_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

void RawPeer::close_client() {
    if (client_ >= 0) ::close(client_);
    client_ = -1;
}

void RawPeer::reset_client() {
    linger option{1, 0};
    setsockopt(client_, SOL_SOCKET, SO_LINGER, &option, sizeof option);
    close_client();
}

const char16_t* const UNRESOLVABLE_HOST =
    u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.invalid";

int closed_port() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    socklen_t length;
    sockaddr_storage address = loopback(false, 0, length);
    bind(s, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    const int port = ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    ::close(s);
    return port;
}

int connect_to(int port, bool ipv6) {
    const int s = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    socklen_t length;
    sockaddr_storage address = loopback(ipv6, port, length);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

bool connect_client(Recorder& window, int32_t key, RawPeer& peer, int input_base, int output_base,
                    int unit_id) {
    if (add_device(&window, key, u"127.0.0.1", CORVEL_MODE_CLIENT, peer.port(), unit_id, input_base,
                   output_base) != CORVEL_OK)
        return false;
    int32_t error = 0;
    if (connect_device(key, &error) != CORVEL_OK) return false;
    if (!peer.accept_client()) return false;
    return pump_until([&] { return get_tcp_connection_state(key) == TCP_ESTABLISHED; });
}

bool await_answers(int32_t key, RawPeer& peer, int count) {
    int32_t error = 0;
    for (int i = 0; i < count; ++i) {
        if (read_discrete_inputs(key, 8, &error, 0) != CORVEL_OK) return false;
    }
    return peer.read_exact(12u * static_cast<size_t>(count)).size() == 12u * size_t(count);
}

} // namespace corvel_test
