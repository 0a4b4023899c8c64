#include "wire.h"

#include "text.h"

#include <algorithm>
#include <cstring>

namespace kestrel {

namespace {

constexpr size_t kEuiOffset = 10;

void put16(uint8_t* at, uint16_t value) {
    at[0] = uint8_t(value >> 8);
    at[1] = uint8_t(value);
}

uint16_t get16(const uint8_t* at) {
    return uint16_t((at[0] << 8) | at[1]);
}

// Magic, version, opcode and sequence: the first eight bytes of every frame.
std::vector<uint8_t> frame_start(size_t size, uint8_t opcode, uint16_t sequence) {
    std::vector<uint8_t> frame(size, 0);
    std::memcpy(frame.data(), kMagic, 4);
    frame[4] = kVersion;
    frame[5] = opcode;
    put16(&frame[6], sequence);
    return frame;
}

bool frame_matches(const uint8_t* data, size_t length, size_t size, uint8_t opcode,
                   uint16_t sequence) {
    return length == size && std::memcmp(data, kMagic, 4) == 0 && data[4] == kVersion &&
           data[5] == opcode && get16(data + 6) == sequence;
}

Eui eui_at(const uint8_t* at) {
    Eui eui;
    std::copy(at, at + 6, eui.begin());
    return eui;
}

bool is_zero(const Eui& eui) {
    return std::all_of(eui.begin(), eui.end(), [](uint8_t b) { return b == 0; });
}

} // namespace

bool is_known_model(const std::u16string& model) {
    static const std::u16string kModels[] = {u"RLX-810", u"RLX-820", u"RLX-830", u"RLX-840",
                                             u"RLX-850"};
    return std::find(std::begin(kModels), std::end(kModels), model) != std::end(kModels);
}

std::vector<uint8_t> encode_request(const Request& request) {
    std::vector<uint8_t> frame = frame_start(kRequestSize, request.opcode, request.sequence);
    put16(&frame[8], request.language);
    std::copy(request.eui.begin(), request.eui.end(), frame.begin() + kEuiOffset);
    return frame;
}

std::optional<Request> decode_request(const uint8_t* data, size_t length) {
    if (length != kRequestSize || std::memcmp(data, kMagic, 4) != 0 || data[4] != kVersion)
        return std::nullopt;
    if (data[5] != kOpSearch && data[5] != kOpSettings) return std::nullopt;
    return Request{data[5], get16(data + 6), get16(data + 8), eui_at(data + kEuiOffset)};
}

std::vector<uint8_t> encode_search_answer(uint16_t sequence, const SearchAnswer& answer) {
    std::vector<uint8_t> frame = frame_start(kSearchAnswerSize, kOpSearch | kAnswer, sequence);
    std::copy(answer.eui.begin(), answer.eui.end(), frame.begin() + kEuiOffset);
    std::memcpy(&frame[16], &answer.device_address, 4);
    utf8_into_field(answer.model, &frame[20], kModelField);
    utf8_into_field(answer.comment, &frame[36], kCommentField);
    return frame;
}

std::vector<uint8_t> encode_settings_answer(uint16_t sequence, const SettingsAnswer& answer) {
    std::vector<uint8_t> frame = frame_start(kSettingsAnswerSize, kOpSettings | kAnswer, sequence);
    std::copy(answer.eui.begin(), answer.eui.end(), frame.begin() + kEuiOffset);
    std::memcpy(&frame[16], &answer.device_address, 4);
    std::memcpy(&frame[20], &answer.host_address, 4);
    put16(&frame[24], answer.port);
    frame[26] = answer.unit_id;
    frame[27] = answer.mode;
    utf8_into_field(answer.comment, &frame[28], kCommentField);
    return frame;
}

std::optional<SearchAnswer> decode_search_answer(const uint8_t* data, size_t length,
                                                 uint16_t sequence) {
    if (!frame_matches(data, length, kSearchAnswerSize, kOpSearch | kAnswer, sequence))
        return std::nullopt;
    SearchAnswer answer;
    answer.eui = eui_at(data + kEuiOffset);
    std::memcpy(&answer.device_address, data + 16, 4);
    answer.model = utf16_from_field(data + 20, kModelField);
    answer.comment = utf16_from_field(data + 36, kCommentField);
    if (is_zero(answer.eui) || !is_known_model(answer.model)) return std::nullopt;
    return answer;
}

std::optional<SettingsAnswer> decode_settings_answer(const uint8_t* data, size_t length,
                                                     uint16_t sequence) {
    if (!frame_matches(data, length, kSettingsAnswerSize, kOpSettings | kAnswer, sequence))
        return std::nullopt;
    SettingsAnswer answer;
    answer.eui = eui_at(data + kEuiOffset);
    std::memcpy(&answer.device_address, data + 16, 4);
    std::memcpy(&answer.host_address, data + 20, 4);
    answer.port = get16(data + 24);
    answer.unit_id = data[26];
    answer.mode = data[27];
    answer.comment = utf16_from_field(data + 28, kCommentField);
    if (answer.mode > 1) return std::nullopt;
    return answer;
}

} // namespace kestrel
