// The generic digital I/O controllers (TKA and TKB models): coils at the output base,
// discrete inputs at the input base, the input and output words as holding registers at
// those bases, and the maker's output pulse.
#include "request_handler.h"

namespace tevronsim {

namespace {

Outcome read_bits(std::span<const std::uint8_t> pdu, std::uint16_t base, int count,
                  std::uint16_t word) {
    AddressQuantity r;
    if (auto e = parse_read(pdu, 2000, r)) return fail(pdu[0], e);
    if (!inside(r.address, r.quantity, base, count)) return fail(pdu[0], exc::kIllegalAddress);
    return {bits_pdu(pdu[0], static_cast<std::uint32_t>(word) >> (r.address - base), r.quantity),
            {}};
}

// One register per side; where both bases coincide the register holds the inputs.
Outcome read_holding(const Device& d, std::span<const std::uint8_t> pdu) {
    AddressQuantity r;
    if (auto e = parse_read(pdu, 125, r)) return fail(pdu[0], e);
    const auto& c = d.config();
    std::vector<std::uint16_t> regs;
    for (long a = r.address; a < long{r.address} + r.quantity; ++a) {
        if (d.model().inputs > 0 && a == c.input_base) {
            regs.push_back(d.io().inputs);
        } else if (d.model().outputs > 0 && a == c.output_base) {
            regs.push_back(d.io().outputs);
        } else {
            return fail(pdu[0], exc::kIllegalAddress);
        }
    }
    return {registers_pdu(pdu[0], regs), {}};
}

Outcome write_coil(Device& d, std::span<const std::uint8_t> pdu) {
    CoilWrite w;
    if (auto e = parse_coil_write(pdu, w)) return fail(pdu[0], e);
    if (!inside(w.address, 1, d.config().output_base, d.model().outputs))
        return fail(pdu[0], exc::kIllegalAddress);
    d.set_output(w.address - d.config().output_base, w.on);
    return {Bytes(pdu.begin(), pdu.end()), {}};
}

// Address (16), duration in ms (16), level (8); the answer echoes the request.
Outcome pulse(Device& d, std::span<const std::uint8_t> pdu, Clock::time_point now) {
    if (pdu.size() != 6) return fail(pdu[0], exc::kIllegalValue);
    std::uint16_t address = get_u16(pdu, 1);
    std::uint16_t duration = get_u16(pdu, 3);
    if (!inside(address, 1, d.config().output_base, d.model().outputs))
        return fail(pdu[0], exc::kIllegalAddress);
    if (duration == 0) return fail(pdu[0], exc::kIllegalValue);
    int port = address - d.config().output_base;
    if (d.pulsing(port)) return fail(pdu[0], exc::kBusy);
    d.start_pulse(port, pdu[5] != 0, std::chrono::milliseconds(duration), now);
    return {Bytes(pdu.begin(), pdu.end()), {}};
}

} // namespace

Outcome handle_generic(Device& d, std::span<const std::uint8_t> pdu, Clock::time_point now) {
    const auto& c = d.config();
    switch (pdu[0]) {
    case fn::kReadCoils:
        return read_bits(pdu, c.output_base, d.model().outputs, d.io().outputs);
    case fn::kReadDiscreteInputs:
        return read_bits(pdu, c.input_base, d.model().inputs, d.io().inputs);
    case fn::kReadHoldingRegisters:
        return read_holding(d, pdu);
    case fn::kWriteCoil:
        return write_coil(d, pdu);
    case fn::kPulse:
        return pulse(d, pdu, now);
    default:
        return fail(pdu[0], exc::kIllegalFunction);
    }
}

} // namespace tevronsim
