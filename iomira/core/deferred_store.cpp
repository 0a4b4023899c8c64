#include "core/deferred_store.h"

#include <algorithm>

namespace iomira {

namespace {

// Key and value names are ASCII; the file's NOCASE collation folds them the same way.
QString fold(const QString& name) {
    return name.toLower();
}

// The file's order of keys: without regard to case, then by case.
bool keyBefore(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

void mergeValues(std::vector<StoreValue>& held, const std::vector<StoreValue>& values) {
    for (const StoreValue& value : values) {
        auto same = std::find_if(held.begin(), held.end(), [&](const StoreValue& v) {
            return QString::compare(v.name, value.name, Qt::CaseInsensitive) == 0;
        });
        if (same != held.end())
            *same = value;
        else
            held.push_back(value);
    }
}

} // namespace

DeferredStore::DeferredStore(Store& file, DeferredStoreEvents events)
    : file_(file), events_(std::move(events)) {}

bool DeferredStore::readAll(std::vector<StoredKey>& keys) {
    if (!file_.readAll(keys)) return false;
    overlayPending(keys, [](const QString&) { return true; });
    return true;
}

bool DeferredStore::readKeysStartingWith(const QString& prefix, std::vector<StoredKey>& keys) {
    if (!file_.readKeysStartingWith(prefix, keys)) return false;
    overlayPending(
        keys, [&](const QString& name) { return name.startsWith(prefix, Qt::CaseInsensitive); });
    return true;
}

void DeferredStore::overlayPending(std::vector<StoredKey>& keys,
                                   const std::function<bool(const QString&)>& wanted) const {
    for (const auto& [folded, pending] : pending_) {
        if (!wanted(pending.name)) continue;
        auto at = std::find_if(keys.begin(), keys.end(),
                               [&](const StoredKey& k) { return fold(k.name) == folded; });
        if (at == keys.end()) {
            at = std::find_if(keys.begin(), keys.end(),
                              [&](const StoredKey& k) { return keyBefore(pending.name, k.name); });
            at = keys.insert(at, StoredKey{pending.name, {}});
        }
        overlay(pending, at->values);
        if (pending.removeFirst && pending.values.empty()) keys.erase(at);
    }
}

bool DeferredStore::readKey(const QString& key, KeyValues& values) {
    const auto pending = pending_.find(fold(key));
    if (!file_.readKey(key, values)) return false;
    if (pending != pending_.end()) overlay(pending->second, values);
    return true;
}

bool DeferredStore::writeValues(const QString& key, const std::vector<StoreValue>& values) {
    if (pending_.empty() && file_.writeValues(key, values)) return true;
    hold(key, &values);
    return true;
}

bool DeferredStore::deleteKey(const QString& key) {
    if (pending_.empty() && file_.deleteKey(key)) return true;
    hold(key, nullptr);
    return true;
}

bool DeferredStore::retryPending() {
    if (pending_.empty()) return true;
    while (!pending_.empty()) {
        if (!writePending(pending_.begin()->second)) {
            heldReason_ = file_.lastError();
            return false;
        }
        pending_.erase(pending_.begin());
    }
    heldReason_.clear();
    if (events_.writesCaughtUp) events_.writesCaughtUp();
    return true;
}

void DeferredStore::hold(const QString& key, const std::vector<StoreValue>* values) {
    const bool first = pending_.empty();
    PendingKey& pending = pending_[fold(key)];
    if (pending.name.isEmpty()) pending.name = key;
    if (values) {
        mergeValues(pending.values, *values);
    } else {
        pending.removeFirst = true;
        pending.values.clear();
    }
    if (first) noteRefusal();
}

void DeferredStore::noteRefusal() {
    heldReason_ = file_.lastError();
    if (events_.writesHeld) events_.writesHeld(heldReason_);
}

// The removal and the values are separate commits; a removal that went through is not
// repeated when the values are refused.
bool DeferredStore::writePending(PendingKey& key) {
    if (key.removeFirst) {
        if (!file_.deleteKey(key.name)) return false;
        key.removeFirst = false;
    }
    return key.values.empty() || file_.writeValues(key.name, key.values);
}

void DeferredStore::overlay(const PendingKey& pending, KeyValues& values) const {
    if (pending.removeFirst) values = KeyValues();
    for (const StoreValue& value : pending.values)
        values.add(value);
}

} // namespace iomira
