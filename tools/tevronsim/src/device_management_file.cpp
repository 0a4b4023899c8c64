#include "device_management_file.h"

#include "device_file.h"
#include "net.h"

#include "kestrel/kestrel.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace tevronsim {

namespace {

std::string at(int line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

bool parse_mac(const std::string& text, std::array<std::uint8_t, 6>& mac) {
    unsigned v[6];
    char tail = 0;
    if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &v[0], &v[1], &v[2], &v[3], &v[4],
                    &v[5], &tail) != 6)
        return false;
    for (int i = 0; i < 6; ++i)
        mac[i] = std::uint8_t(v[i]);
    return true;
}

// "a.b.c.d/prefix": the address and mask a device reports.
bool parse_address(const std::string& text, ManagementSettings& s) {
    auto slash = text.find('/');
    long prefix = 0;
    std::uint32_t address = 0;
    if (slash == std::string::npos || !parse_integer(text.substr(slash + 1), 1, 32, prefix) ||
        inet_pton(AF_INET, text.substr(0, slash).c_str(), &address) != 1)
        return false;
    s.address = address;
    s.mask = htonl(0xFFFFFFFFu << (32 - prefix));
    return true;
}

std::string apply(ManagementSettings& s, const IniEntry& e) {
    long n = 0;
    if (e.key == "mac")
        return parse_mac(e.value, s.mac) ? "" : "expected a MAC such as 00:30:F9:00:00:01";
    if (e.key == "comment") {
        if (e.value.size() > 64) return "at most 64 characters";
        s.comment = e.value;
        return "";
    }
    if (e.key == "password") {
        if (!e.value.empty() && (e.value.size() < 4 || e.value.size() > 8))
            return "0 or 4 to 8 characters";
        s.password = e.value;
        return "";
    }
    if (e.key == "address")
        return parse_address(e.value, s) ? ""
                                         : "expected an IPv4 address and prefix such as 10.1.0.5/8";
    if (e.key == "encipher") {
        if (!parse_integer(e.value, 0, 1, n)) return "expected 0 or 1";
        s.encipher = n == 1;
        return "";
    }
    if (e.key == "answer_by_broadcast") {
        if (!parse_integer(e.value, 0, 1, n)) return "expected 0 or 1";
        s.answer_by_broadcast = n == 1;
        return "";
    }
    if (e.key == "fragment_size") {
        if (!parse_integer(e.value, 0, 1428, n) || (n > 0 && n < 8))
            return "expected 0 or 8 to 1428";
        s.fragment_size = std::size_t(n);
        return "";
    }
    return "unknown key '" + e.key + "'";
}

bool read_listen(const IniSection& s, ManagementConfig& out, std::string& error) {
    for (const auto& e : s.entries) {
        long port = 0;
        if (e.key == "kestrel") {
            if (!parse_integer(e.value, 0, 65535, port)) {
                error = at(e.line, "kestrel: expected a port from 0 to 65535");
                return false;
            }
            out.kestrel_port = std::uint16_t(port);
            continue;
        }
        if (e.key != "listen" || !split_endpoint(e.value, out.host, port) || port > 65533) {
            error = at(e.line, e.key == "listen" ? "expected IPv4-address:port"
                                                 : "unknown key '" + e.key + "'");
            return false;
        }
        out.port = std::uint16_t(port);
    }
    return true;
}

} // namespace

std::uint16_t kestrel_port(const ManagementConfig& config) {
    if (config.kestrel_port) return *config.kestrel_port;
    return config.port ? std::uint16_t(KESTREL_PORT) : std::uint16_t(0);
}

bool management_from_ini(const std::vector<IniSection>& sections,
                         const std::vector<std::string>& device_names, ManagementConfig& out,
                         std::string& error) {
    for (std::size_t i = 0; i < device_names.size(); ++i) {
        ManagementSettings s;
        s.mac = {0x00, 0x30, 0xF9, 0x00, std::uint8_t((i + 1) >> 8), std::uint8_t(i + 1)};
        out.devices[device_names[i]] = s;
    }
    for (const auto& section : sections) {
        if (section.name == "management") {
            if (!read_listen(section, out, error)) return false;
            continue;
        }
        auto device = out.devices.find(section.name);
        if (device == out.devices.end()) {
            error = at(section.line, "no device named '" + section.name + "'");
            return false;
        }
        for (const auto& e : section.entries) {
            std::string problem = apply(device->second, e);
            if (!problem.empty()) {
                error = at(e.line, e.key + ": " + problem);
                return false;
            }
        }
    }
    return true;
}

bool load_management_file(const std::string& path, const std::vector<std::string>& device_names,
                          ManagementConfig& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<IniSection> sections;
    if (!parse_ini(text.str(), sections, error) ||
        !management_from_ini(sections, device_names, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

} // namespace tevronsim
