// A self-signed version-3 certificate on a fresh RSA key, valid for one year from now.
#include "certificates.h"
#include "openssl_util.h"

#include <openssl/rsa.h>

namespace nexolt {

namespace {

constexpr long kValiditySeconds = 31536000;

int rsa_bits(int requested) {
    return requested == 1536 || requested == 2048 ? requested : 1024;
}

void add_entry(X509_NAME* name, const char* field, const char* value) {
    if (value && *value)
        X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                   reinterpret_cast<const unsigned char*>(value), -1, -1, 0);
}

Ossl<X509> make_certificate(EVP_PKEY* key, const SubjectTexts& s) {
    Ossl<X509> cert(X509_new());
    if (!cert) return nullptr;
    X509_set_version(cert.get(), X509_VERSION_3);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 0);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), 0);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), kValiditySeconds);
    X509_NAME* name = X509_get_subject_name(cert.get());
    add_entry(name, "C", s.country);
    add_entry(name, "ST", s.state);
    add_entry(name, "L", s.locality);
    add_entry(name, "O", s.organisation);
    add_entry(name, "OU", s.unit);
    add_entry(name, "CN", s.common_name);
    add_entry(name, "emailAddress", s.email);
    X509_set_issuer_name(cert.get(), name);
    X509_set_pubkey(cert.get(), key);
    if (X509_sign(cert.get(), key, EVP_sha256()) <= 0) return nullptr;
    return cert;
}

} // namespace

int self_signed_certificate_items(int key_bits, const SubjectTexts& subject, uint16_t product_id,
                                  CertificateItems& items) {
    for (auto& item : items)
        item.clear();
    Ossl<EVP_PKEY> key(EVP_RSA_gen(unsigned(rsa_bits(key_bits))));
    if (!key || !rsa_primes_item(key.get(), items[1])) return kCertNoPrivateKey;
    Ossl<X509> cert = make_certificate(key.get(), subject);
    if (!cert) return kCertNoCertificate;
    items[0] = der_of(cert.get());
    bool without_dsa = product_id == 54 || product_id == 57 || product_id == 58;
    return without_dsa ? kCertNone : dsa_parameters_item(items[2]);
}

} // namespace nexolt
