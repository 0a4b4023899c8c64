#include "notify/smtp/smtp_auth.h"
#include "notify/smtp/smtp_encoding.h"
#include "notify/smtp/smtp_error.h"

#include <gtest/gtest.h>

#include <string>

namespace iomira::smtp {
namespace {

using namespace std::string_literals;

TEST(SmtpBase64, EncodesAndDecodesStandardVectors) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"\xff\xfe\x00\x7f"s, "//4Afw=="},
    };
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(base64Encode(plain), encoded);
        EXPECT_EQ(base64Decode(encoded), plain) << encoded;
    }
}

TEST(SmtpBase64, DecodingStopsAtTheLineEndAndRejectsGarbage) {
    EXPECT_EQ(base64Decode("Zm9v\r\n"), "foo");
    EXPECT_EQ(base64Decode("Zm9v trailing"), "foo");
    for (const char* bad : {"Zm9", "Zm=v", "Z===", "Zm9v*A==", "=m9v", "Zm9vY=g="})
        EXPECT_EQ(base64Decode(bad), std::nullopt) << bad;
}

TEST(SmtpPlain, SeparatesWithNulAndKeepsCaretsInTheCredentials) {
    EXPECT_EQ(plainCredential("user", "pass"), "user\0user\0pass"s);
    EXPECT_EQ(plainCredential("a^b", "p^w"), "a^b\0a^b\0p^w"s);
}

TEST(SmtpCramMd5, MatchesThePublishedExample) {
    EXPECT_EQ(
        cramMd5Answer("tim", "tanstaaftanstaaf", "<1896.697170952@postoffice.reston.mci.net>"),
        "tim b913a602c7eda7a495b4e6e7334d3890");
}

TEST(SmtpCramMd5, ChallengeIsDecodedFromTheFifthCharacter) {
    EXPECT_EQ(decodeChallenge("334 PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+\r\n"),
              "<1896.697170952@postoffice.reston.mci.net>");
    EXPECT_EQ(decodeChallenge("334 \r\n"), "");
    EXPECT_EQ(decodeChallenge("334 not*base64\r\n"), std::nullopt);
}

TEST(SmtpDigestMd5, AnswerMatchesThePublishedExample) {
    const DigestChallenge challenge{"OA6MG9tEQGm2hh", "elwood.innosoft.com"};
    EXPECT_EQ(
        digestMd5Answer("chris", "secret", challenge, "OA6MHXh6VqTrRk", "imap/elwood.innosoft.com"),
        "charset=utf-8,username=\"chris\",realm=\"elwood.innosoft.com\","
        "nonce=\"OA6MG9tEQGm2hh\",nc=00000001,cnonce=\"OA6MHXh6VqTrRk\","
        "digest-uri=\"imap/elwood.innosoft.com\","
        "response=d388dad90d4bbd760a152321f2143af7,qop=auth");
}

TEST(SmtpDigestMd5, WithoutRealmTheRealmIsLeftOut) {
    const std::string answer =
        digestMd5Answer("u", "p", DigestChallenge{"n", ""}, "c", "smtp/127.0.0.1");
    EXPECT_EQ(answer.find("realm="), std::string::npos);
    EXPECT_EQ(answer.rfind("charset=utf-8,username=\"u\",nonce=\"n\",", 0), 0u);
}

struct ChallengeCase {
    const char* text;
    const char* nonce;
    const char* realm;
    int error; // 0 when it parses
};

TEST(SmtpDigestMd5, ChallengeParsing) {
    const ChallengeCase cases[] = {
        {"realm=\"example.org\",nonce=\"abc\",qop=\"auth\"", "abc", "example.org", 0},
        {"nonce=\"abc\",qop=\"auth\",charset=utf-8", "abc", "", 0},
        {"nonce=\"\",realm=\"\"", "", "", 0},
        {"realm=\"r\",qop=\"auth\"", "", "", SMTP_BAD_DIGEST_RESPONSE},
        {"nonce=\"abc", "", "", SMTP_BAD_DIGEST_RESPONSE},
        {"nonce=\"abc\",realm=\"open", "", "", SMTP_BAD_DIGEST_RESPONSE},
        {"nonce=abc", "", "", SMTP_BAD_DIGEST_RESPONSE},
    };
    for (const ChallengeCase& c : cases) {
        try {
            const DigestChallenge parsed = parseDigestChallenge(c.text);
            EXPECT_EQ(c.error, 0) << c.text;
            EXPECT_EQ(parsed.nonce, c.nonce) << c.text;
            EXPECT_EQ(parsed.realm, c.realm) << c.text;
        } catch (const ECSmtp& e) {
            EXPECT_EQ(e.GetErrorNum(), c.error) << c.text;
        }
    }
}

} // namespace
} // namespace iomira::smtp
