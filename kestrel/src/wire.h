// The frames of the search and settings exchanges (layout in kestrel.h). Pure functions: the
// simulator builds its answers with them too.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

inline constexpr uint8_t kMagic[4] = {'K', 'S', 'T', 'L'};
inline constexpr uint8_t kVersion = 1;
inline constexpr uint8_t kOpSearch = 0x01;
inline constexpr uint8_t kOpSettings = 0x02;
inline constexpr uint8_t kAnswer = 0x80;
inline constexpr size_t kRequestSize = 16;
inline constexpr size_t kSearchAnswerSize = 100;
inline constexpr size_t kSettingsAnswerSize = 92;
inline constexpr size_t kModelField = 16;
inline constexpr size_t kCommentField = 64;

using Eui = std::array<uint8_t, 6>;

struct Request {
    uint8_t opcode = 0;
    uint16_t sequence = 0;
    uint16_t language = 0;
    Eui eui{};
};

struct SearchAnswer {
    Eui eui{};
    uint32_t device_address = 0; // network order
    std::u16string model;
    std::u16string comment;
};

struct SettingsAnswer {
    Eui eui{};
    uint32_t device_address = 0; // network order
    uint32_t host_address = 0;   // network order
    uint16_t port = 0;
    uint8_t unit_id = 0;
    uint8_t mode = 0;
    std::u16string comment;
};

std::vector<uint8_t> encode_request(const Request& request);
std::optional<Request> decode_request(const uint8_t* data, size_t length);

std::vector<uint8_t> encode_search_answer(uint16_t sequence, const SearchAnswer& answer);
std::vector<uint8_t> encode_settings_answer(uint16_t sequence, const SettingsAnswer& answer);
// An answer to the request with this sequence, of a known model and a non-zero EUI.
std::optional<SearchAnswer> decode_search_answer(const uint8_t* data, size_t length,
                                                 uint16_t sequence);
std::optional<SettingsAnswer> decode_settings_answer(const uint8_t* data, size_t length,
                                                     uint16_t sequence);

bool is_known_model(const std::u16string& model);

} // namespace kestrel
