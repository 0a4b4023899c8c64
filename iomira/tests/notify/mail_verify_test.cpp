#include "notify/mail_account_rules.h"
#include "notify/mail_account_verify.h"

#include <gtest/gtest.h>

#include <deque>

namespace iomira {
namespace {

// A runner that records each attempt and fails with the next scripted id (0: succeeds).
struct ScriptedRunner {
    std::deque<int32_t> outcomes;
    std::vector<MailAttempt> attempts;
    MailAttemptRunner runner() {
        return [this](const MailAttempt& a) {
            attempts.push_back(a);
            const int32_t id = outcomes.empty() ? 0 : outcomes.front();
            if (!outcomes.empty()) outcomes.pop_front();
            if (id != 0) throw ECSmtp(id);
        };
    }
};

MailVerifyRequest discovery() {
    return requestOf(*discoveryForm(QStringLiteral("Plant"), QStringLiteral("alarm@example.com"),
                                    QStringLiteral("pw"), QString()),
                     MAIL_VERIFY_DISCOVER);
}

struct SequenceCase {
    const char* name;
    int mode;
    std::deque<int32_t> outcomes;
    bool ok;
    int attempts;
    const char* portText; // after the run
    int authType;
    const char* errorText;
};

void PrintTo(const SequenceCase& c, std::ostream* out) {
    *out << c.name;
}

class MailVerifySequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(MailVerifySequence, AttemptsAndOutcome) {
    const SequenceCase& c = GetParam();
    MailVerifyRequest request = discovery();
    request.mode = c.mode;
    ScriptedRunner script{c.outcomes, {}};
    EXPECT_EQ(runMailVerification(request, script.runner()), c.ok);
    ASSERT_EQ(static_cast<int>(script.attempts.size()), c.attempts);
    EXPECT_EQ(request.portText, QString::fromLatin1(c.portText));
    EXPECT_EQ(request.AuthType, c.authType);
    EXPECT_EQ(request.errorText, QString::fromLatin1(c.errorText));

