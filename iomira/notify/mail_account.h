#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <memory>

namespace iomira {

// Connection security of an account as stored; a missing value (0) behaves like none.
enum MailAuthType { MAIL_AUTH_NONE = 1, MAIL_AUTH_SSL = 2, MAIL_AUTH_TLS = 3 };

// One outgoing mail account. The password is held in clear only in memory.
class CMailAccount {
  public:
    int32_t MailAccountId = 0;
    int32_t AuthType = MAIL_AUTH_NONE;
    QString AccountID;          // login name
    QString AccountMail;        // sender and reply-to address
    QString MailAccountComment; // shown in the account list
    QString MailAccountName;    // sender's display name
    QString MailServerAddress;
    QString MailServerPort; // decimal text, as the user typed it
    QString Password;

    bool operator==(const CMailAccount&) const = default;
};

// Every mail account of the program, keyed by MailAccountId, enumerated in ascending id.
class CMailAccountMap {
  public:
    // Replaces an account with the same id.
    void insert(const CMailAccount& account);
    CMailAccount* find(int32_t id) const;
    bool contains(int32_t id) const { return accounts_.count(id) != 0; }
    bool remove(int32_t id);
    int size() const { return static_cast<int>(accounts_.size()); }
    bool empty() const { return accounts_.empty(); }

    template <typename F> void forEach(F&& visit) const {
        for (const auto& [id, account] : accounts_)
            visit(*account);
    }

  private:
    std::map<int32_t, std::unique_ptr<CMailAccount>> accounts_;
};

// A fresh id (0 to 32767) that no account of `accounts` uses; -1 when all are taken.
int32_t NewMailAccountId(const CMailAccountMap& accounts);

} // namespace iomira
