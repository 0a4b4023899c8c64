#pragma once

#include "core/store.h"

#include <functional>
#include <map>

namespace iomira {

// What the operator hears of a store that refuses writes: once when it starts refusing, once
// when every held write has reached it.
struct DeferredStoreEvents {
    std::function<void(const QString& reason)> writesHeld;
    std::function<void()> writesCaughtUp;
};

// A store in front of another that never loses a write: a write the file refuses (another
// program holds it, the disk is full) is kept in memory, read back as if written, and written
// again by retryPending() until the file takes it. Writes made while others are held join them
// without touching the file, so a refusing file costs one wait, not one per write.
class DeferredStore final : public Store {
  public:
    DeferredStore(Store& file, DeferredStoreEvents events);

    bool readAll(std::vector<StoredKey>& keys) override;
    bool readKey(const QString& key, KeyValues& values) override;
    bool readKeysStartingWith(const QString& prefix, std::vector<StoredKey>& keys) override;
    // Always true: the values are in the file or held for it.
    bool writeValues(const QString& key, const std::vector<StoreValue>& values) override;
    bool deleteKey(const QString& key) override;
    QString lastError() const override { return file_.lastError(); }

    // Writes what is held, in order per key; true when nothing is held any more.
    bool retryPending();
    bool hasPending() const { return !pending_.empty(); }
    int pendingKeyCount() const { return static_cast<int>(pending_.size()); }
    // Why the file last refused a held write.
    const QString& heldReason() const { return heldReason_; }

  private:
    // A key's writes that the file has not taken: an optional removal, then values set after it.
    struct PendingKey {
        QString name;
        bool removeFirst = false;
        std::vector<StoreValue> values;
    };

    void hold(const QString& key, const std::vector<StoreValue>* values);
    void noteRefusal();
    bool writePending(PendingKey& key);
    void overlay(const PendingKey& pending, KeyValues& values) const;
    // Puts the held writes of the keys `wanted` accepts over keys read from the file.
    void overlayPending(std::vector<StoredKey>& keys,
                        const std::function<bool(const QString&)>& wanted) const;

    Store& file_;
    DeferredStoreEvents events_;
    // By folded key name, as the file compares names.
    std::map<QString, PendingKey> pending_;
    QString heldReason_;
};

} // namespace iomira
