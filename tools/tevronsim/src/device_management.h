#pragma once
// The device-management protocol as the generic controllers answer it: a search by
// broadcast (command 1) or by address (command 2) is answered with the device's settings
// blocks, enciphered or not, in fragments when the device has that capability.

#include "device.h"

#include "nexoltlib/nexoltlib.h"

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
};

using Datagram = std::vector<std::uint8_t>;

// Product id of a model the protocol knows, 0 for the others (they do not answer).
std::uint16_t management_product_id(const ModelInfo& model);

// The settings record the device reports; own_address is its IPv4 address (network order).
lib_env management_record(const DeviceConfig& config, const ManagementSettings& settings,
                          std::uint32_t own_address);

// The datagrams the device sends back for one request, none when it stays silent.
std::vector<Datagram> management_replies(const DeviceConfig& config,
                                         const ManagementSettings& settings,
                                         std::span<const std::uint8_t> request,
                                         std::uint32_t own_address);

} // namespace tevronsim
