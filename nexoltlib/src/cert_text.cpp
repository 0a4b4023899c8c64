#include "certificates.h"
#include "openssl_util.h"

#include <openssl/objects.h>

namespace nexolt {

namespace {

std::string bio_text(BIO* bio) {
    char* data = nullptr;
    long n = BIO_get_mem_data(bio, &data);
    return n > 0 ? std::string(data, size_t(n)) : std::string();
}

std::string name_text(const X509_NAME* name) {
    Ossl<BIO> bio(BIO_new(BIO_s_mem()));
    // One attribute per line, with the short field names.
    X509_NAME_print_ex(bio.get(), name, 4,
                       (XN_FLAG_ONELINE & ~XN_FLAG_SEP_MASK) | XN_FLAG_SEP_MULTILINE);
    return bio_text(bio.get());
}

std::string time_text(const ASN1_TIME* time) {
    Ossl<BIO> bio(BIO_new(BIO_s_mem()));
    ASN1_TIME_print(bio.get(), time);
    return bio_text(bio.get());
}

std::string public_key_text(EVP_PKEY* key) {
    Ossl<BIO> bio(BIO_new(BIO_s_mem()));
    EVP_PKEY_print_public(bio.get(), key, 4, nullptr);
    return bio_text(bio.get());
}

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

} // namespace

bool certificate_text(const uint8_t* der, size_t length, std::string& text) {
    const unsigned char* p = der;
    Ossl<X509> cert(d2i_X509(nullptr, &p, long(length)));
    if (!cert) return false;
    EVP_PKEY* key = X509_get0_pubkey(cert.get());
    const char* algorithm = key ? OBJ_nid2ln(EVP_PKEY_get_base_id(key)) : nullptr;
    text = "Issuer :\r\n" + crlf(name_text(X509_get_issuer_name(cert.get()))) + "\r\n";
    text += "Validity\r\n";
    text += "    Not Before : " + time_text(X509_get0_notBefore(cert.get())) + "\r\n";
    text += "    Not After : " + time_text(X509_get0_notAfter(cert.get())) + "\r\n";
    text += "Subject :\r\n" + crlf(name_text(X509_get_subject_name(cert.get()))) + "\r\n";
    text += "\r\nSubject Public Key Info :\r\n";
    text +=
        std::string("    Public Key Algorithm: ") + (algorithm ? algorithm : "unknown") + "\r\n";
    if (key) text += crlf(public_key_text(key)) + "\r\n";
    return true;
}

} // namespace nexolt
