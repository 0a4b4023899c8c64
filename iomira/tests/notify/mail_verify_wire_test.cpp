// The verification against real servers (aiosmtpd) on loopback: the wizard's first attempt
// with TLS from the start, its second one with STARTTLS, and the result message.
#include "mail_test_support.h"
#include "notify/mail_account_rules.h"
#include "notify/mail_account_verifier.h"
#include "notify/smtp/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace iomira {
namespace {

using smtp::test::PythonSmtpServer;
using smtp::test::TempDir;

class MailVerifyWire : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        certificates = new TempDir();
        smtp::test::makeCertificate(certificates->path());
    }
    static void TearDownTestSuite() {
        delete certificates;
        certificates = nullptr;
    }

    static std::unique_ptr<PythonSmtpServer> server(const std::string& mode,
                                                    const std::string& password = "secret") {
        std::vector<std::string> options{"--mode", mode, "--password", password};
        if (mode != "plain") {
            options.insert(options.end(), {"--cert", (certificates->path() / "cert.pem").string(),
                                           "--key", (certificates->path() / "key.pem").string()});
        }
        return std::make_unique<PythonSmtpServer>(options);
    }

    // What the wizard's first step makes of "user@..." with the server put on loopback.
    static MailVerifyRequest wizardRequest(uint16_t firstPort) {
        MailVerifyRequest r =
            requestOf(*discoveryForm(QStringLiteral("Plant"), QStringLiteral("user@iomira.test"),
                                     QStringLiteral("secret"), QString()),
                      MAIL_VERIFY_DISCOVER);
        r.server = QStringLiteral("127.0.0.1");
        r.portText = QString::number(firstPort);
        return r;
    }

    static bool saw(const PythonSmtpServer& s, const std::string& line) {
        const auto events = s.events();
        return std::find(events.begin(), events.end(), line) != events.end();
    }

    static TempDir* certificates;
};

TempDir* MailVerifyWire::certificates = nullptr;

TEST_F(MailVerifyWire, FirstAttemptWithTlsFromTheStartIsKept) {
    auto first = server("tls");
    auto second = server("starttls");
    MailVerifyRequest request = wizardRequest(first->port());
    ASSERT_TRUE(runMailVerification(request, smtpAttemptRunner(), second->port()))
        << request.errorText.toStdString();
    EXPECT_EQ(request.portText, QString::number(first->port()));
    EXPECT_EQ(request.AuthType, MAIL_AUTH_SSL);
    EXPECT_TRUE(saw(*first, "AUTH LOGIN user ok"));
    EXPECT_TRUE(second->events().empty());
}

TEST_F(MailVerifyWire, SecondAttemptUsesStartTlsOnTheSubmissionPort) {
    auto first = server("plain"); // speaks no TLS: the handshake of the first attempt fails
    auto second = server("starttls");
    MailVerifyRequest request = wizardRequest(first->port());
    ASSERT_TRUE(runMailVerification(request, smtpAttemptRunner(), second->port()))
        << request.errorText.toStdString();
    EXPECT_EQ(request.portText, QString::number(second->port()));
    EXPECT_EQ(request.AuthType, MAIL_AUTH_TLS);
    EXPECT_TRUE(saw(*second, "AUTH LOGIN user ok"));
    const auto events = second->events();
    EXPECT_TRUE(std::any_of(events.begin(), events.end(), [](const std::string& e) {
        return e.rfind("EHLO", 0) == 0 && e.ends_with(" tls");
    }));
}

TEST_F(MailVerifyWire, RefusedPasswordStopsAtTheFirstAttempt) {
    auto first = server("tls", "another");
    auto second = server("starttls");
    MailVerifyRequest request = wizardRequest(first->port());
    EXPECT_FALSE(runMailVerification(request, smtpAttemptRunner(), second->port()));
    EXPECT_EQ(request.errorText, QStringLiteral("Bad login or password"));
    EXPECT_TRUE(saw(*first, "AUTH LOGIN user bad"));
    EXPECT_TRUE(second->events().empty());
}

TEST_F(MailVerifyWire, WhenBothAttemptsFailTheSecondOnesErrorIsReported) {
    auto first = server("plain");
    auto second = server("plain"); // no STARTTLS offered
    MailVerifyRequest request = wizardRequest(first->port());
    EXPECT_FALSE(runMailVerification(request, smtpAttemptRunner(), second->port()));
    EXPECT_EQ(request.errorText,
              QStringLiteral("The STARTTLS command is not supported by the server"));
    EXPECT_EQ(request.portText, QString::number(second->port()));
}

TEST_F(MailVerifyWire, VerifierReportsTheResultMessageOnItsOwnThread) {
    auto first = server("plain");
    auto second = server("starttls");
    struct Case {
        int mode;
        int wParam;
    };
    for (const Case c : {Case{MAIL_VERIFY_DISCOVER, MAIL_VERIFY_SUCCEEDED},
                         Case{MAIL_VERIFY_AS_ENTERED, MAIL_VERIFY_FAILED}}) {
        SCOPED_TRACE(c.mode);
        MailAccountVerifier verifier;
        verifier.setSecondPort(second->port());
        std::vector<int> messages;
        QObject::connect(&verifier, &MailAccountVerifier::verified,
                         [&](int wParam) { messages.push_back(wParam); });
        MailVerifyRequest request = wizardRequest(first->port());
        request.mode = c.mode;
        ASSERT_TRUE(verifier.VerifyMailAccount(request));
        EXPECT_TRUE(verifier.running());
        EXPECT_FALSE(verifier.VerifyMailAccount(request)); // one at a time
        ASSERT_TRUE(mail_test::waitFor([&] { return !messages.empty(); }));
        EXPECT_EQ(messages, std::vector<int>{c.wParam});
        EXPECT_FALSE(verifier.running());
        if (c.wParam == MAIL_VERIFY_SUCCEEDED) {
            EXPECT_EQ(verifier.result().portText, QString::number(second->port()));
            EXPECT_TRUE(verifier.result().errorText.isEmpty());
        } else {
            EXPECT_EQ(verifier.result().errorText, QStringLiteral("SSL problem"));
        }
    }
}

TEST_F(MailVerifyWire, VerifierClosedWhileItsThreadStillWaitsDropsTheResult) {
    bool clientClosed = false;
    // Never greets: the attempt waits out its (shortened) greeting limit.
    smtp::test::ScriptedServer silent(
        [&](smtp::test::Peer& peer) { peer.readToEnd(clientClosed, std::chrono::seconds(20)); });
    auto verifier = std::make_unique<MailAccountVerifier>();
    verifier->setAttemptRunner(smtpAttemptRunner(0.02));
    MailVerifyRequest request = wizardRequest(silent.port());
    request.mode = MAIL_VERIFY_AS_ENTERED;
    ASSERT_TRUE(verifier->VerifyMailAccount(request));
    verifier.reset();
    silent.join();
    EXPECT_TRUE(clientClosed);
    // Whatever the worker posted is gone with its receiver; nothing runs on a dead object.
    mail_test::waitFor([] { return false; }, std::chrono::milliseconds(300));
}

} // namespace
} // namespace iomira
