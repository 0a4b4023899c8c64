#include "../smtp_platform.h"

#include "../smtp_error.h"

#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace iomira::smtp {

std::string localHostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) throw ECSmtp(SMTP_HOSTNAME_FAILED);
    return std::string(name, strnlen(name, sizeof name - 1));
}

uint16_t mailServicePort() {
    servent result{};
    servent* found = nullptr;
    char buffer[1024];
    if (getservbyname_r("mail", "tcp", &result, buffer, sizeof buffer, &found) == 0 && found)
        return ntohs(static_cast<uint16_t>(found->s_port));
    return 25;
}

std::tm localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr)
        throw ECSmtp(SMTP_TIME_ERROR);
    return local;
}

void debugTrace(const std::string& line) {
    static const bool enabled = std::getenv("IOMIRA_DEBUG") != nullptr;
    if (enabled) std::fprintf(stderr, "smtp: %s\n", line.c_str());
}

} // namespace iomira::smtp
