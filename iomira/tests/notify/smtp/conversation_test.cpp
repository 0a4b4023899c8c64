// The client against a scripted server: every command as it arrives, replies at every step
// that are wrong, missing or cut off, and what the client leaves behind afterwards.
#include "client_support.h"
#include "notify/smtp/smtp_transport.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace iomira::smtp::test {
namespace {

using namespace std::chrono_literals;

// Between chunks of a reply the server pauses, so the client sees them in separate reads.
constexpr char kChunk = '\x01';

struct ServerStep {
    const char* name;
    const char* expect; // the command as the client must send it; nullptr for the greeting
    const char* reply;
    int wrongReplyError; // what the client throws when this step gets "554"; 0 for none
};

// A LOGIN conversation for clientFor(): user "user" / "secret" in Base64.
const ServerStep kLoginConversation[] = {
    {"greeting", nullptr, "220 scripted ESMTP\r\n", SMTP_SERVER_NOT_RESPONDING},
    {"EHLO", "EHLO", "250-scripted\r\n250-AUTH PLAIN LOGIN\r\n250 HELP\r\n", SMTP_EHLO_REJECTED},
    {"AUTH LOGIN", "AUTH LOGIN\r\n", "334 VXNlcm5hbWU6\r\n", SMTP_AUTH_LOGIN_REJECTED},
    {"user name", "dXNlcg==\r\n", "334 UGFzc3dvcmQ6\r\n", SMTP_UNDEF_XYZ_RESPONSE},
    {"password", "c2VjcmV0\r\n", "235 2.7.0 Authentication successful\r\n", SMTP_BAD_LOGIN_PASS},
    {"MAIL FROM", "MAIL FROM:<alarm@plant.example>\r\n", "250 ok\r\n", SMTP_MAIL_FROM_REJECTED},
    {"RCPT TO", "RCPT TO:<op@plant.example>\r\n", "250 ok\r\n", SMTP_RCPT_TO_REJECTED},
    {"DATA", "DATA\r\n", "354 go ahead\r\n", SMTP_DATA_REJECTED},
    {"end of data", "\r\n.\r\n", "250 queued\r\n", SMTP_MESSAGE_BODY_REJECTED},
    {"QUIT", "QUIT\r\n", "221 bye\r\n", 0},
};
constexpr int kStepCount = static_cast<int>(std::size(kLoginConversation));
constexpr int kEhloStep = 1;
constexpr int kDataStep = 7;
constexpr int kEndOfDataStep = 8;
constexpr int kQuitStep = kStepCount - 1;

enum class Fault { None, WrongReply, Close, Silent };

// What the server saw after it stopped following the conversation.
struct Aftermath {
    std::string afterFault; // everything the client sent after the fault
    bool clientClosed = false;
};

void sendInChunks(Peer& peer, const std::string& reply) {
    size_t start = 0;
    for (size_t at; (at = reply.find(kChunk, start)) != std::string::npos; start = at + 1) {
        peer.send(reply.substr(start, at - start));
        std::this_thread::sleep_for(30ms);
    }
    peer.send(reply.substr(start));
}

std::string receiveCommand(Peer& peer, int step) {
    if (step == kEndOfDataStep) return peer.readUntil("\r\n.\r\n");
    return peer.readLine();
}

void checkCommand(int step, const std::string& received) {
    const std::string expected = kLoginConversation[step].expect;
    if (step == kEhloStep || step == kEndOfDataStep)
        EXPECT_TRUE(received.starts_with(expected) || received.ends_with(expected)) << received;
    else
        EXPECT_EQ(received, expected) << kLoginConversation[step].name;
}

// Plays the conversation, breaking it at `faultStep` with `fault`. A client that sends QUIT
// after a wrong reply gets its 221, as a real server would answer.
ScriptedServer::Script conversation(int faultStep, Fault fault, Aftermath& after,
                                    const char* ehloReply = nullptr) {
    return [=, &after](Peer& peer) {
        for (int step = 0; step < kStepCount; ++step) {
            if (step > 0) checkCommand(step, receiveCommand(peer, step));
            if (step == faultStep && fault != Fault::None) {
                if (fault == Fault::Close) return peer.close();
                if (fault == Fault::WrongReply) peer.send("554 refused\r\n");
                if (fault == Fault::WrongReply && peer.readLine() == "QUIT\r\n") {
                    after.afterFault = "QUIT\r\n";
                    peer.send("221 bye\r\n");
                }
                after.afterFault += peer.readToEnd(after.clientClosed);
                return;
            }
            sendInChunks(peer, step == kEhloStep && ehloReply ? ehloReply
                                                              : kLoginConversation[step].reply);
        }
        after.afterFault = peer.readToEnd(after.clientClosed);
    };
}

TEST(SmtpConversation, CommandsArriveExactlyAndTheMailIsSent) {
    Aftermath after;
    ScriptedServer server(conversation(-1, Fault::None, after));
    EXPECT_EQ(errorOf([&] { clientFor(server.port())->Send(); }), 0);
    server.join();
    EXPECT_TRUE(after.clientClosed);
    EXPECT_EQ(after.afterFault, "");
}

TEST(SmtpConversation, WrongReplyAtEveryStepThrowsThatStepsError) {
    for (int step = 0; step < kStepCount; ++step) {
        SCOPED_TRACE(kLoginConversation[step].name);
        Aftermath after;
        ScriptedServer server(conversation(step, Fault::WrongReply, after));
        const int descriptors = openDescriptorCount();
        EXPECT_EQ(errorOf([&] { clientFor(server.port())->Send(); }),
                  kLoginConversation[step].wrongReplyError);
        server.join();
        EXPECT_TRUE(after.clientClosed);
        // QUIT is said once EHLO has been answered; the rejected QUIT itself is not repeated.
        const bool quitExpected = step > kEhloStep && step != kQuitStep;
        EXPECT_EQ(after.afterFault, quitExpected ? "QUIT\r\n" : "");
        EXPECT_LE(openDescriptorCount(), descriptors);
    }
}

TEST(SmtpConversation, ServerClosingAtEveryStepIsReportedAsClosed) {
    for (int step = 0; step < kStepCount; ++step) {
        SCOPED_TRACE(kLoginConversation[step].name);
        Aftermath after;
        ScriptedServer server(conversation(step, Fault::Close, after));
        const int descriptors = openDescriptorCount();
        // A close after the server has taken the message leaves the mail sent.
        EXPECT_EQ(errorOf([&] { clientFor(server.port())->Send(); }),
                  step == kQuitStep ? 0 : SMTP_CONNECTION_CLOSED);
        server.join();
        EXPECT_LE(openDescriptorCount(), descriptors);
    }
}

TEST(SmtpConversation, SilentServerTimesOutWithoutQuitAndWithoutHanging) {
    // Limits at a hundredth: greeting 0.1 s, EHLO 3 s, DATA 1.2 s.
    for (const int step : {0, kEhloStep, kDataStep}) {
        SCOPED_TRACE(kLoginConversation[step].name);
        Aftermath after;
        ScriptedServer server(conversation(step, Fault::Silent, after));
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(errorOf([&] { clientFor(server.port(), SmtpSecurity::None, 0.01)->Send(); }),
                  SMTP_SERVER_NOT_RESPONDING);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
        server.join();
        EXPECT_TRUE(after.clientClosed);
        EXPECT_EQ(after.afterFault, "");
    }
}

TEST(SmtpConversation, RepliesSplitOverSeveralReadsAreAssembled) {
    const std::string ehlo = std::string("250-scripted\r\n250-AU") + kChunk + "TH PLAIN" + kChunk +
                             " LOGIN\r\n250-8BIT" + kChunk + "MIME\r\n250 HE" + kChunk + "LP\r\n";
    Aftermath after;
    ScriptedServer server(conversation(-1, Fault::None, after, ehlo.c_str()));
    EXPECT_EQ(errorOf([&] { clientFor(server.port())->Send(); }), 0);
    server.join();
    EXPECT_TRUE(after.clientClosed);
}

TEST(SmtpConversation, LateGreetingIsNotResponding) {
    bool closed = false;
    ScriptedServer server([&](Peer& peer) {
        std::this_thread::sleep_for(400ms); // four times the scaled 10 s limit
        peer.send("220 late\r\n");
        peer.readToEnd(closed);
    });
    EXPECT_EQ(errorOf([&] { clientFor(server.port(), SmtpSecurity::None, 0.01)->Send(); }),
              SMTP_SERVER_NOT_RESPONDING);
    server.join();
    EXPECT_TRUE(closed);
}

// Sends the greeting and then `flood` as EHLO reply, over and over, until the client goes
// away (bounded in count and time).
ScriptedServer::Script flooding(std::string flood, std::chrono::milliseconds pause, bool& closed) {
    return [flood, pause, &closed](Peer& peer) {
        peer.send("220 ok\r\n");
        peer.readLine();
        const auto until = std::chrono::steady_clock::now() + 15s;
        for (int i = 0; i < 20000 && std::chrono::steady_clock::now() < until; ++i) {
            if (!peer.send(flood)) break;
            if (pause.count() > 0) std::this_thread::sleep_for(pause);
        }
        peer.readToEnd(closed);
    };
}

TEST(SmtpBadInput, ServerGoneWhileTheClientWritesIsAnErrorNotASignal) {
    for (const bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "reset" : "closed");
        ScriptedServer server([reset](Peer& peer) {
            for (const char* reply : {"220 ok\r\n", "250 ok\r\n", "250 ok\r\n", "250 ok\r\n"}) {
                peer.send(reply);
                peer.readLine();
            }
            peer.send("354 go ahead\r\n");
            reset ? peer.reset() : peer.close();
        });
        auto smtp = clientFor(server.port());
        smtp->SetAuthenticate(false);
        for (int i = 0; i < 200; ++i)
            smtp->AddBodyLine(std::string(1000, 'b'));
        const int error = errorOf([&] { smtp->Send(); });
        EXPECT_TRUE(error == SMTP_SEND_FAILED || error == SMTP_RECV_FAILED ||
                    error == SMTP_CONNECTION_CLOSED)
            << error;
        server.join();
    }
}

