// The client against a real SMTP server (aiosmtpd) on loopback: every security type and
// mechanism, the mechanism order, refusals, and the message exactly as the server took it.
#include "client_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace iomira::smtp::test {
namespace {

class SmtpRealServer : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        certificates_ = std::make_unique<TempDir>();
        makeCertificate(certificates_->path());
    }
    static void TearDownTestSuite() { certificates_.reset(); }

    // The server in `mode` ("plain", "starttls", "tls") with further options.
    static std::unique_ptr<PythonSmtpServer> start(const std::string& mode,
                                                   std::vector<std::string> options = {}) {
        // Later options win, so the test's own come last.
        std::vector<std::string> all = {"--mode",     mode,
                                        "--user",     kLogin,
                                        "--password", kPassword,
                                        "--cert",     (certificates_->path() / "cert.pem").string(),
                                        "--key",      (certificates_->path() / "key.pem").string()};
        all.insert(all.end(), options.begin(), options.end());
        return std::make_unique<PythonSmtpServer>(all);
    }

    static bool logged(const PythonSmtpServer& server, const std::string& line) {
        const auto events = server.events();
        return std::find(events.begin(), events.end(), line) != events.end();
    }

    static int countStarting(const PythonSmtpServer& server, const std::string& prefix) {
        const auto events = server.events();
        return static_cast<int>(std::count_if(
            events.begin(), events.end(), [&](const auto& e) { return e.rfind(prefix, 0) == 0; }));
    }

    static inline std::unique_ptr<TempDir> certificates_;
};

// "Date: 9 Dec 2026 7:5:3" and its line end: unpadded numbers, English month, no zone.
bool isDateLine(const std::string& line) {
    int day, year, hour, minute, second;
    char month[4] = {};
    if (std::sscanf(line.c_str(), "Date: %d %3s %d %d:%d:%d", &day, month, &year, &hour, &minute,
                    &second) != 6)
        return false;
    const std::string months = "JanFebMarAprMayJunJulAugSepOctNovDec";
    char rebuilt[64];
    std::snprintf(rebuilt, sizeof rebuilt, "Date: %d %s %d %d:%d:%d\r\n", day, month, year, hour,
                  minute, second);
    const size_t monthAt = months.find(month);
    return line == rebuilt && std::strlen(month) == 3 && monthAt != std::string::npos &&
           monthAt % 3 == 0 && day >= 1 && day <= 31 && hour < 24 && minute < 60 && second <= 60;
}

struct SecureCase {
    const char* name;
    const char* mode;
    SmtpSecurity security;
    const char* mechanism;
    const char* realm;
};

TEST_F(SmtpRealServer, EverySecurityTypeWithEveryMechanism) {
    const SecureCase cases[] = {
        {"plain LOGIN", "plain", SmtpSecurity::None, "LOGIN", ""},
        {"plain PLAIN", "plain", SmtpSecurity::None, "PLAIN", ""},
        {"plain CRAM-MD5", "plain", SmtpSecurity::None, "CRAM-MD5", ""},
        {"plain DIGEST-MD5 with realm", "plain", SmtpSecurity::None, "DIGEST-MD5", "iomira.test"},
        {"plain DIGEST-MD5 without realm", "plain", SmtpSecurity::None, "DIGEST-MD5", ""},
        {"STARTTLS LOGIN", "starttls", SmtpSecurity::StartTls, "LOGIN", ""},
        {"STARTTLS CRAM-MD5", "starttls", SmtpSecurity::StartTls, "CRAM-MD5", ""},
        {"STARTTLS DIGEST-MD5", "starttls", SmtpSecurity::StartTls, "DIGEST-MD5", "iomira.test"},
        {"TLS PLAIN", "tls", SmtpSecurity::Tls, "PLAIN", ""},
        {"TLS CRAM-MD5", "tls", SmtpSecurity::Tls, "CRAM-MD5", ""},
    };
    for (const SecureCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto server = start(c.mode, {"--mechs", c.mechanism, "--realm", c.realm});
        EXPECT_EQ(errorOf([&] { clientFor(server->port(), c.security)->Send(); }), 0);
        EXPECT_TRUE(logged(*server, std::string("AUTH ") + c.mechanism + " user ok"));
        EXPECT_TRUE(logged(*server, "MESSAGE 1 alarm@plant.example op@plant.example"));
        // After STARTTLS the client introduces itself again, now inside TLS.
        std::vector<std::string> ehlo;
        for (const std::string& e : server->events())
            if (e.starts_with("EHLO ")) ehlo.push_back(e.substr(e.rfind(' ') + 1));
        const std::vector<std::string> expected =
            c.security == SmtpSecurity::StartTls ? std::vector<std::string>{"plain", "tls"}
            : c.security == SmtpSecurity::Tls    ? std::vector<std::string>{"tls"}
                                                 : std::vector<std::string>{"plain"};
        EXPECT_EQ(ehlo, expected);
    }
}

