// Checks applied to a record's address and password before it is written.
#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>

extern "C" int check_local_ip(uint32_t address, uint32_t mask) {
    uint32_t a = ntohl(address), m = ntohl(mask);
    uint32_t first = a >> 24;
    if (first == 0 || first == 127 || first >= 224) return 0;
    if (m == 0) return 1;
    uint32_t network = a & m, host = a & ~m;
    if (network == 0 || network == m) return 0;
    if (host == 0 || host == ~m) return 0;
    return 1;
}

extern "C" int passwd_blank_check(const uint8_t* password) {
    if (!password) return 0;
    for (int i = 0; i < 10; ++i)
        if (password[i]) return 1;
    return 0;
}
