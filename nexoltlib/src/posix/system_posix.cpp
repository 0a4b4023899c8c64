#include "posix/system.h"

#include <arpa/inet.h>
#include <cerrno>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace nexolt::sys {

namespace {

sockaddr_in to_sockaddr(Endpoint e) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = e.address;
    a.sin_port = htons(e.port);
    return a;
}

} // namespace

int read_address_rows(std::vector<AddressRow>& rows) {
    rows.clear();
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return errno;
    for (ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP)) continue;
        uint32_t address = reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &address, text, sizeof text);
        rows.push_back({if_nametoindex(i->ifa_name), address, text});
    }
    freeifaddrs(list);
    return 0;
}

int udp_open(bool broadcast, int& fd) {
    fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return errno;
    int on = 1;
    if ((broadcast && setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) ||
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
        int error = errno;
        close(fd);
        fd = -1;
        return error;
    }
    // Hundreds of devices answer one search at once, each several times and in fragments;
    // the default buffer drops most of them. The system caps the size at its maximum.
    int buffer = 4 << 20;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    return 0;
}

int udp_bind(int fd, Endpoint local) {
    sockaddr_in a = to_sockaddr(local);
    return bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? 0 : errno;
}

int udp_send(int fd, Endpoint destination, const uint8_t* data, size_t length) {
    sockaddr_in a = to_sockaddr(destination);
    for (;;) {
        if (sendto(fd, data, length, 0, reinterpret_cast<sockaddr*>(&a), sizeof a) >= 0) return 0;
        if (errno != EINTR) return errno;
    }
}

int udp_report_arrival(int fd) {
    int on = 1;
    return setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) == 0 ? 0 : errno;
}

long udp_receive(int fd, uint8_t* buffer, size_t size, Endpoint& source, unsigned& arrival_index) {
    sockaddr_in a{};
    iovec iov{buffer, size};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr msg{};
    msg.msg_name = &a;
    msg.msg_namelen = sizeof a;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    ssize_t n;
    do {
        n = recvmsg(fd, &msg, MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return -1;
    source = {a.sin_addr.s_addr, ntohs(a.sin_port)};
    arrival_index = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c))
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO)
            arrival_index = unsigned(reinterpret_cast<in_pktinfo*>(CMSG_DATA(c))->ipi_ifindex);
    return long(n);
}

void close_socket(int fd) {
    if (fd >= 0) close(fd);
}

int wait_readable(const std::vector<int>& fds, int timeout_ms, int& error) {
    std::vector<pollfd> polled;
    for (int fd : fds)
        polled.push_back({fd, POLLIN, 0});
    error = 0;
    uint64_t deadline = now_ms() + uint64_t(std::max(timeout_ms, 0));
    for (;;) {
        int left = int(std::max<int64_t>(int64_t(deadline) - int64_t(now_ms()), 0));
        int n = poll(polled.data(), polled.size(), left);
        if (n == 0) return -1;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return error = errno, -1;
        for (size_t i = 0; i < polled.size(); ++i)
            if (polled[i].revents & (POLLIN | POLLERR)) return int(i);
        return -1;
    }
}

uint64_t now_ms() {
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void pause_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace nexolt::sys
