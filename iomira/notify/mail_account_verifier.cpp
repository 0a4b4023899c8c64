#include "notify/mail_account_verifier.h"

#include <mutex>
#include <system_error>
#include <thread>

namespace iomira {

// What the worker and the verifier share: the worker posts its result only while the
// verifier still exists, and the verifier clears `owner` before it goes.
struct MailAccountVerifier::Mailbox {
    std::mutex mutex;
    MailAccountVerifier* owner = nullptr;
};

MailAccountVerifier::MailAccountVerifier(QObject* parent)
    : QObject(parent), runner_(smtpAttemptRunner()), mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->owner = this;
}

MailAccountVerifier::~MailAccountVerifier() {
    std::lock_guard<std::mutex> guard(mailbox_->mutex);
    mailbox_->owner = nullptr;
}

bool MailAccountVerifier::VerifyMailAccount(const MailVerifyRequest& request) {
    if (running_) return false;
    auto work = [mailbox = mailbox_, runner = runner_, secondPort = secondPort_,
                 request = MailVerifyRequest(request)]() mutable {
        const bool ok = runMailVerification(request, runner, secondPort);
        std::lock_guard<std::mutex> guard(mailbox->mutex);
        if (MailAccountVerifier* owner = mailbox->owner) {
            QMetaObject::invokeMethod(
                owner,
                [owner, ok, request] {
                    owner->deliver(ok ? MAIL_VERIFY_SUCCEEDED : MAIL_VERIFY_FAILED, request);
                },
                Qt::QueuedConnection);
        }
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        return false;
    }
    running_ = true;
    return true;
}

void MailAccountVerifier::deliver(int wParam, const MailVerifyRequest& request) {
    result_ = request;
    running_ = false;
    emit verified(wParam);
}

} // namespace iomira
