#pragma once

#include <QString>

#include <memory>

namespace iomira {

// One program per store: an exclusive lock on a file beside the store, held for the life of
// the object. Readers that change nothing (a backup) do not take it.
class StoreLock {
  public:
    // Takes the lock; null with `reason` set when another program holds it or the lock file
    // cannot be made.
    static std::unique_ptr<StoreLock> acquire(const QString& storePath, QString* reason);
    ~StoreLock();

    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    static QString lockPathFor(const QString& storePath); // "<store>.lock"

  private:
    explicit StoreLock(int fd) : fd_(fd) {}
    int fd_;
};

} // namespace iomira
