#include "identification.h"

#include "request_handler.h"

namespace tevronsim {

namespace {

constexpr std::uint8_t kConformity = 0x83; // extended objects, stream and individual access

Bytes text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

// Read device id codes 1, 2 and 3 stream the basic, regular and extended ranges.
bool in_category(std::uint8_t id, std::uint8_t code) {
    if (code == 1) return id <= 0x02;
    if (code == 2) return id <= 0x7F;
    return true;
}

} // namespace

std::vector<IdentObject> identification_objects(const Device& d) {
    const auto& c = d.config();
    return {
        {0x00, text("Tevron")},
        {0x01, text(d.model().name)},
        {0x02, text("1.0")},
        {0x04, text(c.name)},
        {0x05, text(d.model().name)},
        {kObjectChangePort, Bytes{c.change_port}},
        {kObjectPulseFlags, Bytes{static_cast<std::uint8_t>(d.pulse_flags() & 0xFF),
                                  static_cast<std::uint8_t>(d.pulse_flags() >> 8)}},
    };
}

Bytes identification_pdu(const Device& d, std::span<const std::uint8_t> pdu) {
    if (pdu.size() != 4) return exception_pdu(pdu[0], exc::kIllegalValue);
    if (pdu[1] != kMeiDeviceIdentification) return exception_pdu(pdu[0], exc::kIllegalFunction);
    std::uint8_t code = pdu[2];
    std::uint8_t object = pdu[3];
    if (code < 1 || code > 4) return exception_pdu(pdu[0], exc::kIllegalValue);

    std::vector<IdentObject> chosen;
    for (auto& o : identification_objects(d)) {
        bool wanted = code == 4 ? o.id == object : in_category(o.id, code) && o.id >= object;
        if (wanted) chosen.push_back(std::move(o));
    }
    if (code == 4 && chosen.empty()) return exception_pdu(pdu[0], exc::kIllegalAddress);
    // A stream request for an object outside its range starts at the range's beginning.
    if (chosen.empty()) {
        for (auto& o : identification_objects(d)) {
            if (in_category(o.id, code)) chosen.push_back(std::move(o));
        }
    }
    Bytes out{pdu[0],
              kMeiDeviceIdentification,
              code,
              kConformity,
              0x00,
              0x00,
              static_cast<std::uint8_t>(chosen.size())};
    for (const auto& o : chosen) {
        out.push_back(o.id);
        out.push_back(static_cast<std::uint8_t>(o.value.size()));
        out.insert(out.end(), o.value.begin(), o.value.end());
    }
    return out;
}

} // namespace tevronsim
