#pragma once
// The device-management protocol as the generic controllers speak it: what a device reports
// (its settings record and blocks) and how its replies are framed, enciphered and cut into
// fragments when the device has that capability.

#include "device.h"

#include "nexoltlib/nexoltlib.h"
#include "nexoltlib/src/frame.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tevronsim {

struct ManagementSettings {
    std::array<std::uint8_t, 6> mac{};
    bool encipher = false;
    std::size_t fragment_size = 0; // > 0: capability bit 6, payload pieces of this size
    std::string comment;           // empty: the device name
    std::string password;          // empty: the device has none
    std::uint32_t address = 0;     // IPv4 settings it reports (network order); 0: the
    std::uint32_t mask = 0;        // address the request reached, mask 255.255.255.0
    // Replies go to 255.255.255.255 out of the interface the request came in on, as a device
    // does that cannot reach a requester in another subnet.
    bool answer_by_broadcast = false;
};

using Datagram = std::vector<std::uint8_t>;

// Product id of a model the protocol knows, 0 for the others (they do not answer).
std::uint16_t management_product_id(const ModelInfo& model);

// The settings record the device reports before anything was written to it; own_address is
// the address a request reached it on (network order).
lib_env management_record(const DeviceConfig& config, const ManagementSettings& settings,
                          std::uint32_t own_address);

// The reply to request with this status and plaintext payload, in one datagram or in
// fragments of settings.fragment_size.
std::vector<Datagram> reply_datagrams(const nexolt::FrameHeader& request,
                                      const ManagementSettings& settings, std::uint8_t status,
                                      const std::vector<std::uint8_t>& payload);

} // namespace tevronsim
