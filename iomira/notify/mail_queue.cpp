#include "notify/mail_queue.h"

namespace iomira {

void CMailQueue::add(const CMailData& mail) {
    std::lock_guard guard(mutex_);
    mails_.push_back(mail);
    size_ = static_cast<int>(mails_.size());
}

std::optional<CMailData> CMailQueue::beginHead() {
    std::lock_guard guard(mutex_);
    if (busy_ || mails_.empty()) return std::nullopt;
    busy_ = true;
    return mails_.front();
}

void CMailQueue::finishHead() {
    std::lock_guard guard(mutex_);
    if (!mails_.empty()) mails_.pop_front();
    size_ = static_cast<int>(mails_.size());
    busy_ = false;
}

} // namespace iomira
