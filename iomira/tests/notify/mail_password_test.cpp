// The stored password against an RC4 and a CRC-16 written here from their published
// descriptions, so that a fault in the program's cipher path cannot hide in both.
#include "nexoltlib/src/device_key.h"
#include "notify/mail_account_password.h"

#include <gtest/gtest.h>

#include <utility>

namespace iomira {
namespace {

uint16_t referenceCrc16(const QByteArray& data) {
    uint16_t crc = 0x1D0F;
    for (char byte : data) {
        crc ^= static_cast<uint16_t>(static_cast<uint8_t>(byte) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021)
                                 : static_cast<uint16_t>(crc << 1);
    }
    return crc;
}

QByteArray referenceRc4(const QByteArray& key, const QByteArray& data) {
    uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<uint8_t>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<uint8_t>(key[i % key.size()])) & 0xFF;
        std::swap(s[i], s[j]);
    }
    QByteArray out(data.size(), '\0');
    for (int n = 0, i = 0, j = 0; n < data.size(); ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        out[n] = static_cast<char>(static_cast<uint8_t>(data[n]) ^ s[(s[i] + s[j]) & 0xFF]);
    }
    return out;
}

QByteArray referenceStored(const QString& password, const QString& server) {
    QByteArray key(reinterpret_cast<const char*>(nexolt::kDeviceKey), 14);
    const uint16_t crc = referenceCrc16(server.toUtf8());
    key.append(static_cast<char>(crc & 0xFF)).append(static_cast<char>(crc >> 8));
    return referenceRc4(key, password.toUtf8());
}

TEST(MailPassword, ReferenceCrcMatchesThePublishedCheckValue) {
    EXPECT_EQ(referenceCrc16("123456789"), 0xE5CC);
}

struct CipherCase {
    const char* name;
    QString password;
    QString server;
};

void PrintTo(const CipherCase& c, std::ostream* out) {
    *out << c.name;
}

class MailPasswordCipher : public ::testing::TestWithParam<CipherCase> {};

TEST_P(MailPasswordCipher, StoredBytesAreRc4UnderTheConstantAndTheServerCrc) {
    const CipherCase& c = GetParam();
    const QByteArray stored = encipherMailPassword(c.password, c.server);
    EXPECT_EQ(stored.toHex(), referenceStored(c.password, c.server).toHex());
    EXPECT_EQ(stored.size(), c.password.toUtf8().size());
    EXPECT_EQ(decipherMailPassword(stored, c.server), c.password);
    if (!c.password.isEmpty()) {
        EXPECT_NE(stored, c.password.toUtf8());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Passwords, MailPasswordCipher,
    ::testing::Values(
        CipherCase{"ascii", QStringLiteral("secret"), QStringLiteral("smtp.example.com")},
        CipherCase{"empty", QString(), QStringLiteral("smtp.example.com")},
        CipherCase{"korean", QStringLiteral("비밀번호123"), QStringLiteral("mail.example.kr")},
        CipherCase{"emoji", QStringLiteral("p\U0001F512ss"), QStringLiteral("10.0.0.25")},
        CipherCase{"nul_and_caret", QString::fromUtf8("a^b\0c", 5), QStringLiteral("h")},
        CipherCase{"empty_server", QStringLiteral("secret"), QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MailPassword, AnotherServerAddressGivesAnotherCipherAndNoLongerDeciphers) {
    const QString password = QStringLiteral("correct horse");
    const QByteArray first = encipherMailPassword(password, QStringLiteral("smtp.example.com"));
    const QByteArray second = encipherMailPassword(password, QStringLiteral("smtp.example.org"));
    EXPECT_NE(first, second);
    EXPECT_NE(decipherMailPassword(first, QStringLiteral("smtp.example.org")), password);
}

TEST(MailPassword, LongPasswordsKeepWholeCharactersWithinTheLimit) {
    // 2000 three-byte characters: 6000 bytes, cut to the last whole character before 4095.
    const QString password(2000, QChar(0xD55C));
    const QByteArray stored = encipherMailPassword(password, QStringLiteral("s"));
    EXPECT_EQ(stored.size(), 4095 / 3 * 3);
    EXPECT_EQ(decipherMailPassword(stored, QStringLiteral("s")), password.left(4095 / 3));

    const QString ascii(5000, QLatin1Char('x'));
    EXPECT_EQ(encipherMailPassword(ascii, QStringLiteral("s")).size(), kMailPasswordMaxBytes);
}

} // namespace
} // namespace iomira
