#include "notify/smtp/smtp_message.h"

#include "notify/smtp/smtp_charset.h"
#include "notify/smtp/smtp_encoding.h"
#include "notify/smtp/smtp_error.h"

#include <cstdio>

namespace iomira::smtp {
namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string dateLine(const std::tm& t) {
    char line[96];
    std::snprintf(line, sizeof line, "Date: %d %s %d %d:%d:%d\r\n", t.tm_mday,
                  kMonths[static_cast<unsigned>(t.tm_mon) % 12], t.tm_year + 1900, t.tm_hour,
                  t.tm_min, t.tm_sec);
    return line;
}

std::string encodedWord(std::string_view text) {
    return std::string("=?") + mailCharSet() + "?B?" + base64Encode(text) + "?=";
}

const char* priorityText(int priority) {
    if (priority == 2) return "2 (High)";
    if (priority == 4) return "4 (Low)";
    return "3 (Normal)";
}

void requireSingleLine(std::string_view text) {
    if (hasLineBreak(text)) throw ECSmtp(SMTP_UNDEFINED_HEADER);
}

void requireSingleLines(const MessageHeader& h) {
    for (const std::string_view field :
         {std::string_view(h.mailer), std::string_view(h.replyTo), std::string_view(h.charSet)})
        requireSingleLine(field);
    for (const Recipient& r : h.recipients) {
        requireSingleLine(r.mail);
        requireSingleLine(r.name);
    }
}

std::string toLine(const std::vector<Recipient>& recipients) {
    std::string line = "To: ";
    for (size_t i = 0; i < recipients.size(); ++i) {
        if (i > 0) line += ',';
        line += recipients[i].name + "<" + recipients[i].mail + ">";
    }
    return line + "\r\n";
}

} // namespace

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

std::string buildMessageHeader(const MessageHeader& h, const std::tm& local) {
    if (h.senderMail.empty() || hasLineBreak(h.senderMail)) throw ECSmtp(SMTP_UNDEFINED_SENDER);
    if (h.recipients.empty()) throw ECSmtp(SMTP_UNDEFINED_RECIPIENTS);
    requireSingleLines(h);

    std::string out = dateLine(local);
    out += "From: ";
    if (!h.senderName.empty()) out += encodedWord(h.senderName);
    out += " <" + h.senderMail + ">\r\n";
    if (!h.mailer.empty()) out += "X-Mailer: " + h.mailer + "\r\n";
    if (!h.replyTo.empty()) out += "Reply-To: " + h.replyTo + "\r\n";
    out += std::string("X-Priority: ") + priorityText(h.priority) + "\r\n";
    out += toLine(h.recipients);
    out += h.subject.empty() ? std::string("Subject:  \r\n")
                             : "Subject: " + encodedWord(h.subject) + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-type: text/plain; charset=\"" + h.charSet + "\"\r\n";
    out += "Content-Transfer-Encoding: 7bit\r\n";
    out += "\r\n";
    return out;
}

std::string bodyLineForData(std::string_view line) {
    std::string out;
    out.reserve(line.size() + 3);
    if (!line.empty() && line.front() == '.') out += '.';
    out += line;
    out += "\r\n";
    return out;
}

} // namespace iomira::smtp
