#include "notify/notification_mail.h"

#include "core/log_texts.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "notify/port_change_dispatch.h"

namespace iomira {

namespace {

QString onOff(int value) {
    return value == 1 ? QStringLiteral("ON") : QStringLiteral("OFF");
}

} // namespace

QStringList splitRecipients(const QString& mailTo) {
    QStringList recipients;
    for (const QString& token : mailTo.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = token.trimmed();
        if (!trimmed.isEmpty()) recipients << trimmed;
    }
    return recipients;
}

QString eventTimeText(const QDateTime& time) {
    const QDate d = time.date();
    const QTime t = time.time();
    return QString::asprintf("%.4d-%.2d-%.2d %.2d:%.2d:%.2d", d.year(), d.month(), d.day(),
                             t.hour(), t.minute(), t.second());
}

QString fillTemplate(QString text, const QString& device, const QString& port, int value,
                     const QString& time) {
    text.replace(QStringLiteral("%d"), device);
    text.replace(QStringLiteral("%p"), port);
    text.replace(QStringLiteral("%s"), onOff(value));
    text.replace(QStringLiteral("%t"), time);
    return text;
}

QString dotStuff(QString text) {
    return text.replace(QStringLiteral("\r\n."), QStringLiteral("\r\n.."));
}

QString portDescription(const CQUORVISData& c, int kind, int port) {
    if (port < 0 || port >= kDigitalPorts) return {};
    return kind == MAIL_PORT_OUTPUT ? c.DoComment[port] : c.DiComment[port];
}

std::vector<CMailData> composePortChangeMails(const CQUORVISData& c, int kind, int port, int value,
                                              const QDateTime& now, int32_t& sequence) {
    const QString portText = portDescription(c, kind, port);
    const QString time = eventTimeText(now);
    std::vector<CMailData> mails;
    for (const QString& recipient : splitRecipients(c.MailTo)) {
        CMailData mail;
        mail.deviceId = c.DeviceId;
        mail.sequence = sequence++;
        mail.recipient = recipient;
        mail.mailAccountId = c.MailAccountID;
        mail.subject =
            dotStuff(fillTemplate(c.MailSubject, c.DeviceComment, portText, value, time));
        mail.content =
            dotStuff(fillTemplate(c.MailContent, c.DeviceComment, portText, value, time));
        mails.push_back(mail);
    }
    return mails;
}

std::vector<CMailData> composeSampleMails(const SampleMailForm& form, const QDateTime& now) {
    const CQUORVISData* c = form.controller;
    const QString device = c ? c->DeviceComment : loadString(TEXT_NM_TEST_CONTROLLER);
    const QString port = c ? c->DiComment[0] : QStringLiteral("Di0");
    const QString time = eventTimeText(now);
    std::vector<CMailData> mails;
    int32_t sequence = 0;
    for (const QString& recipient : splitRecipients(form.mailTo)) {
        CMailData mail;
        mail.deviceId = c ? c->DeviceId : -1;
        mail.sequence = sequence++;
        mail.recipient = recipient;
        mail.mailAccountId = form.mailAccountId;
        mail.subject = fillTemplate(form.subject, device, port, 1, time);
        mail.content = dotStuff(fillTemplate(form.content, device, port, 1, time));
        mails.push_back(mail);
    }
    return mails;
}

QString tryToSendText(int32_t sequence, const CQUORVISData& c, int kind, int port, int value) {
    const QString head = logText(TEXT_NM_TRY_TO_SEND);
    QString text = QString(head).replace(QStringLiteral("%d"), QString::number(sequence));
    text.replace(QStringLiteral("%s"), c.DeviceComment);
    const char* portFormat = kind == MAIL_PORT_OUTPUT ? "OUTPUT%d,%s,%s)" : "INPUT%d,%s,%s)";
    return text + QString::fromLatin1(portFormat)
                      .replace(QStringLiteral("%d"), QString::number(port))
                      .replace(QStringLiteral("%s,%s"),
                               portDescription(c, kind, port) + QLatin1Char(',') + onOff(value));
}

QString reportLogText(const MailReport& report, const CQUORVISData& c) {
    const QString where = QStringLiteral("(%1:%2)").arg(c.DeviceComment, c.MailTo);
    const QString numbered = QStringLiteral("[%1]").arg(report.sequence) + where;
    switch (report.type) {
    case MAIL_ACCOUNT_NOT_FOUND:
        return logText(TEXT_NM_NO_MAIL_SERVER) + numbered;
    case MAIL_SENT:
        return logText(TEXT_NM_SENT) + numbered;
    default:
        return report.text + where;
    }
}

QString sampleReportText(const MailReport& report, bool& error) {
    error = report.type != MAIL_SENT;
    switch (report.type) {
    case MAIL_ACCOUNT_NOT_FOUND:
        return loadString(TEXT_NM_NO_MAIL_SERVER) + QStringLiteral("\r\n") + report.text;
    case MAIL_SENT:
        return loadString(TEXT_NM_SENT) + QStringLiteral("\r\n") + report.text;
    default:
        return report.text;
    }
}

} // namespace iomira
