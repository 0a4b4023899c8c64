#include "ini.h"

#include <sstream>

namespace tevronsim {

namespace {
std::string trim(const std::string& s) {
    auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}
} // namespace

bool parse_ini(const std::string& text, std::vector<IniSection>& out, std::string& error) {
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        std::string line = trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        auto fail = [&](const std::string& what) {
            error = "line " + std::to_string(number) + ": " + what;
            return false;
        };
        if (line[0] == '[') {
            if (line.back() != ']') return fail("section header without ']'");
            std::string name = trim(line.substr(1, line.size() - 2));
            if (name.empty()) return fail("empty section name");
            for (const auto& s : out) {
                if (s.name == name) return fail("section [" + name + "] appears twice");
            }
            out.push_back({name, number, {}});
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string::npos) return fail("expected 'key = value'");
        if (out.empty()) return fail("key outside of any section");
        std::string key = trim(line.substr(0, eq));
        if (key.empty()) return fail("empty key");
        for (const auto& e : out.back().entries) {
            if (e.key == key) return fail("key '" + key + "' appears twice");
        }
        out.back().entries.push_back({key, trim(line.substr(eq + 1)), number});
    }
    return true;
}

} // namespace tevronsim
