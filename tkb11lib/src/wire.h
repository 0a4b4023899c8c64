// The frames of the search and read exchanges and the wire form of the record (layout in
// tkb11lib.h). Pure functions: the simulator builds its answers with them too.
#pragma once

#include "tkb11lib/tkb11lib.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tkb11 {

inline constexpr uint8_t kMagic[4] = {'T', 'K', '1', '1'};
inline constexpr uint8_t kVersion = 1;
inline constexpr uint8_t kOpSearch = 0x01;
inline constexpr uint8_t kOpRead = 0x02;
inline constexpr uint8_t kAnswer = 0x80;
inline constexpr size_t kHeaderSize = 16;
inline constexpr size_t kRecordSize = sizeof(tkb11_record);
inline constexpr size_t kAnswerSize = kHeaderSize + kRecordSize;

using Mac = std::array<uint8_t, 6>;

struct Request {
    uint8_t opcode = 0;
    uint16_t sequence = 0;
    Mac mac{}; // zero: any device
};

// What one datagram says to the request it is checked against.
struct Answer {
    int error = 0; // 0, or TKB11_ERR_* (a refusal, an unknown or a garbled answer)
    Mac mac{};
    tkb11_record record{};
};

std::vector<uint8_t> encode_request(const Request& request);
std::optional<Request> decode_request(const uint8_t* data, size_t length);

std::vector<uint8_t> encode_answer(const Request& request, uint8_t status,
                                   const tkb11_record& record);
// nullopt for a datagram that is not an answer to this request (another magic, opcode or
// sequence); else the answer or its error.
std::optional<Answer> decode_answer(const uint8_t* data, size_t length, const Request& request);

void record_to_wire(const tkb11_record& record, uint8_t* wire);
tkb11_record record_from_wire(const uint8_t* wire);

bool is_zero(const Mac& mac);

} // namespace tkb11
