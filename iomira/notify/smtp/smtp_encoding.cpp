#include "notify/smtp/smtp_encoding.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <array>

namespace iomira::smtp {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

std::string_view untilLineEnd(std::string_view text) {
    const size_t end = text.find_first_of("\r\n ");
    return end == std::string_view::npos ? text : text.substr(0, end);
}

} // namespace

std::string base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
        uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
        if (n > 1) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        if (n > 2) group |= static_cast<uint8_t>(bytes[i + 2]);
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += n > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        out += n > 2 ? kAlphabet[group & 63] : '=';
    }
    return out;
}

std::optional<std::string> base64Decode(std::string_view text) {
    text = untilLineEnd(text);
    if (text.size() % 4 != 0) return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const int fill = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
        if (fill == 1 && text[i + 2] == '=') return std::nullopt;
        uint32_t group = 0;
        for (int k = 0; k < 4 - fill; ++k) {
            const int value = sextet(text[i + k]);
            if (value < 0) return std::nullopt;
            group |= static_cast<uint32_t>(value) << (18 - 6 * k);
        }
        out += static_cast<char>(group >> 16);
        if (fill < 2) out += static_cast<char>((group >> 8) & 0xFF);
        if (fill < 1) out += static_cast<char>(group & 0xFF);
    }
    return out;
}

std::string md5(std::string_view bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_md5(), nullptr);
    return std::string(reinterpret_cast<const char*>(digest.data()), length);
}

std::string hmacMd5(std::string_view key, std::string_view message) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    HMAC(EVP_md5(), key.data(), static_cast<int>(key.size()),
         reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest.data(),
         &length);
    return std::string(reinterpret_cast<const char*>(digest.data()), length);
}

std::string toHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        out += kDigits[static_cast<uint8_t>(c) >> 4];
        out += kDigits[static_cast<uint8_t>(c) & 15];
    }
    return out;
}

} // namespace iomira::smtp
