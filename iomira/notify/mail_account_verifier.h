#pragma once

#include "notify/mail_account_verify.h"

#include <QObject>

#include <memory>

namespace iomira {

// The result message of a verification: wParam 1 success, 2 failure.
inline constexpr int WM_MAIL_ACCOUNT_VERIFIED = 10324;
enum MailVerifyResult { MAIL_VERIFY_SUCCEEDED = 1, MAIL_VERIFY_FAILED = 2 };

// VerifyMailAccount: runs one verification on a worker thread and reports it (message 10324)
// on the thread the verifier lives on. The verifier may go away while the thread still waits
// on a slow server; the result is then dropped and the thread ends by itself.
class MailAccountVerifier : public QObject {
    Q_OBJECT
  public:
    explicit MailAccountVerifier(QObject* parent = nullptr);
    ~MailAccountVerifier() override;

    // Tests point the attempts at loopback servers and shorten their limits.
    void setAttemptRunner(MailAttemptRunner runner) { runner_ = std::move(runner); }
    void setSecondPort(uint16_t port) { secondPort_ = port; }

    // False when a verification is still running or no thread could be created.
    bool VerifyMailAccount(const MailVerifyRequest& request);
    bool running() const { return running_; }
    // The request as the worker left it; read it once verified() has arrived.
    const MailVerifyRequest& result() const { return result_; }

  signals:
    void verified(int wParam);

  private:
    struct Mailbox;
    void deliver(int wParam, const MailVerifyRequest& request);

    MailAttemptRunner runner_;
    uint16_t secondPort_ = kMailSubmissionPort;
    std::shared_ptr<Mailbox> mailbox_;
    MailVerifyRequest result_;
    bool running_ = false;
};

} // namespace iomira
