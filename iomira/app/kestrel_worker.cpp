#include "app/kestrel_worker.h"

#include "kestrel/kestrel.h"

namespace iomira {

namespace {

std::mutex& kestrelLock() {
    static std::mutex lock;
    return lock;
}

} // namespace

KestrelWorker::KestrelWorker(uint16_t languageId, const QString& caption, QObject* parent)
    : LibraryWorker(parent), languageId_(languageId), caption_(caption) {}

void KestrelWorker::startSearch() {
    auto found = std::make_shared<int>(0);
    auto call = [found, language = languageId_, caption = caption_] {
        *found = Search(language, reinterpret_cast<const char16_t*>(caption.utf16()));
    };
    run(kestrelLock(), std::move(call), [this, found] { emit answered(*found); });
}

} // namespace iomira
