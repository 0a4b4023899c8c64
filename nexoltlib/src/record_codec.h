// Decoding blocks into the lib_env record and encoding it back.
#pragma once

#include "nexoltlib/nexoltlib.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nexolt {

// What a reply carries besides the record: the status text and the TCP sessions.
struct DecodeExtras {
    std::string status_text;
    std::vector<std::array<uint8_t, 24>> sessions4;
    std::vector<std::array<uint8_t, 48>> sessions6;
    std::vector<uint8_t> control; // data of a control-command block (type 50)
};
inline constexpr size_t kMaxSessions = 48;

// Zeroes the record, presets it and walks the blocks; false at the first bad block (what
// was decoded before it stays).
bool decode_record(const uint8_t* blocks, size_t length, lib_env& env, DecodeExtras* extras);

// Adjusts a freshly decoded reply record by product and firmware.
void post_decode(lib_env& env);

struct EncodeOptions {
    int wpa_limit = 32;
    bool wpa_pp64_only = false;
    bool ip6 = false;
    bool rsn = false;
    bool email_notification = false;
    bool tune = false;
};

// False when the record is wireless and its WPA passphrase is longer than the device's
// passphrase block: the key would come from text the device never gets.
bool passphrase_fits(const lib_env& env, const EncodeOptions& options);

// Prepares the derived fields of the record, then emits its blocks in the device's order.
std::vector<uint8_t> encode_record(lib_env& env, const EncodeOptions& options);

} // namespace nexolt
