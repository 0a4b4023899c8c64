// The process-wide table of registered controllers and of the sockets being watched.
#pragma once

#include <mutex>
#include <shared_mutex>
#include <unordered_map>
#include <vector>

#include "device_entry.h"

namespace corvel {

class Registry {
  public:
    static Registry& instance();

    bool insert(const EntryPtr& entry); // false when the key is taken
    EntryPtr find(int32_t key) const;
    EntryPtr remove(int32_t key);
    std::vector<EntryPtr> remove_all();
    std::vector<EntryPtr> all() const;

    // Socket tokens tie a poller event to its entry; a token outlives nothing it names, so a
    // late event for a closed socket finds no entry and is dropped.
    uint64_t bind_socket(const EntryPtr& entry, SocketRole role);
    void unbind_socket(uint64_t token);
    bool lookup_socket(uint64_t token, EntryPtr& entry, SocketRole& role) const;

  private:
    struct Binding {
        std::weak_ptr<DeviceEntry> entry;
        SocketRole role;
    };

    mutable std::shared_mutex entries_mutex_;
    std::unordered_map<int32_t, EntryPtr> entries_;
    mutable std::mutex sockets_mutex_;
    std::unordered_map<uint64_t, Binding> sockets_;
    uint64_t next_token_ = 1;
};

} // namespace corvel
