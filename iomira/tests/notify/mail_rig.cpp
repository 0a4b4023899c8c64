#include "notify/mail_rig.h"

#include "corvel/corvel.h"

#include <gtest/gtest.h>

namespace iomira::test {

namespace {

const std::string kDevices = simDevice("io", "TKA-35", "unit_id = 1\ninputs = 0\noutputs = 0\n");

} // namespace

MailRig::MailRig()
    : monitor(kDevices),
      server({"--mode", "plain", "--user", kSmtpLogin, "--password", kSmtpPassword}),
      mailer({monitor.table, accounts, monitor.files.monitorLog, monitor.files.switches}) {
    CMailAccount account;
    account.MailAccountId = 77;
    account.AuthType = MAIL_AUTH_NONE;
    account.AccountID = kSmtpLogin;
    account.Password = kSmtpPassword;
    account.AccountMail = "plant@iomira.test";
    account.MailAccountName = "Plant";
    account.MailServerAddress = "127.0.0.1";
    account.MailServerPort = QString::number(server.port());
    accounts.insert(account);
    mailer.thread().setTimeScale(0.05);
    monitor.dispatch.queueNotificationMail = [this](const CQUORVISData& c, int kind, int port,
                                                    int value) {
        mailer.QueueNotificationMail(c, kind, port, value);
    };
}

CQUORVISData& MailRig::addWatchedController(const QString& mailTo) {
    CQUORVISData& c = monitor.add("io", "TKA-35", "Boiler");
    c.UseLog = 1;
    c.DiComment[0] = "Flame";
    c.DoComment[0] = "Valve";
    c.UseEmailNotification = 1;
    c.UseInputEmailNotification[0] = 1;
    c.UseOutputEmailNotification[0] = 1;
    c.MailAccountID = 77;
    c.MailTo = mailTo;
    c.MailSubject = "%d: %p is %s";
    c.MailContent = "At %t %p of %d turned %s.\r\n.hidden line\r\nend";
    return c;
}

void MailRig::connect(CQUORVISData& c) {
    ASSERT_EQ(monitor.connections.connectAtStartup(c), CORVEL_OK);
    ASSERT_TRUE(pumpUntil([&] { return c.InputsValid == 1 && c.OutputsValid == 1; }));
}

void MailRig::readInputs(const CQUORVISData& c) {
    int32_t error = 0;
    read_discrete_inputs(c.DeviceId, c.NumberOfPortInput, &error, 0);
}

void MailRig::changeInput(const CQUORVISData& c, int input, int value) {
    monitor.sim.command("input io " + std::to_string(input) + " " + std::to_string(value));
    readInputs(c);
}

void MailRig::changeOutput(const CQUORVISData& c, int output, int value) {
    monitor.sim.command("output io " + std::to_string(output) + " " + std::to_string(value));
    int32_t error = 0;
    read_coils(c.DeviceId, c.NumberOfPortOutput, &error, 0);
}

int MailRig::messagesReceived() const {
    return static_cast<int>(serverEvents("MESSAGE ").size());
}

std::vector<std::string> MailRig::serverEvents(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& e : server.events())
        if (e.rfind(prefix, 0) == 0) found.push_back(e);
    return found;
}

} // namespace iomira::test
