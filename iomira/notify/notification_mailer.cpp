#include "notify/notification_mailer.h"

#include "core/controller_table.h"
#include "core/quorvis_data.h"
#include "monitor/monitor_log.h"

namespace iomira {

NotificationMailer::NotificationMailer(NotificationMailTables tables) : tables_(std::move(tables)) {
    const CMailAccountMap* accounts = &tables_.accounts;
    thread_ = std::make_unique<CSendMailThread>(
        [accounts](int32_t id) -> std::optional<CMailAccount> {
            if (const CMailAccount* account = accounts->find(id)) return *account;
            return std::nullopt;
        },
        [this](const MailReport& report) { onReport(report); });
}

void NotificationMailer::QueueNotificationMail(const CQUORVISData& c, int kind, int port,
                                               int value) {
    int32_t next = sequence_;
    for (const CMailData& mail :
         composePortChangeMails(c, kind, port, value, tables_.clock(), next)) {
        logEmail(c, tryToSendText(mail.sequence, c, kind, port, value));
        thread_->AddMail(mail);
        sequence_ = mail.sequence + 1;
    }
}

void NotificationMailer::onReport(const MailReport& report) {
    if (const CQUORVISData* c = tables_.controllers.find(report.deviceId))
        logEmail(*c, reportLogText(report, *c));
}

void NotificationMailer::logEmail(const CQUORVISData& c, const QString& text) {
    if (tables_.switches.notificationEmail == 1) tables_.log.state(c, LogCategory::Any, text);
}

} // namespace iomira
