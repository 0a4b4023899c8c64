#include "found_device.h"

#include <algorithm>
#include <cstdio>

namespace kestrel {

namespace {

std::u16string widen(const char* ascii) {
    return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii));
}

} // namespace

std::u16string dotted(uint32_t address) {
    const auto* b = reinterpret_cast<const uint8_t*>(&address);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return widen(text);
}

std::u16string information_text(const SearchAnswer& found) {
    const Eui& e = found.eui;
    char eui[24];
    std::snprintf(eui, sizeof eui, "[%02X:%02X:%02X:%02X:%02X:%02X]", e[0], e[1], e[2], e[3], e[4],
                  e[5]);
    std::u16string text = widen(eui);
    if (!found.comment.empty()) text += u" " + found.comment;
    return text + u" - [" + dotted(found.device_address) + u"]";
}

void copy_text(const std::u16string& text, char16_t* buffer, size_t size) {
    size_t n = std::min(text.size(), size - 1);
    std::copy(text.begin(), text.begin() + long(n), buffer);
    buffer[n] = 0;
}

} // namespace kestrel
