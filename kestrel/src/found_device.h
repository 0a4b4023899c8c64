// One controller of the last search, and the texts the calls hand out for it.
#pragma once

#include "wire.h"

#include <optional>
#include <string>

namespace kestrel {

struct FoundDevice {
    SearchAnswer found;
    std::optional<SettingsAnswer> settings;
    std::u16string host_text; // dotted settings host address, empty before ReadEnv
};

// "[EUI] comment - [address]", or "[EUI] - [address]" without a comment.
std::u16string information_text(const SearchAnswer& found);
std::u16string dotted(uint32_t address);
// Copies text into a buffer of size units, cut to fit, always NUL-terminated.
void copy_text(const std::u16string& text, char16_t* buffer, size_t size);

} // namespace kestrel
