// Clients that do nothing but move the bytes: what Corvel's figures are held against.
#pragma once

#include <vector>

// Round trips per second of a blocking client against a ping-pong server for the time given.
double bare_pingpong_rate(int port, double seconds);

struct PolledFigures {
    int connected = 0;
    long answered = 0, expected = 0;
    double cpu_per_answer_us = 0;
    double worst_latency_ms = 0;
};

// `count` non-blocking sockets spread over the answering peers' ports, each sent one 12-byte
// request a second for `seconds` from a thread walking them all, the answers read on this
// thread from one epoll descriptor: CPU time of this process per answer and the worst latency.
PolledFigures bare_polled_sockets(const std::vector<int>& ports, int count, int seconds);
