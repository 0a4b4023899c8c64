// Certificate text and the items written to a device, on certificates made here.
#include "certificates.h"

#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const nexolt::SubjectTexts kSubject{"KR",  "Gyeonggi", "Seongnam",       "Tarvex",
                                    "Lab", "device-7", "ops@example.com"};

TEST(Certificates, SelfSignedItemsAndTheirText) {
    nexolt::CertificateItems items;
    // Product 54 skips the slow DSA step; the DSA item is covered below.
    ASSERT_EQ(nexolt::self_signed_certificate_items(1536, kSubject, 54, items), 0);
    EXPECT_EQ(items[1].size(), 256u);
    EXPECT_EQ(items[1][0], 0) << "96-byte primes are right-aligned in 128 bytes";
    EXPECT_TRUE(items[2].empty());
    EXPECT_TRUE(items[3].empty());

    std::string text;
    ASSERT_TRUE(nexolt::certificate_text(items[0].data(), items[0].size(), text));
    EXPECT_EQ(text.rfind("Issuer :\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n    CN = device-7\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    emailAddress = ops@example.com\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Validity\r\n    Not Before : "), std::string::npos);
    EXPECT_NE(
        text.find("\r\nSubject Public Key Info :\r\n    Public Key Algorithm: rsaEncryption\r\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("1536 bit"), std::string::npos) << text;

    std::string garbage = "not a certificate";
    EXPECT_FALSE(nexolt::certificate_text(reinterpret_cast<const uint8_t*>(garbage.data()),
                                          garbage.size(), text));
}

TEST(Certificates, OtherKeySizesBecome1024) {
    nexolt::CertificateItems items;
    ASSERT_EQ(nexolt::self_signed_certificate_items(4096, kSubject, 57, items), 0);
    std::string text;
    ASSERT_TRUE(nexolt::certificate_text(items[0].data(), items[0].size(), text));
    EXPECT_NE(text.find("1024 bit"), std::string::npos);
}

class CertificateFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("nexolt_cert_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        nexolt::CertificateItems items;
        ASSERT_EQ(nexolt::self_signed_certificate_items(2048, kSubject, 58, items), 0);
        der = items[0];
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
        fs::path path = dir / name;
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return path.string();
    }

    std::string write_key(const std::string& name, EVP_PKEY* key, const char* pass) {
        fs::path path = dir / name;
        FILE* f = std::fopen(path.c_str(), "wb");
        const EVP_CIPHER* cipher = pass ? EVP_aes_128_cbc() : nullptr;
        PEM_write_PrivateKey(f, key, cipher, nullptr, 0, nullptr, const_cast<char*>(pass));
        std::fclose(f);
        return path.string();
    }

    fs::path dir;
    std::vector<uint8_t> der;
};

TEST_F(CertificateFiles, ErrorCodes) {
    nexolt::CertificateItems items;
    EXPECT_EQ(
        nexolt::certificate_items_from_files((dir / "none.der").c_str(), "", "", "", 58, items),
        nexolt::kCertFileUnreadable);
    std::string junk = write("junk.der", {1, 2, 3});
    EXPECT_EQ(nexolt::certificate_items_from_files(junk.c_str(), "", "", "", 58, items),
              nexolt::kCertNoCertificate);
    std::string cert = write("cert.der", der);
    EXPECT_EQ(nexolt::certificate_items_from_files(cert.c_str(), "", "", "", 58, items),
              nexolt::kCertNoPrivateKey);
    EXPECT_EQ(nexolt::certificate_items_from_files(cert.c_str(), "", (dir / "nokey").c_str(), "",
                                                   58, items),
              nexolt::kCertKeyFileUnreadable);
}

TEST_F(CertificateFiles, CertificateWithEncryptedKeyFileAndDsaItem) {
    EVP_PKEY* key = EVP_RSA_gen(2048);
    ASSERT_NE(key, nullptr);
    std::string key_file = write_key("key.pem", key, "s3cret");
    EVP_PKEY_free(key);
    std::string cert = write("cert.der", der);

    nexolt::CertificateItems items;
    EXPECT_EQ(nexolt::certificate_items_from_files(cert.c_str(), "", key_file.c_str(), "wrong", 58,
                                                   items),
              nexolt::kCertNoPrivateKey);
    ASSERT_EQ(nexolt::certificate_items_from_files(cert.c_str(), "", key_file.c_str(), "s3cret", 32,
                                                   items),
              0);
    EXPECT_EQ(items[0], der);
    EXPECT_EQ(items[1].size(), 256u);
    EXPECT_EQ(items[2].size(), 256u + 32u + 256u) << "DSA p, q and g";
    EXPECT_NE(items[2][0] | items[2][1], 0) << "2048-bit p fills its 256 bytes";
}

} // namespace
