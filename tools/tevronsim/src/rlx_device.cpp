// The DEV-8i0 controllers (RLX models). Their tables sit at fixed addresses whatever bases
// the program registered: analog values from input register 0, analog error codes from 8,
// counters from 160 as high/low word pairs, analog modes as holding registers from 466 (two
// channels per register, the even channel in the low byte), coils from 0, and the coil
// commands pulse (80 + port), counter reset (240 + channel) and change-report enable
// (1200 + port).
#include "identification.h"
#include "request_handler.h"

namespace tevronsim {

namespace {

constexpr std::uint16_t kAnalogErrors = 8;
constexpr std::uint16_t kCounters = 160;
constexpr std::uint16_t kModes = 466;
constexpr int kModeRegisters = kMaxAnalog / 2;
constexpr std::uint16_t kPulseControl = 80;
constexpr std::uint16_t kCounterReset = 240;
constexpr std::uint16_t kChangeEnable = 1200;
constexpr int kChangePorts = 8;

std::optional<std::uint16_t> input_register(const Device& d, long a) {
    const auto& m = d.model();
    const auto& io = d.io();
    if (a >= 0 && a < m.analog) return io.analog[a];
    if (a >= kAnalogErrors && a < kAnalogErrors + m.analog) return io.errors[a - kAnalogErrors];
    if (a >= kCounters && a < kCounters + 2 * m.counters) {
        std::uint32_t value = io.counters[(a - kCounters) / 2];
        return static_cast<std::uint16_t>((a - kCounters) % 2 == 0 ? value >> 16 : value);
    }
    return std::nullopt;
}

std::optional<std::uint16_t> holding_register(const Device& d, long a) {
    if (d.model().analog == 0 || a < kModes || a >= kModes + kModeRegisters) return std::nullopt;
    auto k = static_cast<std::size_t>(a - kModes);
    const auto& modes = d.io().modes;
    return static_cast<std::uint16_t>(modes[2 * k] | modes[2 * k + 1] << 8);
}

template <typename Lookup>
Outcome read_registers(const Device& d, std::span<const std::uint8_t> pdu, Lookup lookup) {
    AddressQuantity r;
    if (auto e = parse_read(pdu, 125, r)) return fail(pdu[0], e);
    std::vector<std::uint16_t> regs;
    for (long a = r.address; a < long{r.address} + r.quantity; ++a) {
        auto v = lookup(d, a);
        if (!v) return fail(pdu[0], exc::kIllegalAddress);
        regs.push_back(*v);
    }
    return {registers_pdu(pdu[0], regs), {}};
}

Outcome read_bits(std::span<const std::uint8_t> pdu, int count, std::uint16_t word) {
    AddressQuantity r;
    if (auto e = parse_read(pdu, 2000, r)) return fail(pdu[0], e);
    if (!inside(r.address, r.quantity, 0, count)) return fail(pdu[0], exc::kIllegalAddress);
    return {bits_pdu(pdu[0], static_cast<std::uint32_t>(word) >> r.address, r.quantity), {}};
}

Outcome pulse_control(Device& d, const CoilWrite& w, std::span<const std::uint8_t> pdu,
                      Clock::time_point now) {
    int port = w.address - kPulseControl;
    if (!((d.pulse_flags() >> port) & 1u)) return fail(pdu[0], exc::kIllegalValue);
    if (w.on) {
        if (d.pulsing(port)) return fail(pdu[0], exc::kBusy);
        d.start_pulse(port, true, std::chrono::milliseconds(d.pulse_ms()), now);
    }
    return {Bytes(pdu.begin(), pdu.end()), {}};
}

// Channel 4, one past the last counter, resets them all.
Outcome counter_reset(Device& d, const CoilWrite& w, std::span<const std::uint8_t> pdu) {
    int channel = w.address - kCounterReset;
    if (w.on) {
        for (int c = 0; c < d.model().counters; ++c) {
            if (c == channel || channel == d.model().counters) d.io().counters[c] = 0;
        }
    }
    return {Bytes(pdu.begin(), pdu.end()), {}};
}

Outcome write_coil(Device& d, std::span<const std::uint8_t> pdu, Clock::time_point now) {
    CoilWrite w;
    if (auto e = parse_coil_write(pdu, w)) return fail(pdu[0], e);
    const auto& m = d.model();
    Outcome echo{Bytes(pdu.begin(), pdu.end()), {}};
    if (inside(w.address, 1, 0, m.outputs)) {
        d.set_output(w.address, w.on);
        return echo;
    }
    if (inside(w.address, 1, kPulseControl, m.outputs)) return pulse_control(d, w, pdu, now);
    if (m.counters > 0 && inside(w.address, 1, kCounterReset, m.counters + 1))
        return counter_reset(d, w, pdu);
    if (inside(w.address, 1, kChangeEnable, kChangePorts)) {
        echo.reports = w.on;
        return echo;
    }
    return fail(pdu[0], exc::kIllegalAddress);
}

} // namespace

Outcome handle_rlx(Device& d, std::span<const std::uint8_t> pdu, Clock::time_point now) {
    switch (pdu[0]) {
    case fn::kReadCoils:
        return read_bits(pdu, d.model().outputs, d.io().outputs);
    case fn::kReadDiscreteInputs:
        return read_bits(pdu, d.model().inputs, d.io().inputs);
    case fn::kReadHoldingRegisters:
        return read_registers(d, pdu, holding_register);
    case fn::kReadInputRegisters:
        return read_registers(d, pdu, input_register);
    case fn::kWriteCoil:
        return write_coil(d, pdu, now);
    case fn::kIdentification:
        return {identification_pdu(d, pdu), {}};
    default:
        return fail(pdu[0], exc::kIllegalFunction);
    }
}

} // namespace tevronsim
