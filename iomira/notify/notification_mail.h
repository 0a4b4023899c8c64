#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace iomira {

class CQUORVISData;

// One queued mail; a sample mail without a controller has device id -1.
struct CMailData {
    int32_t deviceId = -1;
    int32_t sequence = 0;
    QString recipient;
    int32_t mailAccountId = 0;
    QString subject;
    QString content;
    bool operator==(const CMailData&) const = default;
};

// Result types of a mail thread's report.
enum MailResultType { MAIL_ACCOUNT_NOT_FOUND = 2, MAIL_SMTP_FAILED = 6, MAIL_SENT = 7 };

// What a mail thread tells its owner about one mail. A non-empty text carries the sequence
// number in front ("[%d]%s").
struct MailReport {
    int32_t deviceId = -1;
    int32_t sequence = 0;
    int type = MAIL_SENT;
    QString text;
};

// The tokens of a ";"-separated recipient list, trimmed, empty ones dropped, in order.
QStringList splitRecipients(const QString& mailTo);
// "%.4d-%.2d-%.2d %.2d:%.2d:%.2d" of a local time.
QString eventTimeText(const QDateTime& time);
// Replaces "%d", "%p", "%s" ("ON"/"OFF") and "%t", in that order, each over the whole text.
QString fillTemplate(QString text, const QString& device, const QString& port, int value,
                     const QString& time);
// Doubles a period that starts a line, as the SMTP data phase requires.
QString dotStuff(QString text);
// The description of a port: the input's or the output's comment.
QString portDescription(const CQUORVISData& controller, int kind, int port);

// The mails of one port change, one per recipient, numbered from `sequence` on, which is
// advanced past them.
std::vector<CMailData> composePortChangeMails(const CQUORVISData& controller, int kind, int port,
                                              int value, const QDateTime& now, int32_t& sequence);

// The fields a sample mail is made from: the dialog's texts and, when one is selected, the
// controller whose name and first input fill the template.
struct SampleMailForm {
    QString mailTo;
    int32_t mailAccountId = 0;
    QString subject;
    QString content;
    const CQUORVISData* controller = nullptr;
};
std::vector<CMailData> composeSampleMails(const SampleMailForm& form, const QDateTime& now);

// The log line written as a port-change mail is queued.
QString tryToSendText(int32_t sequence, const CQUORVISData& controller, int kind, int port,
                      int value);
// The log line of a report about a controller's mail.
QString reportLogText(const MailReport& report, const CQUORVISData& controller);
// The message box of a sample mail's report; `error` tells the icon.
QString sampleReportText(const MailReport& report, bool& error);

} // namespace iomira
