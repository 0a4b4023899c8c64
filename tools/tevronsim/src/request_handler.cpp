#include "request_handler.h"

namespace tevronsim {

Outcome fail(std::uint8_t function, std::uint8_t code) {
    return {exception_pdu(function, code), {}};
}

std::uint8_t parse_read(std::span<const std::uint8_t> pdu, std::uint16_t max_quantity,
                        AddressQuantity& out) {
    if (pdu.size() != 5) return exc::kIllegalValue;
    out.address = get_u16(pdu, 1);
    out.quantity = get_u16(pdu, 3);
    if (out.quantity < 1 || out.quantity > max_quantity) return exc::kIllegalValue;
    return 0;
}

std::uint8_t parse_coil_write(std::span<const std::uint8_t> pdu, CoilWrite& out) {
    if (pdu.size() != 5) return exc::kIllegalValue;
    out.address = get_u16(pdu, 1);
    std::uint16_t value = get_u16(pdu, 3);
    if (value != 0xFF00 && value != 0x0000) return exc::kIllegalValue;
    out.on = value == 0xFF00;
    return 0;
}

bool inside(std::uint16_t address, std::uint16_t quantity, std::uint16_t base, int count) {
    long first = address;
    long last = first + quantity;
    return first >= base && last <= long{base} + count;
}

Outcome handle_request(Device& device, std::span<const std::uint8_t> pdu, Clock::time_point now) {
    if (pdu.empty()) return fail(0, exc::kIllegalFunction);
    if (is_rlx(device.model())) return handle_rlx(device, pdu, now);
    return handle_generic(device, pdu, now);
}

} // namespace tevronsim
