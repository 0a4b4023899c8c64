#pragma once
// A small INI reader: [section] headers, key = value lines, comments starting with ';' or
// '#'. Keeps line numbers so that errors can point at the line.

#include <string>
#include <vector>

namespace tevronsim {

struct IniEntry {
    std::string key;
    std::string value;
    int line = 0;
};

struct IniSection {
    std::string name;
    int line = 0;
    std::vector<IniEntry> entries;
};

// Parses text; on a syntax error returns false with "line N: what" in error.
bool parse_ini(const std::string& text, std::vector<IniSection>& out, std::string& error);

} // namespace tevronsim
