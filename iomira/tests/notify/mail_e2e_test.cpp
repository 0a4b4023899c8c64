// A changed input on the simulator through Corvel, the dispatch, the queue and the mail thread
// to a real SMTP server on loopback, and the results in the event log.

#include "notify/mail_rig.h"

#include "core/string_table.h"
#include "monitor/polling_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace iomira {
namespace {

using test::MailRig;
using test::pumpUntil;

class MailEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override { setLanguage(LANG_ENGLISH); }
    static QStringList mailLines(const QStringList& etc) {
        QStringList lines;
        for (const QString& line : etc)
            if (line.contains("(Boiler")) lines << line;
        return lines;
    }
    MailRig rig;
};

TEST_F(MailEndToEnd, ChangedInputMailsEachTrimmedRecipientInSequenceAndLogsTheResults) {
    CQUORVISData& c = rig.addWatchedController("ops@iomira.test;;night@iomira.test ;");
    rig.connect(c);
    ASSERT_EQ(rig.messagesReceived(), 0); // the first responses stay silent

    const auto start = std::chrono::steady_clock::now();
    rig.changeInput(c, 0, 1);
    ASSERT_TRUE(pumpUntil([&] { return rig.messagesReceived() == 1; }, 15000));
    const double firstMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(pumpUntil(
        [&] { return rig.messagesReceived() == 2 && !rig.mailer.thread().busy(); }, 15000));
    std::printf("input change to first mail at the server: %.1f ms\n", firstMs);

    EXPECT_EQ(rig.serverEvents("MESSAGE "),
              (std::vector<std::string>{"MESSAGE 1 plant@iomira.test ops@iomira.test",
                                        "MESSAGE 2 plant@iomira.test night@iomira.test"}));
    EXPECT_EQ(rig.serverEvents("SUBJECT 1"),
              std::vector<std::string>{"SUBJECT 1 Boiler: Flame is ON"});
    // The line that starts with a period arrives whole: it was doubled on the wire.
    const std::string body = rig.server.message(1);
    EXPECT_NE(body.find("\r\n.hidden line\r\n"), std::string::npos) << body;
    EXPECT_NE(body.find(" Flame of Boiler turned ON."), std::string::npos) << body;

    const QStringList lines = mailLines(rig.monitor.files.etcOf("Boiler"));
    EXPECT_EQ(lines, (QStringList{"[0]Try to send a mail.(Boiler-INPUT0,Flame,ON)",
                                  "[1]Try to send a mail.(Boiler-INPUT0,Flame,ON)",
                                  "Sending a notification email has successfully "
                                  "finished.[0](Boiler:ops@iomira.test;;night@iomira.test ;)",
                                  "Sending a notification email has successfully "
                                  "finished.[1](Boiler:ops@iomira.test;;night@iomira.test ;)"}));
    EXPECT_EQ(rig.mailer.sequence(), 2);
}

TEST_F(MailEndToEnd, QueuedMailsAreSentStrictlyOneAfterTheOther) {
    // Each report arrives while the mail thread waits for it: the server then holds exactly
    // the mails reported so far, and the reported mail is still the queue's head.
    struct Seen {
        int sequence, atServer, queued;
    };
    std::vector<Seen> seen;
    const CMailAccount account = *rig.accounts.find(77);
    CSendMailThread* self = nullptr;
    CSendMailThread thread([&](int32_t) { return std::optional<CMailAccount>(account); },
                           [&](const MailReport& r) {
                               seen.push_back({r.sequence, rig.messagesReceived(), self->queued()});
                           });
    self = &thread;
    thread.setTimeScale(0.05);
    for (int n = 0; n < 3; ++n)
        thread.AddMail({-1, n, QString("r%1@iomira.test").arg(n), 77, "Sample", "Body"});
    ASSERT_TRUE(pumpUntil([&] { return seen.size() == 3; }, 20000));
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(seen[n].sequence, n);
        EXPECT_EQ(seen[n].atServer, n + 1);
        EXPECT_EQ(seen[n].queued, 3 - n);
    }
    EXPECT_EQ(rig.serverEvents("MESSAGE "),
              (std::vector<std::string>{"MESSAGE 1 plant@iomira.test r0@iomira.test",
                                        "MESSAGE 2 plant@iomira.test r1@iomira.test",
                                        "MESSAGE 3 plant@iomira.test r2@iomira.test"}));
}

