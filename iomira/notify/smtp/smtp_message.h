#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace iomira::smtp {

struct Recipient {
    std::string mail;
    std::string name;
};

// Everything the message header is made of; texts are bytes in the caller's code set.
struct MessageHeader {
    std::string senderMail;
    std::string senderName;
    std::string mailer;
    std::string replyTo;
    int priority = 3;
    std::vector<Recipient> recipients;
    std::string subject;
    std::string charSet;
};

// The header lines, each ended by CR LF, and the empty line that ends the header. `local` is
// the local time written in the Date line. Throws ECSmtp 201 without a usable sender, 203 without
// recipients and 200 when a field would break a header line.
std::string buildMessageHeader(const MessageHeader& header, const std::tm& local);

// A body line as it goes on the wire: a leading period is doubled, since after the header's
// line end it would otherwise be taken for the end of the data or lost.
std::string bodyLineForData(std::string_view line);

// True when the text holds a CR or LF, which would start a new protocol or header line.
bool hasLineBreak(std::string_view text);

} // namespace iomira::smtp
