#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace iomira::smtp {

// Standard Base64 alphabet with "=" fill and no line breaks.
std::string base64Encode(std::string_view bytes);

// Decodes Base64 up to the first CR, LF or space (a challenge line ends there). Empty when the
// text holds a character outside the alphabet or a malformed fill.
std::optional<std::string> base64Decode(std::string_view text);

// The 16 raw bytes of the MD5 of `bytes`.
std::string md5(std::string_view bytes);

// The 16 raw bytes of HMAC-MD5; a key longer than a block is hashed first, as HMAC requires.
std::string hmacMd5(std::string_view key, std::string_view message);

// Lowercase hexadecimal, two digits a byte.
std::string toHex(std::string_view bytes);

} // namespace iomira::smtp
