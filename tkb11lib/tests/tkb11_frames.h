// Answer frames laid out by hand from the table in tkb11lib.h, for the tests.
#pragma once

#include "udp_peer.h"

#include <cstdint>
#include <cstring>

namespace tkb11::test {

using discovery::test::Bytes;

inline void put(Bytes& b, size_t at, const Bytes& bytes) {
    std::memcpy(b.data() + at, bytes.data(), bytes.size());
}

inline void put_text(Bytes& b, size_t at, const char* text) {
    std::memcpy(b.data() + at, text, std::strlen(text));
}

// A good search or read answer (opcode 0x81 / 0x82) of the device 02:00:00:00:00:0B at
// 10.1.0.11: Modbus port 502, unit 3, bases 0 and 8, comment "boiler", names "door", "lamp".
inline Bytes tkb11_answer(uint8_t opcode) {
    Bytes b(200, 0);
    put(b, 0, {'T', 'K', '1', '1', 0x01, opcode, 0x00, 0x00, 0x00, 0x00});
    put(b, 10, {0x02, 0x00, 0x00, 0x00, 0x00, 0x0B});
    put(b, 16 + 0, {10, 1, 0, 11});                       // address
    put(b, 16 + 4, {0x02, 0x00, 0x00, 0x00, 0x00, 0x0B}); // MAC
    put(b, 16 + 12, {255, 255, 255, 0});                  // mask
    put(b, 16 + 22, {0x01, 0xF6});                        // client port 502
    put(b, 16 + 24, {0x01, 0xF7});                        // server port 503
    b[16 + 104] = 1;                                      // mode
    b[16 + 106] = 3;                                      // unit id
    put(b, 16 + 112, {0x00, 0x00});                       // input base
    put(b, 16 + 114, {0x00, 0x08});                       // output base
    put_text(b, 16 + 120, "boiler");
    put_text(b, 16 + 152, "door");
    put_text(b, 16 + 168, "lamp");
    return b;
}

} // namespace tkb11::test
