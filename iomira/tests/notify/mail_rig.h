#pragma once
// A simulated controller polled through Corvel, its port changes dispatched into mail
// notifications, and a real SMTP server on loopback receiving the mails.

#include "notify/dispatch_rig.h"
#include "notify/notification_mailer.h"
#include "notify/smtp/test_support.h"

#include <memory>
#include <vector>

namespace iomira::test {

inline constexpr const char* kSmtpLogin = "alarm";
inline constexpr const char* kSmtpPassword = "s3cret";

class MailRig {
  public:
    MailRig();

    // A TKA-35 at the simulated device "io", mailing input and output 0 to `mailTo`.
    CQUORVISData& addWatchedController(const QString& mailTo);
    // Connects and waits until both first (silent) responses have been handled.
    void connect(CQUORVISData& c);
    // Sets an input on the simulator and reads the inputs once, as a polling pass would.
    void changeInput(const CQUORVISData& c, int input, int value);
    void changeOutput(const CQUORVISData& c, int output, int value);
    void readInputs(const CQUORVISData& c);
    // The mails the server accepted so far.
    int messagesReceived() const;
    std::vector<std::string> serverEvents(const std::string& prefix) const;

    DispatchRig monitor;
    CMailAccountMap accounts;
    smtp::test::PythonSmtpServer server;
    NotificationMailer mailer;
    std::vector<MailReport> reports;
    int reportsSeenAtSend = 0;
};

} // namespace iomira::test
