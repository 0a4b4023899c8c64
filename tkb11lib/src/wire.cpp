#include "wire.h"

#include <algorithm>
#include <cstring>

namespace tkb11 {

namespace {

constexpr size_t kMacOffset = 10;
constexpr size_t kStatusOffset = 8;
constexpr size_t kPortFields[] = {
    offsetof(tkb11_record, client_port), offsetof(tkb11_record, server_port),
    offsetof(tkb11_record, input_address), offsetof(tkb11_record, output_address)};

void put16(uint8_t* at, uint16_t value) {
    at[0] = uint8_t(value >> 8);
    at[1] = uint8_t(value);
}

uint16_t get16(const uint8_t* at) {
    return uint16_t((at[0] << 8) | at[1]);
}

std::vector<uint8_t> header(uint8_t opcode, uint16_t sequence, const Mac& mac, size_t size) {
    std::vector<uint8_t> frame(size, 0);
    std::memcpy(frame.data(), kMagic, 4);
    frame[4] = kVersion;
    frame[5] = opcode;
    put16(&frame[6], sequence);
    std::copy(mac.begin(), mac.end(), frame.begin() + kMacOffset);
    return frame;
}

Mac mac_at(const uint8_t* at) {
    Mac mac;
    std::copy(at, at + 6, mac.begin());
    return mac;
}

// The error a refusal or malformed answer stands for, 0 for a good one.
int answer_error(const uint8_t* data, size_t length) {
    if (data[4] != kVersion) return TKB11_ERR_UNKNOWN;
    uint8_t status = data[kStatusOffset];
    if (status == TKB11_ERR_PASSWORD || status == TKB11_ERR_LOCKED)
        return length == kHeaderSize ? status : TKB11_ERR_GARBLED;
    if (status != 0) return TKB11_ERR_UNKNOWN;
    return length == kAnswerSize ? 0 : TKB11_ERR_GARBLED;
}

} // namespace

bool is_zero(const Mac& mac) {
    return std::all_of(mac.begin(), mac.end(), [](uint8_t b) { return b == 0; });
}

void record_to_wire(const tkb11_record& record, uint8_t* wire) {
    std::memcpy(wire, &record, kRecordSize);
    for (size_t offset : kPortFields) {
        uint16_t value;
        std::memcpy(&value, wire + offset, 2);
        put16(wire + offset, value);
    }
}

tkb11_record record_from_wire(const uint8_t* wire) {
    uint8_t host[kRecordSize];
    std::memcpy(host, wire, kRecordSize);
    for (size_t offset : kPortFields) {
        uint16_t value = get16(wire + offset);
        std::memcpy(host + offset, &value, 2);
    }
    tkb11_record record;
    std::memcpy(&record, host, kRecordSize);
    return record;
}

std::vector<uint8_t> encode_request(const Request& request) {
    return header(request.opcode, request.sequence, request.mac, kHeaderSize);
}

std::optional<Request> decode_request(const uint8_t* data, size_t length) {
    if (length != kHeaderSize || std::memcmp(data, kMagic, 4) != 0 || data[4] != kVersion)
        return std::nullopt;
    if (data[5] != kOpSearch && data[5] != kOpRead) return std::nullopt;
    return Request{data[5], get16(data + 6), mac_at(data + kMacOffset)};
}

std::vector<uint8_t> encode_answer(const Request& request, uint8_t status,
                                   const tkb11_record& record) {
    Mac mac = mac_at(record.mac);
    std::vector<uint8_t> frame = header(request.opcode | kAnswer, request.sequence, mac,
                                        status == 0 ? kAnswerSize : kHeaderSize);
    frame[kStatusOffset] = status;
    if (status == 0) record_to_wire(record, frame.data() + kHeaderSize);
    return frame;
}

std::optional<Answer> decode_answer(const uint8_t* data, size_t length, const Request& request) {
    if (length < kHeaderSize || std::memcmp(data, kMagic, 4) != 0) return std::nullopt;
    if (data[5] != (request.opcode | kAnswer) || get16(data + 6) != request.sequence)
        return std::nullopt;
    Answer answer;
    answer.mac = mac_at(data + kMacOffset);
    answer.error = answer_error(data, length);
    if (answer.error == 0) answer.record = record_from_wire(data + kHeaderSize);
    // The record names the device; a header that disagrees is garbled.
    if (answer.error == 0 && !std::equal(answer.mac.begin(), answer.mac.end(), answer.record.mac))
        answer.error = TKB11_ERR_GARBLED;
    return answer;
}

} // namespace tkb11
