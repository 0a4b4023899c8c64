#pragma once
// Read Device Identification (0x2B, MEI type 0x0E) of the RLX controllers. Besides the
// standard objects the device keeps two private ones: 0x83, the input port whose change
// reporting the client should enable, and 0x85, the two bytes of output pulse flags.

#include "device.h"
#include "frame.h"

#include <span>

namespace tevronsim {

constexpr std::uint8_t kMeiDeviceIdentification = 0x0E;
constexpr std::uint8_t kObjectChangePort = 0x83;
constexpr std::uint8_t kObjectPulseFlags = 0x85;

struct IdentObject {
    std::uint8_t id;
    Bytes value;
};

std::vector<IdentObject> identification_objects(const Device& device);
// The answer PDU, or an exception PDU for a bad request.
Bytes identification_pdu(const Device& device, std::span<const std::uint8_t> pdu);

} // namespace tevronsim
