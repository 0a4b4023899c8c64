#include "registry.h"

namespace corvel {

Registry& Registry::instance() {
    static Registry registry;
    return registry;
}

bool Registry::insert(const EntryPtr& entry) {
    std::unique_lock lock(entries_mutex_);
    return entries_.emplace(entry->key, entry).second;
}

EntryPtr Registry::find(int32_t key) const {
    std::shared_lock lock(entries_mutex_);
    auto found = entries_.find(key);
    return found == entries_.end() ? nullptr : found->second;
}

EntryPtr Registry::remove(int32_t key) {
    std::unique_lock lock(entries_mutex_);
    auto found = entries_.find(key);
    if (found == entries_.end()) return nullptr;
    EntryPtr entry = std::move(found->second);
    entries_.erase(found);
    return entry;
}

std::vector<EntryPtr> Registry::remove_all() {
    std::unique_lock lock(entries_mutex_);
    std::vector<EntryPtr> all;
    for (auto& [key, entry] : entries_)
        all.push_back(std::move(entry));
    entries_.clear();
    return all;
}

std::vector<EntryPtr> Registry::all() const {
    std::shared_lock lock(entries_mutex_);
    std::vector<EntryPtr> all;
    all.reserve(entries_.size());
    for (const auto& [key, entry] : entries_)
        all.push_back(entry);
    return all;
}

uint64_t Registry::bind_socket(const EntryPtr& entry, SocketRole role) {
    std::lock_guard lock(sockets_mutex_);
    const uint64_t token = next_token_++;
    sockets_.emplace(token, Binding{entry, role});
    return token;
}

void Registry::unbind_socket(uint64_t token) {
    std::lock_guard lock(sockets_mutex_);
    sockets_.erase(token);
}

bool Registry::lookup_socket(uint64_t token, EntryPtr& entry, SocketRole& role) const {
    std::lock_guard lock(sockets_mutex_);
    auto found = sockets_.find(token);
    if (found == sockets_.end()) return false;
    entry = found->second.entry.lock();
    role = found->second.role;
    return entry != nullptr;
}

} // namespace corvel