    const MailAttempt& first = script.attempts.front();
    EXPECT_EQ(first.server, "smtp.example.com");
    EXPECT_EQ(first.port, 465);
    EXPECT_EQ(first.security, SmtpSecurity::Tls);
    EXPECT_EQ(first.login, "alarm");
    EXPECT_EQ(first.password, "pw");
    if (c.attempts == 2) {
        EXPECT_EQ(script.attempts[1].port, 587);
        EXPECT_EQ(script.attempts[1].security, SmtpSecurity::StartTls);
        EXPECT_EQ(script.attempts[1].server, "smtp.example.com");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MailVerifySequence,
    ::testing::Values(
        SequenceCase{"first_succeeds", MAIL_VERIFY_DISCOVER, {0}, true, 1, "465", 2, ""},
        SequenceCase{"second_succeeds", MAIL_VERIFY_DISCOVER, {402, 0}, true, 2, "587", 3, ""},
        SequenceCase{"both_fail",
                     MAIL_VERIFY_DISCOVER,
                     {104, 416},
                     false,
                     2,
                     "587",
                     3,
                     "The STARTTLS command is not supported by the server"},
        SequenceCase{"bad_login_stops",
                     MAIL_VERIFY_DISCOVER,
                     {406},
                     false,
                     1,
                     "465",
                     2,
                     "Bad login or password"},
        SequenceCase{"bad_login_format_stops",
                     MAIL_VERIFY_DISCOVER,
                     {206},
                     false,
                     1,
                     "465",
                     2,
                     "Invalid user login or password"},
        SequenceCase{"as_entered_never_retries",
                     MAIL_VERIFY_AS_ENTERED,
                     {402},
                     false,
                     1,
                     "465",
                     2,
                     "Server not responding"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MailVerifySequence, SecurityFollowsAuthType) {
    const std::pair<int, SmtpSecurity> rows[] = {{0, SmtpSecurity::None},
                                                 {1, SmtpSecurity::None},
                                                 {2, SmtpSecurity::Tls},
                                                 {3, SmtpSecurity::StartTls},
                                                 {7, SmtpSecurity::None}};
    for (const auto& [authType, security] : rows)
        EXPECT_EQ(securityForAuthType(authType), security);
}

TEST(MailVerifySequence, PortTextThatIsNoPortFailsWithoutConnecting) {
    for (const char* text : {"", "abc", "0", "65536", "-25", "25x"}) {
        SCOPED_TRACE(text);
        MailVerifyRequest request = discovery();
        request.portText = QString::fromLatin1(text);
        ScriptedRunner script;
        EXPECT_FALSE(runMailVerification(request, script.runner()));
        EXPECT_TRUE(script.attempts.empty());
        EXPECT_FALSE(request.errorText.isEmpty());
    }
    EXPECT_EQ(mailPortValue(QStringLiteral(" 2525 ")), 2525);
}

TEST(MailAccountDiscovery, GuessFromTheAddress) {
    const auto f =
        discoveryForm(QStringLiteral("Plant"), QStringLiteral("ops.team@mail.example.org"),
                      QStringLiteral("pw"), QString());
    ASSERT_TRUE(f);
    EXPECT_EQ(f->login, QStringLiteral("ops.team"));
    EXPECT_EQ(f->server, QStringLiteral("smtp.mail.example.org"));
    EXPECT_EQ(f->port, QStringLiteral("465"));
    EXPECT_EQ(f->authType, MAIL_AUTH_SSL);
    EXPECT_EQ(f->description, QStringLiteral("ops.team@mail.example.org"));

    const QString n = QStringLiteral("n"), m = QStringLiteral("a@b"), p = QStringLiteral("p");
    EXPECT_FALSE(discoveryForm(QString(), m, p, QString()));
    EXPECT_FALSE(discoveryForm(n, QString(), p, QString()));
    EXPECT_FALSE(discoveryForm(n, m, QString(), QString()));
    EXPECT_FALSE(discoveryForm(n, QStringLiteral("no-at-sign"), p, QString()));
    EXPECT_EQ(discoveryForm(n, m, p, QStringLiteral("Mine"))->description, QStringLiteral("Mine"));
}

TEST(MailAccountDiscovery, AccountKeepsTheValuesTheVerificationUsed) {
    MailAccountForm form = *discoveryForm(QStringLiteral("Plant"), QStringLiteral("a@example.com"),
                                          QStringLiteral("pw"), QString());
    MailVerifyRequest used = requestOf(form, MAIL_VERIFY_DISCOVER);
    used.portText = QStringLiteral("587");
    used.AuthType = MAIL_AUTH_TLS;
    const CMailAccount a = accountOf(form, used, 12);
    EXPECT_EQ(a.MailAccountId, 12);
    EXPECT_EQ(a.MailServerPort, QStringLiteral("587"));
    EXPECT_EQ(a.AuthType, MAIL_AUTH_TLS);
    EXPECT_EQ(a.MailServerAddress, QStringLiteral("smtp.example.com"));
    EXPECT_EQ(a.AccountID, QStringLiteral("a"));
    EXPECT_EQ(a.MailAccountComment, QStringLiteral("a@example.com"));
    EXPECT_EQ(a.MailAccountName, QStringLiteral("Plant"));
}

TEST(MailAccountForms, CompleteNeedsEveryServerField) {
    MailAccountForm full{
        QStringLiteral("n"),  QStringLiteral("m@x"), QString(),           QStringLiteral("s"),
        QStringLiteral("25"), QStringLiteral("l"),   QStringLiteral("p"), 1};
    EXPECT_TRUE(formComplete(full)); // the description may stay empty
    QString MailAccountForm::*fields[] = {&MailAccountForm::name,   &MailAccountForm::mail,
                                          &MailAccountForm::server, &MailAccountForm::port,
                                          &MailAccountForm::login,  &MailAccountForm::password};
    for (auto field : fields) {
        MailAccountForm f = full;
        (f.*field).clear();
        EXPECT_FALSE(formComplete(f));
    }
}

} // namespace
} // namespace iomira
