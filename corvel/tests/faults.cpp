#include "faults.h"

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
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