TEST_F(SmtpRealServer, LoginIsTriedFirstWhateverTheServerListsFirst) {
    const std::pair<const char*, const char*> cases[] = {
        {"PLAIN LOGIN", "LOGIN"},
        {"DIGEST-MD5 CRAM-MD5 PLAIN", "PLAIN"},
        {"DIGEST-MD5 CRAM-MD5", "CRAM-MD5"},
    };
    for (const auto& [offered, used] : cases) {
        SCOPED_TRACE(offered);
        auto server = start("plain", {"--advertise", offered});
        EXPECT_EQ(errorOf([&] { clientFor(server->port())->Send(); }), 0);
        EXPECT_EQ(countStarting(*server, "AUTH "), 1);
        EXPECT_TRUE(logged(*server, std::string("AUTH ") + used + " user ok"));
    }
}

TEST_F(SmtpRealServer, WithoutAuthOfferedOrWantedTheMailGoesUnauthenticated) {
    for (const bool offered : {false, true}) {
        SCOPED_TRACE(offered ? "AUTH offered, not wanted" : "no AUTH offered");
        auto server = start("plain", offered ? std::vector<std::string>{}
                                             : std::vector<std::string>{"--no-auth"});
        auto smtp = clientFor(server->port());
        smtp->SetAuthenticate(offered ? false : true);
        EXPECT_EQ(errorOf([&] { smtp->Send(); }), 0);
        EXPECT_EQ(countStarting(*server, "AUTH "), 0);
        EXPECT_TRUE(logged(*server, "MESSAGE 1 alarm@plant.example op@plant.example"));
    }
}

