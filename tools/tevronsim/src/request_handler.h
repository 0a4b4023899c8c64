#pragma once
// Answers one request PDU as the device's model family would. The unit id, the transport
// and the test faults are the caller's business; this is the device's behaviour alone.

#include "device.h"
#include "frame.h"

#include <optional>
#include <span>

namespace tevronsim {

namespace fn {
constexpr std::uint8_t kReadCoils = 0x01;
constexpr std::uint8_t kReadDiscreteInputs = 0x02;
constexpr std::uint8_t kReadHoldingRegisters = 0x03;
constexpr std::uint8_t kReadInputRegisters = 0x04;
constexpr std::uint8_t kWriteCoil = 0x05;
constexpr std::uint8_t kIdentification = 0x2B;
constexpr std::uint8_t kPulse = 0x69;
constexpr std::uint8_t kChangeReport = 0x6C;
} // namespace fn

namespace exc {
constexpr std::uint8_t kIllegalFunction = 1;
constexpr std::uint8_t kIllegalAddress = 2;
constexpr std::uint8_t kIllegalValue = 3;
constexpr std::uint8_t kBusy = 6;
} // namespace exc

struct Outcome {
    Bytes pdu;                   // the answer (never empty)
    std::optional<bool> reports; // set when the request switched change reporting on or off
};

Outcome handle_request(Device& device, std::span<const std::uint8_t> pdu, Clock::time_point now);

// Shared by the families.
struct AddressQuantity {
    std::uint16_t address = 0;
    std::uint16_t quantity = 0;
};
// Returns 0, or the exception code for a malformed request or a quantity outside 1..max.
std::uint8_t parse_read(std::span<const std::uint8_t> pdu, std::uint16_t max_quantity,
                        AddressQuantity& out);
struct CoilWrite {
    std::uint16_t address = 0;
    bool on = false;
};
std::uint8_t parse_coil_write(std::span<const std::uint8_t> pdu, CoilWrite& out);
// True when [address, address + quantity) lies inside [base, base + count).
bool inside(std::uint16_t address, std::uint16_t quantity, std::uint16_t base, int count);
Outcome fail(std::uint8_t function, std::uint8_t code);

Outcome handle_generic(Device& device, std::span<const std::uint8_t> pdu, Clock::time_point now);
Outcome handle_rlx(Device& device, std::span<const std::uint8_t> pdu, Clock::time_point now);

} // namespace tevronsim
