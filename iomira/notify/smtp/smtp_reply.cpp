#include "notify/smtp/smtp_reply.h"

#include <cctype>

namespace iomira::smtp {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A final line: three digits then either the line end or a space.
bool isFinalLine(std::string_view line) {
    if (line.size() < 5 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2]))
        return false;
    return line.size() == 5 || line[3] == ' ';
}

bool equalsIgnoringCase(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) !=
            std::toupper(static_cast<unsigned char>(word[i])))
            return false;
    }
    return true;
}

bool endsKeyword(std::string_view rest) {
    if (rest.empty()) return false;
    return rest[0] == ' ' || rest[0] == '=' || rest.substr(0, 2) == "\r\n";
}

} // namespace

std::optional<int> completeReplyCode(std::string_view received) {
    size_t start = 0;
    for (size_t end; (end = received.find("\r\n", start)) != std::string_view::npos;
         start = end + 2) {
        const std::string_view line = received.substr(start, end + 2 - start);
        if (isFinalLine(line))
            return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    }
    return std::nullopt;
}

bool hasKeyword(std::string_view reply, std::string_view keyword) {
    if (keyword.empty()) return false;
    for (size_t at = 1; at + keyword.size() <= reply.size(); ++at) {
        const char before = reply[at - 1];
        if (before != ' ' && before != '-' && before != '=') continue;
        if (equalsIgnoringCase(reply.substr(at, keyword.size()), keyword) &&
            endsKeyword(reply.substr(at + keyword.size())))
            return true;
    }
    return false;
}

} // namespace iomira::smtp