TEST_F(SmtpRealServer, RefusedCredentialsAndMissingStartTls) {
    struct Case {
        const char* name;
        const char* mode;
        const char* mechanism;
        SmtpSecurity security;
        const char* password;
        int error;
    };
    const Case cases[] = {
        {"535 to the LOGIN password", "plain", "LOGIN", SmtpSecurity::None, "wrong",
         SMTP_BAD_LOGIN_PASS},
        {"535 to AUTH PLAIN", "plain", "PLAIN", SmtpSecurity::None, "wrong",
         SMTP_AUTH_PLAIN_REJECTED},
        {"535 to the CRAM-MD5 answer", "plain", "CRAM-MD5", SmtpSecurity::None, "wrong",
         SMTP_BAD_LOGIN_PASS},
        {"535 to the DIGEST-MD5 answer", "plain", "DIGEST-MD5", SmtpSecurity::None, "wrong",
         SMTP_DIGEST_RESPONSE_REJECTED},
        {"no STARTTLS offered", "plain", "LOGIN", SmtpSecurity::StartTls, kPassword,
         SMTP_STARTTLS_NOT_SUPPORTED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto server = start(c.mode, {"--mechs", c.mechanism});
        auto smtp = clientFor(server->port(), c.security);
        smtp->SetPassword(c.password);
        EXPECT_EQ(errorOf([&] { smtp->Send(); }), c.error);
        EXPECT_EQ(countStarting(*server, "MESSAGE"), 0);
    }
}

TEST_F(SmtpRealServer, PasswordsWithCaretsAndLongPasswords) {
    const std::pair<const char*, std::string> cases[] = {
        {"PLAIN", "pa^ss^"},
        {"LOGIN", "pa^ss^"},
        {"CRAM-MD5", std::string(80, 'k')}, // longer than an HMAC block
        {"DIGEST-MD5", "p\xc3\xa4ss"},
    };
    for (const auto& [mechanism, password] : cases) {
        SCOPED_TRACE(mechanism);
        auto server = start("plain", {"--mechs", mechanism, "--password", password});
        auto smtp = clientFor(server->port());
        smtp->SetPassword(password);
        EXPECT_EQ(errorOf([&] { smtp->TestConnection(); }), 0);
        EXPECT_TRUE(logged(*server, std::string("AUTH ") + mechanism + " user ok"));
    }
}

TEST_F(SmtpRealServer, TestConnectionAuthenticatesAndSendsNothing) {
    auto server = start("tls", {"--mechs", "LOGIN"});
    EXPECT_EQ(errorOf([&] { clientFor(server->port(), SmtpSecurity::Tls)->TestConnection(); }), 0);
    EXPECT_TRUE(logged(*server, "AUTH LOGIN user ok"));
    EXPECT_EQ(countStarting(*server, "MESSAGE"), 0);

    // By host name the client also names the server in the handshake.
    auto named = clientFor(server->port(), SmtpSecurity::Tls);
    named->SetServer("localhost", server->port());
    EXPECT_EQ(errorOf([&] { named->TestConnection(); }), 0);

    auto refused = clientFor(server->port(), SmtpSecurity::Tls);
    refused->SetPassword("wrong");
    EXPECT_EQ(errorOf([&] { refused->TestConnection(); }), SMTP_BAD_LOGIN_PASS);
}

TEST_F(SmtpRealServer, MessageArrivesByteForByteAndDecodesAsWritten) {
    const std::string name = "\xec\x9d\xb4\xec\x98\xa4\xeb\xaf\xb8\xeb\x9d\xbc"; // Korean, UTF-8
    const std::string subject = "\xeb\xac\xb8 \xec\x97\xb4\xeb\xa6\xbc: Door ON";
    auto server = start("starttls", {"--mechs", "PLAIN"});
    auto smtp = clientFor(server->port(), SmtpSecurity::StartTls);
    smtp->SetSenderName(name);
    smtp->SetSubject(subject);
    smtp->SetPriority(2);
    smtp->AddRecipient("boss@plant.example", "Boss");
    smtp->AddBodyLine("Line one\r\n..dot-stuffed by the caller");
    smtp->AddBodyLine(".leading period");
    EXPECT_EQ(errorOf([&] { smtp->Send(); }), 0);

    const std::string data = server->message(1);
    const size_t dateEnd = data.find("\r\n") + 2;
    EXPECT_TRUE(isDateLine(data.substr(0, dateEnd))) << data;
    EXPECT_EQ(data.substr(dateEnd), "From: =?utf-8?B?7J207Jik66+46528?= <alarm@plant.example>\r\n"
                                    "X-Mailer: Iomira\r\n"
                                    "Reply-To: alarm@plant.example\r\n"
                                    "X-Priority: 2 (High)\r\n"
                                    "To: <op@plant.example>,Boss<boss@plant.example>\r\n"
                                    "Subject: =?utf-8?B?66y4IOyXtOumvDogRG9vciBPTg==?=\r\n"
                                    "MIME-Version: 1.0\r\n"
                                    "Content-type: text/plain; charset=\"utf-8\"\r\n"
                                    "Content-Transfer-Encoding: 7bit\r\n"
                                    "\r\n"
                                    "Input 1 is ON\r\n"
                                    "Line one\r\n.dot-stuffed by the caller\r\n"
                                    ".leading period\r\n"
                                    "\r\n");
    EXPECT_TRUE(
        logged(*server, "MESSAGE 1 alarm@plant.example op@plant.example,boss@plant.example"));
    EXPECT_TRUE(logged(*server, "SUBJECT 1 " + subject));
    EXPECT_TRUE(logged(*server, "FROM 1 " + name + " <alarm@plant.example>"));
}

TEST_F(SmtpRealServer, ClientsOnSeveralThreadsAtOnce) {
    auto server = start("tls", {"--mechs", "CRAM-MD5"});
    std::vector<std::thread> senders;
    std::array<int, 4> errors{};
    for (size_t i = 0; i < errors.size(); ++i)
        senders.emplace_back([&, i] {
            errors[i] = errorOf([&] { clientFor(server->port(), SmtpSecurity::Tls)->Send(); });
        });
    for (std::thread& t : senders)
        t.join();
    EXPECT_EQ(errors, (std::array<int, 4>{}));
    EXPECT_EQ(countStarting(*server, "MESSAGE"), 4);
}

TEST_F(SmtpRealServer, MessageWithoutBodyLinesCarriesOneSpace) {
    auto server = start("plain", {"--no-auth"});
    auto smtp = std::make_unique<CSmtp>();
    smtp->SetServer("127.0.0.1", server->port());
    smtp->SetSenderMail(kSender);
    smtp->AddRecipient(kRecipient);
    EXPECT_EQ(errorOf([&] { smtp->Send(); }), 0);
    const std::string data = server->message(1);
    EXPECT_TRUE(data.ends_with("Subject:  \r\nMIME-Version: 1.0\r\n"
                               "Content-type: text/plain; charset=\"US-ASCII\"\r\n"
                               "Content-Transfer-Encoding: 7bit\r\n\r\n \r\n\r\n"))
        << data;
}

} // namespace
} // namespace iomira::smtp::test