// The whole way as the program runs it, the once-a-second polling included; prints the times.
TEST_F(MailEndToEnd, InputChangesReachTheServerThroughThePollingThread) {
    CQUORVISData& c = rig.addWatchedController("ops@iomira.test");
    rig.connect(c);
    PollingThread poller(rig.monitor.shared, rig.monitor.files.monitorLog);
    ASSERT_TRUE(poller.start());
    std::vector<double> times;
    for (int n = 1; n <= 3; ++n) {
        const auto start = std::chrono::steady_clock::now();
        rig.monitor.sim.command("input io 0 " + std::to_string(n % 2));
        ASSERT_TRUE(pumpUntil([&] { return rig.messagesReceived() == n; }, 5000));
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    poller.stop();
    std::printf("input change to mail at the server with 1 s polling: %.0f, %.0f, %.0f ms\n",
                times[0], times[1], times[2]);
}

TEST_F(MailEndToEnd, OutputChangeIsMailed) {
    CQUORVISData& c = rig.addWatchedController("ops@iomira.test");
    rig.connect(c);
    rig.changeOutput(c, 0, 1);
    ASSERT_TRUE(pumpUntil([&] { return rig.messagesReceived() == 1; }, 15000));
    EXPECT_EQ(rig.serverEvents("SUBJECT 1"),
              std::vector<std::string>{"SUBJECT 1 Boiler: Valve is ON"});
    ASSERT_TRUE(
        pumpUntil([&] { return mailLines(rig.monitor.files.etcOf("Boiler")).size() == 2; }));
    EXPECT_EQ(mailLines(rig.monitor.files.etcOf("Boiler"))[0],
              "[0]Try to send a mail.(Boiler-OUTPUT0,Valve,ON)");
}

TEST_F(MailEndToEnd, DeletedAccountAndRefusedLoginAreLoggedAndTheMailDropped) {
    CQUORVISData& c = rig.addWatchedController("ops@iomira.test");
    rig.connect(c);
    rig.accounts.remove(77);
    rig.changeInput(c, 0, 1);
    ASSERT_TRUE(
        pumpUntil([&] { return mailLines(rig.monitor.files.etcOf("Boiler")).size() == 2; }));
    EXPECT_EQ(mailLines(rig.monitor.files.etcOf("Boiler"))[1],
              "Can't find the IP address of the mail server.[0](Boiler:ops@iomira.test)");

    CMailAccount wrong;
    wrong.MailAccountId = 77;
    wrong.AuthType = MAIL_AUTH_NONE;
    wrong.AccountID = test::kSmtpLogin;
    wrong.Password = "wrong";
    wrong.AccountMail = "plant@iomira.test";
    wrong.MailServerAddress = "127.0.0.1";
    wrong.MailServerPort = QString::number(rig.server.port());
    rig.accounts.insert(wrong);
    rig.changeInput(c, 0, 0);
    ASSERT_TRUE(
        pumpUntil([&] { return mailLines(rig.monitor.files.etcOf("Boiler")).size() == 4; }, 15000));
    const QString failure = mailLines(rig.monitor.files.etcOf("Boiler"))[3];
    EXPECT_TRUE(failure.startsWith("[1]")) << failure.toStdString();
    EXPECT_TRUE(failure.endsWith("(Boiler:ops@iomira.test)")) << failure.toStdString();
    EXPECT_EQ(rig.messagesReceived(), 0);
    // The report comes while the mail still heads the queue; then it is dropped, not retried.
    EXPECT_TRUE(pumpUntil([&] { return rig.mailer.thread().queued() == 0; }));
    pumpUntil([] { return false; }, 300);
    EXPECT_EQ(mailLines(rig.monitor.files.etcOf("Boiler")).size(), 4u);
    EXPECT_EQ(rig.messagesReceived(), 0);
}

TEST_F(MailEndToEnd, LogSwitchOffKeepsMailingButWritesNoLines) {
    CQUORVISData& c = rig.addWatchedController("ops@iomira.test");
    rig.connect(c);
    rig.monitor.files.switches.notificationEmail = 0;
    rig.changeInput(c, 0, 1);
    ASSERT_TRUE(pumpUntil(
        [&] { return rig.messagesReceived() == 1 && rig.mailer.thread().queued() == 0; }, 15000));
    EXPECT_TRUE(mailLines(rig.monitor.files.etcOf("Boiler")).isEmpty());
}

} // namespace
} // namespace iomira
