// CRC-16 check values, the RC4 keystream and the WPA key derivation against published vectors.
#include "rc4.h"

#include "nexoltlib/nexoltlib.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

namespace {

std::string hex(const uint8_t* p, size_t n) {
    std::string out;
    char two[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(two, sizeof two, "%02x", p[i]);
        out += two;
    }
    return out;
}

TEST(Crc16, PublishedCheckValues) {
    EXPECT_EQ(crc16("123456789", 9), 0xE5CC);
    EXPECT_EQ(crc16("abc", 3), 0x8CDA);
    EXPECT_EQ(crc16("", 0), 0x1D0F);
    EXPECT_EQ(crc16(nullptr, 0), 0x1D0F);
}

TEST(Rc4, PublishedKeystream) {
    struct Case {
        const char *key, *plain, *cipher;
    } cases[] = {
        {"Key", "Plaintext", "bbf316e8d940af0ad3"},
        {"Wiki", "pedia", "1021bf0420"},
        {"Secret", "Attack at dawn", "45a01f645fc35b383552544b9bf5"},
    };
    for (const auto& c : cases) {
        std::string plain = c.plain;
        std::vector<uint8_t> out(plain.size());
        nexolt::rc4(reinterpret_cast<const uint8_t*>(c.key), std::strlen(c.key),
                    reinterpret_cast<const uint8_t*>(plain.data()), out.data(), out.size());
        EXPECT_EQ(hex(out.data(), out.size()), c.cipher) << c.key;
    }
}

TEST(Rc4, PayloadCipherIsItsOwnInverseAndDependsOnCrc) {
    std::vector<uint8_t> plain(300);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = uint8_t(i * 7);
    std::vector<uint8_t> a(plain.size()), b(plain.size()), back(plain.size());
    rc4_crypt_data(0x1234, plain.data(), int(plain.size()), a.data());
    rc4_crypt_data(0x1235, plain.data(), int(plain.size()), b.data());
    EXPECT_NE(a, plain);
    EXPECT_NE(a, b);
    rc4_crypt_data(0x1234, a.data(), int(a.size()), back.data());
    EXPECT_EQ(back, plain);
    // In place works as well.
    rc4_crypt_data(0x1234, a.data(), int(a.size()), a.data());
    EXPECT_EQ(a, plain);
}

TEST(WpaPsk, Ieee80211iTestVectors) {
    struct Case {
        const char *passphrase, *ssid, *key;
    } cases[] = {
        {"password", "IEEE", "f42c6fc52df0ebef9ebb4b90b38a5f902e83fe1b135a70e23aed762e9710a12e"},
        {"ThisIsAPassword", "ThisIsASSID",
         "0dc0d6eb90555ed6419756b9a15ec3e3209b63df707dd508d14581f8982721af"},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ",
         "becb93866bb8c3832cb777c2f559807c8c59afcb6eae734885001300a981cc62"},
    };
    for (const auto& c : cases) {
        uint8_t key[32];
        make_wpapsk_key(key, c.passphrase, c.ssid);
        EXPECT_EQ(hex(key, 32), c.key) << c.passphrase;
    }
}

TEST(WpaPsk, SixtyFourHexDigitsAreTheKeyItself) {
    std::string spelled = "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF";
    uint8_t key[32];
    make_wpapsk_key(key, spelled.c_str(), "any");
    EXPECT_EQ(hex(key, 32), "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff");

    std::string hashed = spelled.substr(0, 63);
    make_wpapsk_key(key, hashed.c_str(), "any");
    EXPECT_NE(hex(key, 32).substr(0, 62), spelled.substr(0, 62));

    const std::vector<uint8_t> zeros(32, 0);
    std::string too_long(65, 'a');
    make_wpapsk_key(key, too_long.c_str(), "any");
    EXPECT_EQ(std::vector<uint8_t>(key, key + 32), zeros);
    std::string not_hex(64, 'g');
    make_wpapsk_key(key, not_hex.c_str(), "any");
    EXPECT_EQ(std::vector<uint8_t>(key, key + 32), zeros);
}

} // namespace
