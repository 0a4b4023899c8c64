#include "demo.h"

#include <cctype>

namespace tevronsim {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (auto& ch : out)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

// Lively starting values, so that a first look at the program shows lamps, bars and numbers.
void give_demo_values(DeviceConfig& c) {
    auto& io = c.initial;
    switch (c.model->family) {
    case Family::Generic:
        io.inputs = static_cast<std::uint16_t>(0x05 & ((1u << c.model->inputs) - 1));
        break;
    case Family::Rlx810:
        io.analog = {0, 1024, 2048, 4095};
        break;
    case Family::Rlx820:
        io.inputs = 0x03;
        io.counters = {12, 100000, 0, 7};
        break;
    case Family::Rlx830:
        c.pulse_flags = 0x0001;
        break;
    case Family::Rlx850:
        io.inputs = 0x01;
        io.counters = {5, 0, 42, 1};
        io.analog = {819, 1638, 2457, 3276};
        c.pulse_flags = 0x0002;
        break;
    case Family::Rlx840:
        io.analog[0] = 235; // 23.5 degrees Celsius
        break;
    }
}

} // namespace

std::string demo_address(std::size_t index) {
    return "127.0.0." + std::to_string(index + 2);
}

std::vector<ManagementConfig> demo_sites(const std::vector<std::string>& names,
                                         const ManagementConfig& base) {
    std::vector<ManagementConfig> sites;
    for (std::size_t i = 0; i < names.size(); ++i) {
        ManagementConfig site;
        site.host = demo_address(i);
        site.port = base.port;
        site.kestrel_port = base.kestrel_port;
        site.devices[names[i]] = base.devices.at(names[i]);
        sites.push_back(std::move(site));
    }
    return sites;
}

std::vector<DeviceConfig> demo_devices(std::uint16_t first_port) {
    std::vector<DeviceConfig> out;
    std::uint16_t port = first_port;
    for (const auto& m : all_models()) {
        DeviceConfig c;
        c.name = lower(m.name);
        c.model = &m;
        c.endpoint = {Endpoint::Role::Server, demo_address(out.size()), port++};
        c.unit_id = is_rlx(m) ? 255 : 1;
        give_demo_values(c);
        out.push_back(std::move(c));
    }
    return out;
}

} // namespace tevronsim
