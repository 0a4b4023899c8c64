// Syntax of the I/O macros: boolean expressions over the inputs I0 to I7 with "+" (OR),
// "*" (AND), "/" (NOT) and parentheses.
#include "nexoltlib/nexoltlib.h"

#include <string>

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '7';
}
bool is_input(char c) {
    return c == 'I' || c == 'i';
}

bool operand_ok(const std::string& m, size_t i) {
    char c = m[i];
    char prev = i ? m[i - 1] : '\0';
    if (is_input(c)) return i + 1 < m.size() && is_digit(m[i + 1]);
    return is_input(prev); // a digit
}

bool symbol_ok(const std::string& m, size_t i, int closing_seen) {
    char c = m[i];
    char prev = i ? m[i - 1] : '\0';
    bool last = i + 1 == m.size();
    switch (c) {
    case '(':
        return i == 0 || prev == '+' || prev == '*' || prev == '/' || prev == '(';
    case ')':
        return is_digit(prev) || (prev == ')' && closing_seen >= 1);
    case '+':
    case '*':
        return (is_digit(prev) || prev == ')') && !last;
    case '/':
        if (last || !(m[i + 1] == '(' || is_input(m[i + 1]))) return false;
        return i < 2 || prev == '+' || prev == '*' || prev == '(';
    default:
        return false;
    }
}

bool macro_valid(const char* text) {
    std::string m;
    for (int i = 0; i < 32; ++i)
        if (text[i] != ' ' && text[i] != '\0') m += text[i];
    int open = 0, close = 0;
    for (size_t i = 0; i < m.size(); ++i) {
        char c = m[i];
        bool ok = (is_input(c) || is_digit(c)) ? operand_ok(m, i) : symbol_ok(m, i, close);
        if (!ok) return false;
        open += c == '(';
        close += c == ')';
    }
    return open == close;
}

} // namespace

extern "C" int check_script_syntax(const nexolt_io_area* io) {
    if (!io) return 1;
    for (int n = 0; n < 8; ++n)
        if (!macro_valid(io->macro[n])) return n + 1;
    return 0;
}
