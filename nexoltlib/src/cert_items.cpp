// Reading a certificate and its key from files, and the items derived from them.
#include "certificates.h"
#include "openssl_util.h"

#include <openssl/core_names.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>

#include <cstring>

namespace nexolt {

namespace {

int pass_phrase_callback(char* buffer, int size, int, void* user) {
    auto* pass = static_cast<const char*>(user);
    if (!pass || size <= 0) return 0;
    int n = int(std::min(std::strlen(pass), size_t(size)));
    std::memcpy(buffer, pass, size_t(n));
    return n;
}

Ossl<BIO> open_file(const char* name) {
    return Ossl<BIO>(name && *name ? BIO_new_file(name, "rb") : nullptr);
}

// DER, then PEM, then PKCS#12 (which may carry the key as well).
Ossl<X509> read_certificate(const char* file, const char* pass, Ossl<EVP_PKEY>& key) {
    Ossl<BIO> bio = open_file(file);
    if (!bio) return nullptr;
    if (X509* der = d2i_X509_bio(bio.get(), nullptr)) return Ossl<X509>(der);
    BIO_reset(bio.get());
    void* user = const_cast<char*>(pass);
    if (X509* pem = PEM_read_bio_X509(bio.get(), nullptr, pass_phrase_callback, user))
        return Ossl<X509>(pem);
    BIO_reset(bio.get());
    PKCS12* p12 = d2i_PKCS12_bio(bio.get(), nullptr);
    if (!p12) return nullptr;
    EVP_PKEY* p12_key = nullptr;
    X509* cert = nullptr;
    PKCS12_parse(p12, pass ? pass : "", &p12_key, &cert, nullptr);
    PKCS12_free(p12);
    key.reset(p12_key);
    return Ossl<X509>(cert);
}

Ossl<EVP_PKEY> read_key(const char* file, const char* pass) {
    Ossl<BIO> bio = open_file(file);
    if (!bio) return nullptr;
    void* user = const_cast<char*>(pass);
    if (EVP_PKEY* pem = PEM_read_bio_PrivateKey(bio.get(), nullptr, pass_phrase_callback, user))
        return Ossl<EVP_PKEY>(pem);
    BIO_reset(bio.get());
    return Ossl<EVP_PKEY>(d2i_PrivateKey_bio(bio.get(), nullptr));
}

bool without_dsa(uint16_t product_id) {
    return product_id == 54 || product_id == 57 || product_id == 58;
}

Ossl<BIGNUM> bn_param(EVP_PKEY* key, const char* name) {
    BIGNUM* value = nullptr;
    EVP_PKEY_get_bn_param(key, name, &value);
    return Ossl<BIGNUM>(value);
}

} // namespace

void append_right_aligned(std::vector<uint8_t>& out, const BIGNUM* value, size_t width) {
    std::vector<uint8_t> bytes(size_t(BN_num_bytes(value)));
    BN_bn2bin(value, bytes.data());
    size_t keep = std::min(bytes.size(), width);
    out.insert(out.end(), width - keep, 0);
    out.insert(out.end(), bytes.end() - long(keep), bytes.end());
}

bool rsa_primes_item(EVP_PKEY* key, std::vector<uint8_t>& item) {
    if (!key || EVP_PKEY_get_base_id(key) != EVP_PKEY_RSA) return false;
    Ossl<BIGNUM> p = bn_param(key, OSSL_PKEY_PARAM_RSA_FACTOR1);
    Ossl<BIGNUM> q = bn_param(key, OSSL_PKEY_PARAM_RSA_FACTOR2);
    if (!p || !q) return false;
    item.clear();
    append_right_aligned(item, p.get(), 128);
    append_right_aligned(item, q.get(), 128);
    return true;
}

int dsa_parameters_item(std::vector<uint8_t>& item) {
    Ossl<EVP_PKEY_CTX> ctx(EVP_PKEY_CTX_new_from_name(nullptr, "DSA", nullptr));
    EVP_PKEY* raw = nullptr;
    if (!ctx || EVP_PKEY_paramgen_init(ctx.get()) <= 0 ||
        EVP_PKEY_CTX_set_dsa_paramgen_bits(ctx.get(), 2048) <= 0 ||
        EVP_PKEY_CTX_set_dsa_paramgen_q_bits(ctx.get(), 256) <= 0 ||
        EVP_PKEY_paramgen(ctx.get(), &raw) <= 0)
        return kCertDsaParameters;
    Ossl<EVP_PKEY> params(raw);
    Ossl<EVP_PKEY_CTX> key_ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, params.get(), nullptr));
    EVP_PKEY* key = nullptr;
    if (!key_ctx || EVP_PKEY_keygen_init(key_ctx.get()) <= 0 ||
        EVP_PKEY_keygen(key_ctx.get(), &key) <= 0)
        return kCertDsaKey;
    Ossl<EVP_PKEY> dsa(key);
    Ossl<BIGNUM> p = bn_param(dsa.get(), OSSL_PKEY_PARAM_FFC_P);
    Ossl<BIGNUM> q = bn_param(dsa.get(), OSSL_PKEY_PARAM_FFC_Q);
    Ossl<BIGNUM> g = bn_param(dsa.get(), OSSL_PKEY_PARAM_FFC_G);
    if (!p || !q || !g) return kCertDsaKey;
    item.clear();
    append_right_aligned(item, p.get(), 256);
    append_right_aligned(item, q.get(), 32);
    append_right_aligned(item, g.get(), 256);
    return kCertNone;
}

std::vector<uint8_t> der_of(X509* certificate) {
    unsigned char* der = nullptr;
    int n = i2d_X509(certificate, &der);
    std::vector<uint8_t> out;
    if (n > 0) out.assign(der, der + n);
    OPENSSL_free(der);
    return out;
}

int certificate_items_from_files(const char* certificate_file, const char* pass_phrase,
                                 const char* key_file, const char* key_pass_phrase,
                                 uint16_t product_id, CertificateItems& items) {
    for (auto& item : items)
        item.clear();
    Ossl<BIO> probe = open_file(certificate_file);
    if (!probe) return kCertFileUnreadable;
    Ossl<EVP_PKEY> key;
    Ossl<X509> cert = read_certificate(certificate_file, pass_phrase, key);
    if (!cert) return kCertNoCertificate;
    if (!key) key = read_key(certificate_file, pass_phrase);
    if (!key && key_file && *key_file) {
        if (!open_file(key_file)) return kCertKeyFileUnreadable;
        key = read_key(key_file, key_pass_phrase);
    }
    if (!key || !rsa_primes_item(key.get(), items[1])) return kCertNoPrivateKey;
    items[0] = der_of(cert.get());
    return without_dsa(product_id) ? kCertNone : dsa_parameters_item(items[2]);
}

} // namespace nexolt
