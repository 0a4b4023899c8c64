#include "notify/smtp/smtp_auth.h"
#include "notify/smtp/smtp_reply.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace iomira::smtp {
namespace {

struct ReplyCase {
    const char* name;
    std::string received;
    std::optional<int> code;
};

void PrintTo(const ReplyCase& c, std::ostream* out) {
    *out << c.name;
}

class SmtpReply : public testing::TestWithParam<ReplyCase> {};

TEST_P(SmtpReply, FindsTheFinalLine) {
    EXPECT_EQ(completeReplyCode(GetParam().received), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SmtpReply,
    testing::Values(ReplyCase{"Single", "220 mail.example ESMTP\r\n", 220},
                    ReplyCase{"BareCode", "250\r\n", 250},
                    ReplyCase{"MultiLine", "250-first\r\n250-AUTH LOGIN\r\n250 HELP\r\n", 250},
                    ReplyCase{"OnlyContinuations", "250-first\r\n250-second\r\n", std::nullopt},
                    ReplyCase{"LineNotEnded", "250 HELP", std::nullopt},
                    ReplyCase{"HalfLineEnd", "250 HELP\r", std::nullopt},
                    ReplyCase{"Empty", "", std::nullopt},
                    ReplyCase{"TooShort", "25\r\n", std::nullopt},
                    ReplyCase{"NotDigits", "2x0 ok\r\n", std::nullopt},
                    ReplyCase{"FourDigits", "2500\r\n", std::nullopt},
                    ReplyCase{"GarbageThenFinal", "hello\r\n354 go ahead\r\n", 354},
                    ReplyCase{"SplitInsideLastLine", "250-a\r\n250 b", std::nullopt},
                    ReplyCase{"FirstFinalWins", "535 no\r\n250 yes\r\n", 535}),
    [](const auto& info) { return std::string(info.param.name); });

struct KeywordCase {
    const char* reply;
    const char* keyword;
    bool offered;
};

TEST(SmtpKeyword, FollowsTheDelimiterRules) {
    const KeywordCase cases[] = {
        {"250-AUTH LOGIN PLAIN\r\n", "AUTH", true},
        {"250-AUTH LOGIN PLAIN\r\n", "LOGIN", true},
        {"250-AUTH LOGIN PLAIN\r\n", "PLAIN", true},
        {"250-AUTH=LOGIN\r\n", "LOGIN", true},
        {"250-AUTH=LOGIN\r\n", "AUTH", true},
        {"250-auth login\r\n", "LOGIN", true},
        {"250-STARTTLS\r\n250 HELP\r\n", "STARTTLS", true},
        {"250-AUTH CRAM-MD5 DIGEST-MD5\r\n", "CRAM-MD5", true},
        {"250-AUTHX LOGINS\r\n", "AUTH", false},
        {"250-AUTHX LOGINS\r\n", "LOGIN", false},
        {"250-XAUTH\r\n", "AUTH", false},
        {"AUTH LOGIN\r\n", "AUTH", false},  // never at the very first character
        {"250-AUTH LOGIN", "LOGIN", false}, // not followed by a line end yet
        {"250-AUTH LOGIN\n", "LOGIN", false},
        {"250-AUTH PLAIN\r\n", "", false},
    };
    for (const KeywordCase& c : cases)
        EXPECT_EQ(hasKeyword(c.reply, c.keyword), c.offered) << c.reply << " / " << c.keyword;
}

TEST(SmtpMechanism, LoginFirstThenPlainCramDigest) {
    const std::pair<const char*, std::optional<AuthMechanism>> cases[] = {
        {"250-AUTH PLAIN LOGIN\r\n250 OK\r\n", AuthMechanism::Login},
        {"250-AUTH DIGEST-MD5 CRAM-MD5 PLAIN\r\n250 OK\r\n", AuthMechanism::Plain},
        {"250-AUTH DIGEST-MD5 CRAM-MD5\r\n250 OK\r\n", AuthMechanism::CramMd5},
        {"250-AUTH DIGEST-MD5\r\n250 OK\r\n", AuthMechanism::DigestMd5},
        {"250-AUTH GSSAPI XOAUTH2\r\n250 OK\r\n", std::nullopt},
    };
    for (const auto& [reply, mechanism] : cases)
        EXPECT_EQ(chooseMechanism(reply), mechanism) << reply;
}

} // namespace
} // namespace iomira::smtp
