// UTF-8 on the wire, UTF-16 at the calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel {

// Decodes up to the first NUL or length bytes; malformed sequences become U+FFFD.
std::u16string utf16_from_field(const uint8_t* field, size_t length);
// Encodes into a NUL-padded field of length bytes, cut at a character boundary.
void utf8_into_field(const std::u16string& text, uint8_t* field, size_t length);

} // namespace kestrel
