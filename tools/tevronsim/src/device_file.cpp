#include "device_file.h"

#include "net.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

namespace tevronsim {

namespace {

constexpr std::size_t kMaxName = 64;

using Setter = std::function<std::string(DeviceConfig&, const std::string&)>;

std::string integer_into(const std::string& text, long min, long max, long& out) {
    if (parse_integer(text, min, max, out)) return "";
    return "expected an integer from " + std::to_string(min) + " to " + std::to_string(max);
}

template <typename T> Setter integer_key(T DeviceConfig::*field, long min, long max) {
    return [=](DeviceConfig& c, const std::string& v) {
        long n = 0;
        auto e = integer_into(v, min, max, n);
        if (e.empty()) c.*field = static_cast<T>(n);
        return e;
    };
}

template <typename T> Setter word_key(T IoState::*field) {
    return [=](DeviceConfig& c, const std::string& v) {
        long n = 0;
        auto e = integer_into(v, 0, 0xFFFF, n);
        if (e.empty()) c.initial.*field = static_cast<T>(n);
        return e;
    };
}

// A comma-separated list of at most N values; analog values may be given signed.
template <typename T, std::size_t N>
Setter list_key(std::array<T, N> IoState::*field, long min, long max) {
    return [=](DeviceConfig& c, const std::string& v) -> std::string {
        std::stringstream in(v);
        std::string item;
        std::size_t i = 0;
        while (std::getline(in, item, ',')) {
            if (i == N) return "at most " + std::to_string(N) + " values";
            long n = 0;
            auto e = integer_into(item, min, max, n);
            if (!e.empty()) return e + " (value " + std::to_string(i + 1) + ")";
            (c.initial.*field)[i++] = static_cast<T>(n);
        }
        return "";
    };
}

Setter endpoint_key(Endpoint::Role role) {
    return [=](DeviceConfig& c, const std::string& v) -> std::string {
        std::string host;
        long port = 0;
        if (!split_endpoint(v, host, port)) return "expected host:port or [v6-address]:port";
        if (role == Endpoint::Role::Client && port == 0) return "a client needs a port";
        c.endpoint = {role, host, static_cast<std::uint16_t>(port)};
        return "";
    };
}

// Comma-separated port descriptions, at most 16 and 16 bytes each; an empty item keeps the
// default name.
Setter names_key(std::array<std::string, 16> DeviceConfig::*field) {
    return [=](DeviceConfig& c, const std::string& v) -> std::string {
        std::stringstream in(v);
        std::string item;
        std::size_t i = 0;
        while (std::getline(in, item, ',')) {
            if (i == 16) return "at most 16 names";
            while (!item.empty() && item.front() == ' ')
                item.erase(item.begin());
            while (!item.empty() && item.back() == ' ')
                item.pop_back();
            if (item.size() > 16)
                return "at most 16 bytes a name (name " + std::to_string(i + 1) + ")";
            (c.*field)[i++] = item;
        }
        return "";
    };
}

std::string set_temperature(DeviceConfig& c, const std::string& v) {
    char* end = nullptr;
    errno = 0;
    double degrees = std::strtod(v.c_str(), &end);
    if (v.empty() || *end != '\0' || errno != 0 || std::fabs(degrees) > 3276.7)
        return "expected degrees such as -12.3";
    c.initial.analog[0] =
        static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(degrees * 10)));
    return "";
}

