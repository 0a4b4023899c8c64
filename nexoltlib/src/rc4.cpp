// Our own RC4: OpenSSL 3 keeps it in the legacy provider, which we do not want to load.
#include "rc4.h"

#include "device_key.h"
#include "nexoltlib/nexoltlib.h"

#include <utility>

namespace nexolt {

void rc4(const uint8_t* key, size_t key_length, const uint8_t* in, uint8_t* out, size_t length) {
    uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = uint8_t(i);
    uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = uint8_t(j + s[i] + key[i % key_length]);
        std::swap(s[i], s[j]);
    }
    uint8_t i = 0;
    j = 0;
    for (size_t n = 0; n < length; ++n) {
        i = uint8_t(i + 1);
        j = uint8_t(j + s[i]);
        std::swap(s[i], s[j]);
        out[n] = in[n] ^ s[uint8_t(s[i] + s[j])];
    }
}

void crypt_payload(uint16_t crc, const uint8_t* in, uint8_t* out, size_t length) {
    uint8_t key[16];
    for (int i = 0; i < 14; ++i)
        key[i] = kDeviceKey[i];
    key[14] = uint8_t(crc);
    key[15] = uint8_t(crc >> 8);
    rc4(key, sizeof key, in, out, length);
}

} // namespace nexolt

extern "C" void rc4_crypt_data(uint16_t crc, const uint8_t* data, int length, uint8_t* out) {
    if (!data || !out || length <= 0) return;
    nexolt::crypt_payload(crc, data, out, size_t(length));
}
