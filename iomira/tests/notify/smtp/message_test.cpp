#include "notify/smtp/smtp_charset.h"
#include "notify/smtp/smtp_client.h"
#include "notify/smtp/smtp_error.h"
#include "notify/smtp/smtp_message.h"

#include <gtest/gtest.h>

#include <string>

namespace iomira::smtp {
namespace {

std::tm morning() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 2; // March
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 4;
    t.tm_sec = 9;
    return t;
}

MessageHeader fullHeader() {
    MessageHeader h;
    h.senderMail = "alarm@plant.example";
    h.senderName = "Iomira";
    h.mailer = "Iomira";
    h.replyTo = "alarm@plant.example";
    h.priority = 3;
    h.recipients = {{"op@plant.example", ""}, {"boss@plant.example", "Boss"}};
    h.subject = "Door open";
    h.charSet = mailCharSet();
    return h;
}

TEST(SmtpHeader, LinesInOrderWithEncodedWordsInTheRealCodeSet) {
    EXPECT_EQ(buildMessageHeader(fullHeader(), morning()),
              "Date: 5 Mar 2026 7:4:9\r\n"
              "From: =?utf-8?B?SW9taXJh?= <alarm@plant.example>\r\n"
              "X-Mailer: Iomira\r\n"
              "Reply-To: alarm@plant.example\r\n"
              "X-Priority: 3 (Normal)\r\n"
              "To: <op@plant.example>,Boss<boss@plant.example>\r\n"
              "Subject: =?utf-8?B?RG9vciBvcGVu?=\r\n"
              "MIME-Version: 1.0\r\n"
              "Content-type: text/plain; charset=\"utf-8\"\r\n"
              "Content-Transfer-Encoding: 7bit\r\n"
              "\r\n");
}

TEST(SmtpHeader, NonAsciiTextsTravelAsTheirOwnBytes) {
    MessageHeader h = fullHeader();
    h.subject = "\xec\x9e\x85\xeb\xa0\xa5 ON"; // "입력 ON" in UTF-8
    const std::string text = buildMessageHeader(h, morning());
    EXPECT_NE(text.find("Subject: =?utf-8?B?7J6F66ClIE9O?=\r\n"), std::string::npos) << text;
}

TEST(SmtpHeader, OptionalLinesAndPriorities) {
    MessageHeader h = fullHeader();
    h.senderName.clear();
    h.mailer.clear();
    h.replyTo.clear();
    h.subject.clear();
    h.priority = 2;
    const std::string text = buildMessageHeader(h, morning());
    EXPECT_NE(text.find("\r\nFrom:  <alarm@plant.example>\r\nX-Priority: 2 (High)\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\nSubject:  \r\nMIME-Version"), std::string::npos) << text;
    EXPECT_EQ(text.find("X-Mailer"), std::string::npos);
    EXPECT_EQ(text.find("Reply-To"), std::string::npos);

    for (const auto& [priority, line] :
         {std::pair{4, "X-Priority: 4 (Low)\r\n"}, std::pair{3, "X-Priority: 3 (Normal)\r\n"},
          std::pair{7, "X-Priority: 3 (Normal)\r\n"}}) {
        h.priority = priority;
        EXPECT_NE(buildMessageHeader(h, morning()).find(line), std::string::npos) << priority;
    }
}

TEST(SmtpHeader, RefusesWhatWouldBreakTheMessage) {
    struct Case {
        const char* name;
        void (*spoil)(MessageHeader&);
        int error;
    };
    const Case cases[] = {
        {"no sender", [](MessageHeader& h) { h.senderMail.clear(); }, SMTP_UNDEFINED_SENDER},
        {"sender with CR LF", [](MessageHeader& h) { h.senderMail = "a@b\r\nRCPT TO:<x@y>"; },
         SMTP_UNDEFINED_SENDER},
        {"no recipient", [](MessageHeader& h) { h.recipients.clear(); }, SMTP_UNDEFINED_RECIPIENTS},
        {"mailer with LF", [](MessageHeader& h) { h.mailer = "x\nBcc: a@b"; },
         SMTP_UNDEFINED_HEADER},
        {"reply-to with CR", [](MessageHeader& h) { h.replyTo = "a@b\r"; }, SMTP_UNDEFINED_HEADER},
        {"recipient name with CR LF",
         [](MessageHeader& h) { h.recipients[1].name = "B\r\nBcc: x@y"; }, SMTP_UNDEFINED_HEADER},
    };
    for (const Case& c : cases) {
        MessageHeader h = fullHeader();
        c.spoil(h);
        try {
            buildMessageHeader(h, morning());
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ECSmtp& e) {
            EXPECT_EQ(e.GetErrorNum(), c.error) << c.name;
        }
    }
}

TEST(SmtpBody, LeadingPeriodIsDoubled) {
    EXPECT_EQ(bodyLineForData("text"), "text\r\n");
    EXPECT_EQ(bodyLineForData("."), "..\r\n");
    EXPECT_EQ(bodyLineForData(".hidden\r\n..already"), "..hidden\r\n..already\r\n");
    EXPECT_EQ(bodyLineForData(""), "\r\n");
}

TEST(SmtpErrorText, FixedTextsAndUnknownIds) {
    const std::pair<int, const char*> texts[] = {
        {0, ""},
        {100, "Unable to initialise winsock2"},
        {203, "Undefined at least one reciepent"},
        {209, "Undefined recipent mail"},
        {402, "Server not responding"},
        {406, "Bad login or password"},
        {416, "The STARTTLS command is not supported by the server"},
        {417, "AUTH LOGIN is not supported by the server"},
        {1, "Undefined error id"},
        {-406, "Undefined error id"},
    };
    for (const auto& [id, text] : texts) {
        EXPECT_STREQ(CSmtp::ErrorText(id), text) << id;
        EXPECT_EQ(ECSmtp(id).GetErrorText(), text) << id;
    }
}

TEST(SmtpRecipients, MailIsRequiredAndSingleLine) {
    CSmtp smtp;
    for (const char* bad : {"", "a@b\r\nDATA", "a@b\n"}) {
        try {
            smtp.AddRecipient(bad, "name");
            ADD_FAILURE() << bad;
        } catch (const ECSmtp& e) {
            EXPECT_EQ(e.GetErrorNum(), SMTP_UNDEFINED_RECIPIENT_MAIL);
        }
    }
    EXPECT_NO_THROW(smtp.AddRecipient("a@b"));
}

} // namespace
} // namespace iomira::smtp
