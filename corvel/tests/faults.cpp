#include "faults.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <netdb.h>
#include <new>
#include <string_view>
#include <sys/socket.h>

namespace corvel_test {
namespace {

struct ArmedFailure {
    std::atomic<int> remaining{0};
    std::atomic<int> error{0};

    // True (with errno set) when this call is one of the armed failures.
    bool fire() {
        int left = remaining.load();
        while (left > 0)
            if (remaining.compare_exchange_weak(left, left - 1)) {
                errno = error.load();
                return true;
            }
        return false;
    }
};

ArmedFailure accepts;
ArmedFailure keepalives;

// Counts down this thread's allocations while an AllocationFailure is alive: 0 is unarmed.
thread_local int allocations_until_failure = 0;
thread_local bool allocation_failed = false;

struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;
    int reached = 0;
    int answered = 0;

    bool wait_for(const int Gate::*counter, int count, int timeout_ms) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                [&] { return this->*counter >= count; });
    }
    void count(int Gate::*counter) {
        std::lock_guard lock(mutex);
        ++(this->*counter);
        changed.notify_all();
    }
    void pass() {
        std::unique_lock lock(mutex);
        ++reached;
        changed.notify_all();
        changed.wait_for(lock, std::chrono::seconds(10), [&] { return !closed; });
    }
};

Gate gate;

bool is_test_name(const char* node) {
    const std::string_view name(node ? node : "");
    return name.size() > 5 && name.substr(name.size() - 5) == ".test";
}

template <class Function> Function* next_definition(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

} // namespace

void fail_next_accepts(int count, int error) {
    accepts.error = error;
    accepts.remaining = count;
}

void fail_next_keepalives(int count, int error) {
    keepalives.error = error;
    keepalives.remaining = count;
}

AllocationFailure::AllocationFailure(int nth) {
    allocation_failed = false;
    allocations_until_failure = nth;
}

AllocationFailure::~AllocationFailure() {
    allocations_until_failure = 0;
}

bool AllocationFailure::failed() const {
    return allocation_failed;
}

LookupGate::LookupGate() {
    std::lock_guard lock(gate.mutex);
    gate.closed = true;
    gate.reached = gate.answered = 0;
}

LookupGate::~LookupGate() {
    open();
}

void LookupGate::open() {
    std::lock_guard lock(gate.mutex);
    gate.closed = false;
    gate.changed.notify_all();
}

bool LookupGate::reached(int count, int timeout_ms) const {
    return gate.wait_for(&Gate::reached, count, timeout_ms);
}

bool LookupGate::answered(int count, int timeout_ms) const {
    return gate.wait_for(&Gate::answered, count, timeout_ms);
}

} // namespace corvel_test

// Seen by the dynamic linker although the project builds with hidden visibility.
#define STAND_IN extern "C" __attribute__((visibility("default")))

using corvel_test::accepts;
using corvel_test::keepalives;

STAND_IN int accept4(int listener, sockaddr* address, socklen_t* length, int flags) {
    static auto* real = corvel_test::next_definition<decltype(accept4)>("accept4");
    if (accepts.fire()) return -1;
    return real(listener, address, length, flags);
}

STAND_IN int setsockopt(int socket, int level, int name, const void* value, socklen_t length) {
    static auto* real = corvel_test::next_definition<decltype(setsockopt)>("setsockopt");
    if (level == SOL_SOCKET && name == SO_KEEPALIVE && keepalives.fire()) return -1;
    return real(socket, level, name, value, length);
}

STAND_IN int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                         addrinfo** result) {
    static auto* real = corvel_test::next_definition<decltype(getaddrinfo)>("getaddrinfo");
    const bool numeric_only = hints && (hints->ai_flags & AI_NUMERICHOST);
    if (!corvel_test::is_test_name(node) || numeric_only) return real(node, service, hints, result);
    corvel_test::gate.pass();
    const int code = std::strcmp(node, "missing.test") == 0
                         ? EAI_NONAME
                         : real("127.0.0.1", service, hints, result);
    corvel_test::gate.count(&corvel_test::Gate::answered);
    return code;
}

void* operator new(std::size_t size) {
    using namespace corvel_test;
    if (allocations_until_failure > 0 && --allocations_until_failure == 0) {
        allocation_failed = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
