// Certificate work on OpenSSL libcrypto: the text shown for a device certificate, and the
// four items written to a device (certificate, RSA primes, DSA parameters, reserved).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nexolt {

enum CertificateError {
    kCertNone = 0,
    kCertNoCertificateReply = -909,
    kCertFileUnreadable = -910,
    kCertNoCertificate = -911,
    kCertNoPrivateKey = -912,
    kCertKeyFileUnreadable = -913,
    kCertDsaParameters = -914,
    kCertDsaKey = -915,
};

// Issuer, validity, subject and public key of a DER certificate; false when it does not parse.
bool certificate_text(const uint8_t* der, size_t length, std::string& text);

using CertificateItems = std::array<std::vector<uint8_t>, 4>;

// Certificate (DER, PEM or PKCS#12) and its RSA key from files; 0 or a CertificateError.
int certificate_items_from_files(const char* certificate_file, const char* pass_phrase,
                                 const char* key_file, const char* key_pass_phrase,
                                 uint16_t product_id, CertificateItems& items);

struct SubjectTexts {
    const char* country;
    const char* state;
    const char* locality;
    const char* organisation;
    const char* unit;
    const char* common_name;
    const char* email;
};

// A fresh RSA key and self-signed certificate; 0 or a CertificateError.
int self_signed_certificate_items(int key_bits, const SubjectTexts& subject, uint16_t product_id,
                                  CertificateItems& items);

} // namespace nexolt
