#include "text.h"

#include <cstring>

namespace kestrel {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Length of the sequence starting with lead and the bits it carries, or 0 when invalid.
size_t sequence_length(uint8_t lead, char32_t& bits) {
    if (lead < 0x80) return bits = lead, 1;
    if ((lead & 0xE0) == 0xC0) return bits = lead & 0x1F, 2;
    if ((lead & 0xF0) == 0xE0) return bits = lead & 0x0F, 3;
    if ((lead & 0xF8) == 0xF0) return bits = lead & 0x07, 4;
    return 0;
}

bool well_formed(char32_t c, size_t length) {
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    return c >= kMinimum[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

// Decodes one character at field[i], advancing i past what it used.
char32_t next_character(const uint8_t* field, size_t end, size_t& i) {
    char32_t c = 0;
    size_t length = sequence_length(field[i], c);
    if (length == 0 || i + length > end) return ++i, kReplacement;
    for (size_t k = 1; k < length; ++k) {
        if ((field[i + k] & 0xC0) != 0x80) return ++i, kReplacement;
        c = (c << 6) | (field[i + k] & 0x3F);
    }
    i += length;
    return well_formed(c, length) ? c : kReplacement;
}

void append_utf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) return out.push_back(char16_t(c));
    c -= 0x10000;
    out.push_back(char16_t(0xD800 + (c >> 10)));
    out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
}

// The UTF-8 bytes of the character at text[i] (a lone surrogate becomes U+FFFD).
std::string utf8_of(const std::u16string& text, size_t& i) {
    char32_t c = text[i++];
    if (c >= 0xD800 && c < 0xDC00 && i < text.size() && text[i] >= 0xDC00 && text[i] < 0xE000)
        c = 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
        c = kReplacement;
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace

std::u16string utf16_from_field(const uint8_t* field, size_t length) {
    size_t end = 0;
    while (end < length && field[end] != 0)
        ++end;
    std::u16string out;
    for (size_t i = 0; i < end;)
        append_utf16(out, next_character(field, end, i));
    return out;
}

void utf8_into_field(const std::u16string& text, uint8_t* field, size_t length) {
    std::memset(field, 0, length);
    size_t used = 0;
    for (size_t i = 0; i < text.size();) {
        std::string bytes = utf8_of(text, i);
        if (used + bytes.size() > length) break;
        std::memcpy(field + used, bytes.data(), bytes.size());
        used += bytes.size();
    }
}

} // namespace kestrel
