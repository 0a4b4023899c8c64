// Reaching the server: addresses, refused connections, TLS handshakes that stall or fail,
// and the states in which the client does or does not say QUIT.
#include "client_support.h"
#include "notify/smtp/smtp_platform.h"
#include "test_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

namespace iomira::smtp::test {
namespace {

using namespace std::chrono_literals;

// A loopback port on which nothing listens.
uint16_t closedPort() {
    const int handle = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(handle, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(handle);
    return ntohs(address.sin_port);
}

TEST(SmtpConnect, UnusableAddressesAndRefusals) {
    const int descriptors = openDescriptorCount();
    auto refused = clientFor(closedPort());
    EXPECT_EQ(errorOf([&] { refused->Send(); }), SMTP_SELECT_FAILED);

    auto nameless = clientFor(25);
    nameless->SetServer("", 25);
    EXPECT_EQ(errorOf([&] { nameless->TestConnection(); }), SMTP_UNKNOWN_SERVER);
    EXPECT_EQ(openDescriptorCount(), descriptors);
}

TEST(SmtpConnect, PortZeroMeansTheMailServicePort) {
    // Whether or not the system lists "mail", the answer is the SMTP port.
    EXPECT_EQ(mailServicePort(), 25);
}

// A server that accepts and then never answers the client's first TLS message.
ScriptedServer::Script silentAfter(std::vector<std::pair<const char*, const char*>> exchange,
                                   bool& closed) {
    return [exchange, &closed](Peer& peer) {
        for (const auto& [expect, reply] : exchange) {
            if (expect) peer.readLine();
            peer.send(reply);
        }
        peer.readToEnd(closed);
    };
}

TEST(SmtpTls, HandshakeThatNeverCompletesTimesOut) {
    struct Case {
        const char* name;
        SmtpSecurity security;
        std::vector<std::pair<const char*, const char*>> exchange;
    };
    const Case cases[] = {
        {"TLS from the start", SmtpSecurity::Tls, {}},
        {"after STARTTLS",
         SmtpSecurity::StartTls,
         {{nullptr, "220 ok\r\n"},
          {"EHLO", "250-ok\r\n250-STARTTLS\r\n250 HELP\r\n"},
          {"STARTTLS", "220 go ahead\r\n"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool closed = false;
        ScriptedServer server(silentAfter(c.exchange, closed));
        const auto started = std::chrono::steady_clock::now();
        // 60 s handshake limit at a hundredth.
        EXPECT_EQ(errorOf([&] { clientFor(server.port(), c.security, 0.01)->Send(); }),
                  SMTP_SERVER_NOT_RESPONDING);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
        server.join();
        EXPECT_TRUE(closed);
    }
}

TEST(SmtpTls, ServerThatAnswersTheHandshakeWithTextIsATlsProblem) {
    bool closed = false;
    ScriptedServer server([&](Peer& peer) {
        peer.readUntil("\x16"); // the start of the client's first record
        peer.send("220 this is not TLS at all\r\n");
        peer.readToEnd(closed);
    });
    EXPECT_EQ(errorOf([&] { clientFor(server.port(), SmtpSecurity::Tls)->Send(); }),
              SMTP_TLS_PROBLEM);
    server.join();
    EXPECT_TRUE(closed);
}

// Plays greeting and EHLO without AUTH, then answers `command` with `reply` and returns
// everything the client sent afterwards.
ScriptedServer::Script upToEhlo(const char* ehlo, const char* reply, std::string& rest,
                                bool& closed) {
    return [=, &rest, &closed](Peer& peer) {
        peer.send("220 ok\r\n");
        peer.readLine();
        peer.send(ehlo);
        if (reply) {
            peer.readLine();
            peer.send(reply);
        }
        if (peer.readLine() == "QUIT\r\n") {
            rest = "QUIT\r\n";
            peer.send("221 bye\r\n");
        }
        rest += peer.readToEnd(closed);
    };
}

TEST(SmtpQuit, SaidAfterEhloButNotAfterA530) {
    struct Case {
        const char* name;
        const char* ehlo;
        const char* reply; // to the first command after EHLO
        int error;
        const char* rest;
    };
    const Case cases[] = {
        {"530 to AUTH", "250-ok\r\n250 AUTH LOGIN\r\n", "530 5.7.0 Must issue a STARTTLS first\r\n",
         SMTP_AUTH_LOGIN_REJECTED, ""},
        {"no mechanism we know", "250-ok\r\n250 AUTH GSSAPI\r\n", nullptr, SMTP_LOGIN_NOT_SUPPORTED,
         "QUIT\r\n"},
        {"STARTTLS not offered", "250-ok\r\n250 HELP\r\n", nullptr, SMTP_STARTTLS_NOT_SUPPORTED,
         "QUIT\r\n"},
        {"STARTTLS refused", "250-ok\r\n250 STARTTLS\r\n", "454 TLS not available\r\n",
         SMTP_STARTTLS_REJECTED, "QUIT\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string rest;
        bool closed = false;
        ScriptedServer server(upToEhlo(c.ehlo, c.reply, rest, closed));
        const bool startTls = std::string(c.name).starts_with("STARTTLS");
        auto smtp =
            clientFor(server.port(), startTls ? SmtpSecurity::StartTls : SmtpSecurity::None);
        EXPECT_EQ(errorOf([&] { smtp->Send(); }), c.error);
        server.join();
        EXPECT_EQ(rest, c.rest);
        EXPECT_TRUE(closed);
    }
}

TEST(SmtpQuit, MissingCredentialsOrSenderAreRefusedBeforeAnythingIsSent) {
    struct Case {
        const char* name;
        void (*spoil)(CSmtp&);
        int error;
    };
    const Case cases[] = {
        {"no login", [](CSmtp& s) { s.SetLogin(""); }, SMTP_UNDEFINED_LOGIN},
        {"no password", [](CSmtp& s) { s.SetPassword(""); }, SMTP_UNDEFINED_PASSWORD},
        {"no sender", [](CSmtp& s) { s.SetSenderMail(""); }, SMTP_UNDEFINED_SENDER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string rest;
        bool closed = false;
        ScriptedServer server(upToEhlo("250-ok\r\n250 AUTH=LOGIN\r\n", nullptr, rest, closed));
        auto smtp = clientFor(server.port());
        c.spoil(*smtp);
        if (c.error == SMTP_UNDEFINED_SENDER) smtp->SetAuthenticate(false);
        EXPECT_EQ(errorOf([&] { smtp->Send(); }), c.error);
        server.join();
        EXPECT_EQ(rest, "QUIT\r\n");
    }
}

} // namespace
} // namespace iomira::smtp::test
