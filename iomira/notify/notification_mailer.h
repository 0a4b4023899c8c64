#pragma once

#include "notify/send_mail_thread.h"

#include <QDateTime>

#include <functional>
#include <memory>

namespace iomira {

class CQUORVISData;
class ControllerTable;
class MonitorLog;
struct LogSwitches;

// What the notification mails read: the controllers (for the reports), the accounts, and the
// event log with its switches. All of it is touched on the owner's (UI) thread only.
struct NotificationMailTables {
    const ControllerTable& controllers;
    const CMailAccountMap& accounts;
    MonitorLog& log;
    const LogSwitches& switches;
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
};

// The device list's mail notifications: composes and queues the mails of a port change for
// its mail thread, numbers them, and logs every step and result.
class NotificationMailer {
  public:
    // The mail thread reports to the thread that creates the mailer.
    explicit NotificationMailer(NotificationMailTables tables);

    void QueueNotificationMail(const CQUORVISData& controller, int kind, int port, int value);
    // The handler of the thread's report (message 8024).
    void onReport(const MailReport& report);

    CSendMailThread& thread() { return *thread_; }
    int32_t sequence() const { return sequence_; }

  private:
    void logEmail(const CQUORVISData& controller, const QString& text);

    NotificationMailTables tables_;
    int32_t sequence_ = 0;
    std::unique_ptr<CSendMailThread> thread_;
};

} // namespace iomira
