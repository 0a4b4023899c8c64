#include "notify/send_mail_thread.h"

#include "notify/send_mail_thread_smtp.h"

#include <QCoreApplication>

namespace iomira {

CSendMailThread::CSendMailThread(AccountLookup lookup, ReportHandler report, QObject* parent)
    : QObject(parent), lookup_(std::move(lookup)), report_(std::move(report)) {
    thread_.setObjectName(QStringLiteral("CSendMailThread"));
    worker_.moveToThread(&thread_);
    thread_.start();
    kickTimer_.setInterval(kMailKickIntervalMs);
    connect(&kickTimer_, &QTimer::timeout, this, &CSendMailThread::kick);
}

CSendMailThread::~CSendMailThread() {
    kickTimer_.stop();
    closing_ = true;
    thread_.quit();
    // The thread may be waiting for a lookup or report on this thread: deliver those (they
    // are dropped now) so that it can come to its end.
    while (!thread_.wait(10))
        QCoreApplication::sendPostedEvents(&receiver_, QEvent::MetaCall);
}

void CSendMailThread::AddMail(const CMailData& mail) {
    queue_.add(mail);
    if (!kickTimer_.isActive()) kickTimer_.start();
}

// The timer runs only while mails wait, so an idle program does not wake every millisecond.
void CSendMailThread::kick() {
    if (queue_.size() == 0) {
        kickTimer_.stop();
        return;
    }
    if (queue_.busy()) return;
    QMetaObject::invokeMethod(
        &worker_, [this] { sendHead(); }, Qt::QueuedConnection);
}

void CSendMailThread::sendHead() {
    const std::optional<CMailData> mail = queue_.beginHead();
    if (!mail) return;
    const MailReport report = deliverMail(*mail, lookupOnOwner(mail->mailAccountId), timeScale_);
    reportOnOwner(report);
    queue_.finishHead();
}

std::optional<CMailAccount> CSendMailThread::lookupOnOwner(int32_t accountId) {
    std::optional<CMailAccount> account;
    QMetaObject::invokeMethod(
        &receiver_,
        [&] {
            if (!closing_ && lookup_) account = lookup_(accountId);
        },
        Qt::BlockingQueuedConnection);
    return account;
}

void CSendMailThread::reportOnOwner(const MailReport& report) {
    QMetaObject::invokeMethod(
        &receiver_,
        [&] {
            if (!closing_ && report_) report_(report);
        },
        Qt::BlockingQueuedConnection);
}

} // namespace iomira
