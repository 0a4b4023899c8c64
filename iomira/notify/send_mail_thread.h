#pragma once

#include "notify/mail_account.h"
#include "notify/mail_queue.h"

#include <QObject>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <functional>
#include <optional>

namespace iomira {

inline constexpr int kMailThreadMessage = 8024; // the thread's "send" message and its reports
inline constexpr int kMailSendHead = 1;         // wParam of the "send" message
inline constexpr int kMailKickTimerId = 1111;
inline constexpr int kMailKickIntervalMs = 1;

// A worker thread that sends its queued mails one at a time. It lives with its owner (a window
// on the UI thread): the owner's kick timer starts each mail, the account is looked up and the
// report delivered on the owner's thread while the mail thread waits for them.
class CSendMailThread : public QObject {
    Q_OBJECT
  public:
    // Both run on the owner's thread.
    using AccountLookup = std::function<std::optional<CMailAccount>(int32_t accountId)>;
    using ReportHandler = std::function<void(const MailReport& report)>;

    CSendMailThread(AccountLookup lookup, ReportHandler report, QObject* parent = nullptr);
    // Asks the thread to quit and waits for it; a report it is delivering meanwhile is dropped.
    ~CSendMailThread() override;

    // On the owner's thread; starts the kick timer.
    void AddMail(const CMailData& mail);
    // The kick timer's tick: starts the head mail when there is one and the thread is idle.
    void kick();
    int queued() const { return queue_.size(); }
    bool busy() const { return queue_.busy(); }
    quintptr threadId() const { return reinterpret_cast<quintptr>(&thread_); }
    // Tests shorten the mail client's time limits.
    void setTimeScale(double factor) { timeScale_ = factor; }

  private:
    void sendHead(); // on the mail thread: message 8024 with wParam 1
    std::optional<CMailAccount> lookupOnOwner(int32_t accountId);
    void reportOnOwner(const MailReport& report);

    AccountLookup lookup_;
    ReportHandler report_;
    CMailQueue queue_;
    QThread thread_;
    QObject worker_;   // lives on the mail thread; receives the "send" messages
    QObject receiver_; // stays on the owner's thread; receives lookups and reports
    QTimer kickTimer_;
    std::atomic<bool> closing_{false};
    std::atomic<double> timeScale_{1.0};
};

} // namespace iomira
