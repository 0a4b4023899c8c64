// The status and TCP sessions kept from the last Tevron_Status, and their text forms.
#pragma once

#include <cstdint>
#include <string>

namespace nexolt {

void clear_session_buffers();
// Room for 48 IPv4 and 48 IPv6 entries and their counts, filled by Tevron_Status.
struct SessionBuffers {
    uint8_t ip4[48 * 24];
    int count4;
    uint8_t ip6[48 * 48];
    int count6;
};
SessionBuffers& session_buffers();

// "[name] STATE ..." for one 24-byte IPv4 or 48-byte IPv6 entry; false for a state above 11.
bool format_session4(const uint8_t* entry, std::string& text);
bool format_session6(const uint8_t* entry, std::string& text);

} // namespace nexolt
