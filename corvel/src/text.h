#pragma once

#include <string>

namespace corvel {

// Host names reach the resolver in the system's narrow code set (UTF-8 here). At most
// max_chars UTF-16 units are taken; a missing text is empty.
std::string narrow_host(const char16_t* text, size_t max_chars);

} // namespace corvel