TEST(SmtpBadInput, EndlessLinesStopAtTheReplyLimit) {
    const std::pair<const char*, std::string> floods[] = {
        {"endless continuation lines", "250-" + std::string(94, 'x') + "\r\n"},
        {"one endless line", std::string(100, 'y')},
    };
    for (const auto& [name, flood] : floods) {
        SCOPED_TRACE(name);
        bool closed = false;
        ScriptedServer server(flooding(flood, 0ms, closed));
        EXPECT_EQ(errorOf([&] { clientFor(server.port())->Send(); }), SMTP_LACK_OF_MEMORY);
        server.join();
    }
}

TEST(SmtpBadInput, TrickledLinesEndAtTheStepsTimeLimit) {
    bool closed = false;
    ScriptedServer server(flooding("250-x\r\n", 20ms, closed));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(errorOf([&] { clientFor(server.port(), SmtpSecurity::None, 0.01)->Send(); }),
              SMTP_SERVER_NOT_RESPONDING);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, 3s); // the EHLO limit, scaled; the trickle never extends it
    EXPECT_LT(took, 10s);
    server.join();
}

TEST(SmtpBadInput, ReplyUpToTheLimitIsTakenOneByteMoreIsNot) {
    for (const size_t size : {kReplyLimit, kReplyLimit + 1}) {
        SCOPED_TRACE(size);
        ScriptedServer server([size](Peer& peer) {
            peer.send("220 " + std::string(size - 6, 'g') + "\r\n");
            peer.readLine();
        });
        auto smtp = clientFor(server.port());
        smtp->SetAuthenticate(false);
        // A greeting that fits is taken, and the EHLO then meets the server's close.
        EXPECT_EQ(errorOf([&] { smtp->Send(); }),
                  size == kReplyLimit ? SMTP_CONNECTION_CLOSED : SMTP_LACK_OF_MEMORY);
        server.join();
    }
}

} // namespace
} // namespace iomira::smtp::test
