#include "app/library_worker.h"

#include <thread>

namespace iomira {

LibraryWorker::LibraryWorker(QObject* parent)
    : QObject(parent), mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->owner = this;
}

LibraryWorker::~LibraryWorker() {
    std::lock_guard guard(mailbox_->lock);
    mailbox_->owner = nullptr;
}

void LibraryWorker::run(std::mutex& libraryLock, std::function<void()> call,
                        std::function<void()> answer) {
    busy_ = true;
    auto done = [this, answer = std::move(answer)] {
        busy_ = false;
        answer();
    };
    std::thread([mailbox = mailbox_, &libraryLock, call = std::move(call),
                 done = std::move(done)]() mutable {
        {
            std::lock_guard library(libraryLock);
            call();
        }
        // Holding the mailbox keeps the owner alive until the answer is queued; a queued
        // call to an object destroyed before it runs is dropped.
        std::lock_guard guard(mailbox->lock);
        if (mailbox->owner)
            QMetaObject::invokeMethod(mailbox->owner, std::move(done), Qt::QueuedConnection);
    }).detach();
}

} // namespace iomira
