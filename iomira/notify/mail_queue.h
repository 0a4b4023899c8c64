#pragma once

#include "notify/notification_mail.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <optional>

namespace iomira {

// The mails of one mail thread in arrival order. The owner's thread adds; the mail thread
// takes the head, sends it while it stays queued, and removes it after its report.
class CMailQueue {
  public:
    void add(const CMailData& mail);
    // Marks the queue busy and copies its head; nothing when busy already or empty.
    std::optional<CMailData> beginHead();
    // Drops the head that beginHead handed out and returns to idle.
    void finishHead();

    // Read without the lock by the kick timer: a stale value only delays or repeats a kick.
    int size() const { return size_.load(); }
    bool busy() const { return busy_.load(); }

  private:
    mutable std::mutex mutex_;
    std::deque<CMailData> mails_;
    std::atomic<int> size_{0};
    std::atomic<bool> busy_{false};
};

} // namespace iomira
