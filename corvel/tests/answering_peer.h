// A loopback peer for many Corvel connections at once: a thread of its own accepts every
// connection and answers each request frame with a response carrying its transaction id.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "support.h"

namespace corvel_test {

// The response to one request frame (header included).
using AnswerFunction = std::function<Bytes(const Bytes& request)>;

// A bit-read response: tid 00 00 00 04 unit function 01 value, the value being the low byte
// of the request's start address.
Bytes bit_answer(const Bytes& request);

// An input-register response with two registers: the request's start address and its
// transaction id.
Bytes address_and_id_answer(const Bytes& request);

// The start address of a read request.
uint16_t start_address(const Bytes& request);

class AnsweringPeer {
  public:
    explicit AnsweringPeer(AnswerFunction answer = bit_answer);
    ~AnsweringPeer(); // stops the thread and closes every socket
    AnsweringPeer(const AnsweringPeer&) = delete;
    AnsweringPeer& operator=(const AnsweringPeer&) = delete;

    int port() const { return port_; }
    size_t connections() const; // accepted so far
    size_t answered() const;    // responses written so far

    // From hold() on, requests are kept instead of answered.
    void hold();
    size_t held() const;
    // Answers every kept request, interleaving the connections in an order shuffled with the
    // seed but each connection's requests in the order they came (as TCP delivers them), and
    // answers at once again from then on.
    void release(unsigned seed);

    // The start addresses of the first request of each connection the other side has closed.
    std::set<uint16_t> closed_addresses() const;

  private:
    struct Connection {
        Bytes pending; // bytes of a request not complete yet
        int address = -1;
        std::deque<Bytes> kept;
    };

    void run();
    void accept_all();
    void on_readable(int socket);
    void on_request(int socket, Connection& connection, const Bytes& request);
    void respond(int socket, const Bytes& request);
    void close_connection(int socket);

    AnswerFunction answer_;
    int listener_ = -1;
    int epoll_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_; // guards everything below
    std::map<int, Connection> connections_;
    std::vector<int> kept_order_; // the socket of each kept request, in arrival order
    bool holding_ = false;
    size_t accepted_ = 0;
    size_t answered_ = 0;
    std::set<uint16_t> closed_;
    std::thread thread_;
};

} // namespace corvel_test
