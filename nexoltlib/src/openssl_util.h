// Small owning wrappers and helpers around OpenSSL objects.
#pragma once

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nexolt {

struct OsslFree {
    void operator()(BIO* p) const { BIO_free_all(p); }
    void operator()(X509* p) const { X509_free(p); }
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
    void operator()(EVP_PKEY_CTX* p) const { EVP_PKEY_CTX_free(p); }
    void operator()(BIGNUM* p) const { BN_free(p); }
};
template <typename T> using Ossl = std::unique_ptr<T, OsslFree>;

// Appends the big number right-aligned in width bytes (truncated on the left if longer).
void append_right_aligned(std::vector<uint8_t>& out, const BIGNUM* value, size_t width);

// Item 1: the two RSA primes of the key, 128 bytes each; false when the key is not RSA.
bool rsa_primes_item(EVP_PKEY* key, std::vector<uint8_t>& item);

// Item 2: fresh 2048-bit DSA parameters p, q and g; 0 or -914 / -915.
int dsa_parameters_item(std::vector<uint8_t>& item);

std::vector<uint8_t> der_of(X509* certificate);

} // namespace nexolt
