// Results the library keeps from the last operations for its getters: the last certificate,
// device message, status text, certificate text and duplicate-address results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nexolt {

void keep_certificate(const uint8_t* der, size_t length);
void keep_device_message(const std::string& text);
void keep_status_text(const std::string& text);
void keep_certificates_text(const std::string& text);

struct DadResult {
    uint16_t count = 0;
    uint8_t mac[6] = {};
    uint32_t tick = 0; // 10 ms units
};
enum DadKind { kDadIp4 = 0, kDadIp6LinkLocal = 1, kDadIp6Gua = 2 };
void keep_dad_result(DadKind kind, const DadResult& result);
// Keeps the results a "$DAD" command block of a reply carries: one 12-byte record per
// address kind (count, MAC, tick), as nested blocks indexed by kind.
void take_dad_results(const std::vector<uint8_t>& control);

} // namespace nexolt