const std::vector<std::pair<std::string, Setter>>& setters() {
    static const std::vector<std::pair<std::string, Setter>> table{
        {"listen", endpoint_key(Endpoint::Role::Server)},
        {"connect", endpoint_key(Endpoint::Role::Client)},
        {"unit_id", integer_key(&DeviceConfig::unit_id, 0, 255)},
        {"input_base", integer_key(&DeviceConfig::input_base, 0, 0xFFFF)},
        {"output_base", integer_key(&DeviceConfig::output_base, 0, 0xFFFF)},
        {"inputs", word_key(&IoState::inputs)},
        {"outputs", word_key(&IoState::outputs)},
        {"counters", list_key(&IoState::counters, 0, 0xFFFFFFFFL)},
        {"analog", list_key(&IoState::analog, -32768, 0xFFFF)},
        {"modes", list_key(&IoState::modes, 0, 0xFF)},
        {"errors", list_key(&IoState::errors, 0, 0xFFFF)},
        {"temperature", set_temperature},
        {"pulse_flags", integer_key(&DeviceConfig::pulse_flags, 0, 0xFFFF)},
        {"pulse_ms", integer_key(&DeviceConfig::pulse_ms, 1, 0xFFFF)},
        {"change_port", integer_key(&DeviceConfig::change_port, 0, 0xFF)},
        {"input_names", names_key(&DeviceConfig::input_names)},
        {"output_names", names_key(&DeviceConfig::output_names)},
    };
    return table;
}

const IniEntry* find_entry(const IniSection& s, const std::string& key) {
    for (const auto& e : s.entries) {
        if (e.key == key) return &e;
    }
    return nullptr;
}

bool valid_name(const std::string& name) {
    if (name.size() > kMaxName) return false;
    for (unsigned char ch : name) {
        if (ch <= ' ' || ch == '"' || ch == '\\') return false;
    }
    return true;
}

std::string at(int line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

bool device_from_section(const IniSection& s, DeviceConfig& c, std::string& error) {
    if (!valid_name(s.name)) {
        error =
            at(s.line, "device name '" + s.name + "' must be at most 64 characters without spaces");
        return false;
    }
    c.name = s.name;
    const IniEntry* model = find_entry(s, "model");
    if (!model) {
        error = at(s.line, "[" + s.name + "] has no model");
        return false;
    }
    c.model = find_model(model->value);
    if (!c.model) {
        error = at(model->line, "unknown model '" + model->value + "'");
        return false;
    }
    if (is_rlx(*c.model)) c.unit_id = 255;
    if (find_entry(s, "listen") && find_entry(s, "connect")) {
        error = at(s.line, "[" + s.name + "] has both listen and connect");
        return false;
    }
    for (const auto& e : s.entries) {
        if (e.key == "model") continue;
        const Setter* setter = nullptr;
        for (const auto& [key, fn] : setters()) {
            if (key == e.key) setter = &fn;
        }
        if (!setter) {
            error = at(e.line, "unknown key '" + e.key + "'");
            return false;
        }
        std::string problem = (*setter)(c, e.value);
        if (!problem.empty()) {
            error = at(e.line, e.key + ": " + problem);
            return false;
        }
    }
    return true;
}

} // namespace

bool parse_integer(const std::string& text, long min, long max, long& out) {
    std::string t = text;
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.erase(t.begin());
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.pop_back();
    if (t.empty()) return false;
    int base = 10;
    std::size_t skip = 0;
    bool negative = t[0] == '-';
    std::size_t digits = negative ? 1 : 0;
    if (t.size() > digits + 2 && t[digits] == '0' &&
        (t[digits + 1] == 'x' || t[digits + 1] == 'X')) {
        base = 16;
        skip = 2;
    } else if (t.size() > digits + 2 && t[digits] == '0' &&
               (t[digits + 1] == 'b' || t[digits + 1] == 'B')) {
        base = 2;
        skip = 2;
    }
    std::string body = t.substr(digits + skip);
    if (body.empty() || body[0] == '-' || body[0] == '+') return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(body.c_str(), &end, base);
    if (*end != '\0' || errno != 0) return false;
    if (negative) v = -v;
    if (v < min || v > max) return false;
    out = static_cast<long>(v);
    return true;
}

bool devices_from_ini(const std::vector<IniSection>& sections, std::vector<DeviceConfig>& out,
                      std::string& error) {
    for (const auto& s : sections) {
        DeviceConfig c;
        if (!device_from_section(s, c, error)) return false;
        out.push_back(std::move(c));
    }
    if (out.empty()) {
        error = "no devices";
        return false;
    }
    return true;
}

bool load_device_file(const std::string& path, std::vector<DeviceConfig>& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<IniSection> sections;
    if (!parse_ini(text.str(), sections, error) || !devices_from_ini(sections, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

} // namespace tevronsim
