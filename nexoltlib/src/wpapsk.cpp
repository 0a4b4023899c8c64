// WPA pre-shared key: PBKDF2-HMAC-SHA1 of passphrase and SSID, or 64 hex digits taken as is.
#include "nexoltlib/nexoltlib.h"

#include <openssl/evp.h>

#include <cstring>

namespace {

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A 64-character key that is not valid hex gives zeros rather than a guessed key.
void read_hex_key(uint8_t* key, const char* hex) {
    for (int i = 0; i < 32; ++i) {
        int high = hex_value(hex[2 * i]), low = hex_value(hex[2 * i + 1]);
        if (high < 0 || low < 0) {
            std::memset(key, 0, 32);
            return;
        }
        key[i] = uint8_t(high * 16 + low);
    }
}

} // namespace

extern "C" void make_wpapsk_key(uint8_t* key, const char* passphrase, const char* ssid) {
    if (!key) return;
    std::memset(key, 0, 32);
    if (!passphrase) return;
    size_t length = strnlen(passphrase, 65);
    if (length == 64) return read_hex_key(key, passphrase);
    if (length > 64) return;
    const char* salt = ssid ? ssid : "";
    PKCS5_PBKDF2_HMAC_SHA1(passphrase, int(length), reinterpret_cast<const unsigned char*>(salt),
                           int(strnlen(salt, 32)), 4096, 32, key);
}
