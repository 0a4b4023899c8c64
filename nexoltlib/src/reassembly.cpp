#include "reassembly.h"

#include "nexoltlib/nexoltlib.h"

#include <cstring>

namespace nexolt {

void ReassemblyTable::clear() {
    for (size_t i = 0; i < used_; ++i)
        slots_[i] = ReassemblySlot{};
    used_ = 0;
}

// All slots taken: the fragment is dropped rather than overwriting a payload in progress.
ReassemblySlot* ReassemblyTable::take_free_slot() {
    return used_ < slots_.size() ? &slots_[used_++] : nullptr;
}

ReassemblySlot* ReassemblyTable::find_reply(const FrameHeader& header) {
    for (size_t i = 0; i < used_; ++i) {
        ReassemblySlot& slot = slots_[i];
        if (std::memcmp(slot.header.mac, header.mac, 6) == 0 && slot.header.seq() == header.seq())
            return &slot;
    }
    return nullptr;
}

const ReassemblySlot* ReassemblyTable::add(const FrameHeader& header, const uint8_t* payload,
                                           size_t length) {
    ReassemblySlot* slot = find_reply(header);
    if (header.fragment() == 0) {
        // A device answers every copy of a request: its repeats start over in the same slot.
        if (!slot) slot = take_free_slot();
        if (!slot) return nullptr;
        slot->payload.clear();
        slot->completed = false;
    } else if (!slot || slot->completed) {
        return nullptr;
    }
    if (header.fragment() != slot->payload.size()) return nullptr;
    if (slot->payload.size() + length > NEXOLT_MAX_PAYLOAD) return nullptr;
    slot->header = header;
    slot->payload.insert(slot->payload.end(), payload, payload + length);
    if (header.flags & kFlagMoreFragments) return nullptr;
    slot->completed = true;
    return slot;
}

ReassemblyTable& reassembly_table() {
    static ReassemblyTable table;
    return table;
}

} // namespace nexolt
