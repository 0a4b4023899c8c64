#include "answer_servers.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t REQUEST = 12, ANSWER = 10;
// An answer to a read of 8 coils: transaction (filled in), protocol 0, length 4, unit 1,
// function 1, one byte of coils.
constexpr uint8_t ANSWER_TEMPLATE[ANSWER] = {0, 0, 0, 0, 0, 4, 1, 1, 1, 5};

void answer_to(const uint8_t* request, uint8_t* answer) {
    std::memcpy(answer, ANSWER_TEMPLATE, ANSWER);
    answer[0] = request[0];
    answer[1] = request[1];
}

template <class Serve> ServerProcess fork_server(Serve serve) {
    ServerProcess server;
    const int listener = listen_on_free_port(server.port);
    server.pid = fork();
    if (server.pid == 0) {
        serve(listener);
        _exit(0);
    }
    close(listener);
    return server;
}

[[noreturn]] void serve_pingpong(int listener) {
    for (;;) {
        const int client = accept(listener, nullptr, nullptr);
        if (client < 0) continue;
        uint8_t request[REQUEST], answer[ANSWER];
        while (recv(client, request, REQUEST, MSG_WAITALL) == ssize_t(REQUEST)) {
            answer_to(request, answer);
            if (send(client, answer, ANSWER, MSG_NOSIGNAL) != ssize_t(ANSWER)) break;
        }
        close(client);
    }
}

// The bytes of one connection that do not yet make a whole request.
struct Partial {
    uint8_t bytes[REQUEST];
    size_t size = 0;
};

// Answers every whole request read from the client; false when the connection ended.
bool answer_ready(int client, Partial& partial) {
    uint8_t input[4096];
    const ssize_t received = recv(client, input, sizeof input, MSG_DONTWAIT);
    if (received <= 0) return received < 0 && errno == EAGAIN;
    std::vector<uint8_t> answers;
    for (ssize_t i = 0; i < received; ++i) {
        partial.bytes[partial.size++] = input[i];
        if (partial.size < REQUEST) continue;
        answers.resize(answers.size() + ANSWER);
        answer_to(partial.bytes, answers.data() + answers.size() - ANSWER);
        partial.size = 0;
    }
    return answers.empty() ||
           send(client, answers.data(), answers.size(), MSG_NOSIGNAL) == ssize_t(answers.size());
}

[[noreturn]] void serve_many(int listener) {
    raise_descriptor_limit();
    const int epoll = epoll_create1(0);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = listener;
    epoll_ctl(epoll, EPOLL_CTL_ADD, listener, &event);
    std::vector<Partial> partials;
    epoll_event ready[256];
    for (;;) {
        const int count = epoll_wait(epoll, ready, 256, -1);
        for (int i = 0; i < count; ++i) {
            const int fd = ready[i].data.fd;
            if (fd == listener) {
                const int client = accept(listener, nullptr, nullptr);
                if (client < 0) continue;
                if (size_t(client) >= partials.size()) partials.resize(size_t(client) + 1);
                partials[size_t(client)] = Partial{};
                event.data.fd = client;
                epoll_ctl(epoll, EPOLL_CTL_ADD, client, &event);
            } else if (!answer_ready(fd, partials[size_t(fd)])) {
                close(fd);
            }
        }
    }
}

} // namespace

ServerProcess start_pingpong_server() {
    return fork_server(serve_pingpong);
}

ServerProcess start_answer_server() {
    return fork_server(serve_many);
}

long raise_descriptor_limit() {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    return long(limit.rlim_cur);
}
