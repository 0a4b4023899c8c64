// Collects fragmented reply payloads, keyed by the device's MAC and the sequence number.
#pragma once

#include "frame.h"

#include <array>
#include <cstdint>
#include <vector>

namespace nexolt {

inline constexpr size_t kReassemblySlots = 256;

struct ReassemblySlot {
    FrameHeader header{};
    std::vector<uint8_t> payload;
    bool completed = false;
};

class ReassemblyTable {
  public:
    void clear();
    // Adds one fragment; returns the slot when its payload is complete, else nullptr. A
    // continuation whose start was never seen is dropped: it is no reply by itself.
    const ReassemblySlot* add(const FrameHeader& header, const uint8_t* payload, size_t length);

  private:
    ReassemblySlot* take_free_slot();
    // The slot of this device's reply (MAC and sequence), open or completed.
    ReassemblySlot* find_reply(const FrameHeader& header);

    std::array<ReassemblySlot, kReassemblySlots> slots_{};
    size_t used_ = 0;
};

ReassemblyTable& reassembly_table();

} // namespace nexolt
