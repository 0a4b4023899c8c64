#pragma once

#include "notify/smtp/smtp_client.h"

#include <functional>
#include <memory>
#include <string>

namespace iomira::smtp::test {

inline constexpr const char* kSender = "alarm@plant.example";
inline constexpr const char* kRecipient = "op@plant.example";
inline constexpr const char* kLogin = "user";
inline constexpr const char* kPassword = "secret";

// A client for a loopback server with a complete message and the test credentials.
std::unique_ptr<CSmtp> clientFor(uint16_t port, SmtpSecurity security = SmtpSecurity::None,
                                 double timeScale = 1.0);

// The id of the ECSmtp that `action` throws, 0 when it throws none.
int errorOf(const std::function<void()>& action);

} // namespace iomira::smtp::test
