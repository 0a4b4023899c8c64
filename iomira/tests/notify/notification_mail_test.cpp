// Composing notification mails: recipients, templates, dot-stuffing and the log texts.

#include "notify/notification_mail.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "notify/port_change_dispatch.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

class NotificationMail : public ::testing::Test {
  protected:
    void SetUp() override {
        setLanguage(LANG_ENGLISH);
        c.DeviceId = 12;
        c.DeviceComment = "Tank";
        c.DiComment[3] = "Level";
        c.DoComment[3] = "Pump";
        c.MailAccountID = 5;
        c.MailTo = " A ;;B ;";
        c.MailSubject = "%d %p %s";
        c.MailContent = "%t\r\n.%p\r\n..x";
    }
    CQUORVISData c;
    QDateTime when{QDate(2026, 3, 4), QTime(5, 6, 7)};
};

TEST_F(NotificationMail, RecipientsAreSplitTrimmedAndEmptyOnesDropped) {
    const std::vector<std::pair<QString, QStringList>> cases = {
        {"A;;B ;", {"A", "B"}},
        {";A", {"A"}},
        {"  ;  ; ", {}},
        {"", {}},
        {" one@x ; two@y", {"one@x", "two@y"}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(splitRecipients(text), expected) << text.toStdString();
}

TEST_F(NotificationMail, TemplatesAreFilledInOrderEachOverTheWholeText) {
    const std::vector<std::tuple<QString, QString, QString>> cases = {
        {"%d/%p/%s/%t", "Tank", "Tank/Level/ON/2026-03-04 05:06:07"},
        {"%s%s", "Tank", "ONON"},
        // A name holding a later placeholder is filled too, as the fixed order implies.
        {"%d", "Tank %p", "Tank Level"},
        {"%x %", "Tank", "%x %"},
    };
    for (const auto& [text, device, expected] : cases)
        EXPECT_EQ(fillTemplate(text, device, "Level", 1, eventTimeText(when)), expected);
    EXPECT_EQ(fillTemplate("%s", "", "", 0, ""), "OFF");
}

TEST_F(NotificationMail, LinesStartingWithAPeriodAreDoubled) {
    EXPECT_EQ(dotStuff("a\r\n.b\r\n..c\r\nd.e"), "a\r\n..b\r\n...c\r\nd.e");
    EXPECT_EQ(dotStuff(".first"), ".first"); // the body's first line follows a header line
}

TEST_F(NotificationMail, PortChangeGivesOneNumberedMailPerRecipient) {
    int32_t sequence = 40;
    const auto mails = composePortChangeMails(c, MAIL_PORT_INPUT, 3, 1, when, sequence);
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(mails[0], (CMailData{12, 40, "A", 5, "Tank Level ON",
                                   "2026-03-04 05:06:07\r\n..Level\r\n...x"}));
    EXPECT_EQ(mails[1].recipient, "B");
    EXPECT_EQ(mails[1].sequence, 41);
    EXPECT_EQ(sequence, 42);
    const auto outputs = composePortChangeMails(c, MAIL_PORT_OUTPUT, 3, 0, when, sequence);
    EXPECT_EQ(outputs[0].subject, "Tank Pump OFF");
}

TEST_F(NotificationMail, SampleWithoutControllerUsesTheTestNames) {
    SampleMailForm form{"x@y", 9, "%d %p %s", "a\r\n.b", nullptr};
    const auto mails = composeSampleMails(form, when);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0], (CMailData{-1, 0, "x@y", 9, "TEST I/O CONTROLLER Di0 ON", "a\r\n..b"}));
    c.DiComment[0] = "Door";
    form.controller = &c;
    form.subject = "%d\r\n.%p";
    EXPECT_EQ(composeSampleMails(form, when)[0].subject, "Tank\r\n.Door"); // subject not stuffed
    EXPECT_EQ(composeSampleMails(form, when)[0].deviceId, 12);
}

TEST_F(NotificationMail, LogTexts) {
    EXPECT_EQ(tryToSendText(7, c, MAIL_PORT_INPUT, 3, 1),
              "[7]Try to send a mail.(Tank-INPUT3,Level,ON)");
    EXPECT_EQ(tryToSendText(8, c, MAIL_PORT_OUTPUT, 3, 0),
              "[8]Try to send a mail.(Tank-OUTPUT3,Pump,OFF)");
    const std::vector<std::pair<MailReport, QString>> reports = {
        {{12, 4, MAIL_ACCOUNT_NOT_FOUND, {}},
         "Can't find the IP address of the mail server.[4](Tank: A ;;B ;)"},
        {{12, 4, MAIL_SENT, "[4]A"},
         "Sending a notification email has successfully finished.[4](Tank: A ;;B ;)"},
        {{12, 4, MAIL_SMTP_FAILED, "[4]Connection closed"}, "[4]Connection closed(Tank: A ;;B ;)"},
    };
    for (const auto& [report, expected] : reports)
        EXPECT_EQ(reportLogText(report, c), expected);
    bool error = false;
    EXPECT_EQ(sampleReportText({-1, 0, MAIL_ACCOUNT_NOT_FOUND, {}}, error),
              "Can't find the IP address of the mail server.\r\n");
    EXPECT_TRUE(error);
    EXPECT_EQ(sampleReportText({-1, 0, MAIL_SENT, "[0]x@y"}, error),
              "Sending a notification email has successfully finished.\r\n[0]x@y");
    EXPECT_FALSE(error);
}

} // namespace
} // namespace iomira
