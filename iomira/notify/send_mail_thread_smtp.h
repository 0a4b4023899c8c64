#pragma once

#include "notify/mail_account.h"
#include "notify/notification_mail.h"

#include <optional>

namespace iomira {

// Sends one mail through its account with the mail client and says how it went. Without an
// account the report is type 2 and nothing is sent. Runs on the mail thread.
MailReport deliverMail(const CMailData& mail, const std::optional<CMailAccount>& account,
                       double timeScale = 1.0);

} // namespace iomira
