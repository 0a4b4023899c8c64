// RC4 (standard key schedule and keystream) and the payload key built around the device key.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nexolt {

void rc4(const uint8_t* key, size_t key_length, const uint8_t* in, uint8_t* out, size_t length);
// Enciphers or deciphers a payload whose plaintext CRC is crc.
void crypt_payload(uint16_t crc, const uint8_t* in, uint8_t* out, size_t length);

} // namespace nexolt
