#include "commands.h"

#include "device_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace tevronsim {

namespace {

using Args = std::vector<std::string>;

struct Context {
    Simulator& sim;
    DeviceHost* host; // the device named by the first argument, when the command takes one
    Args args;        // the arguments after the device name
    std::string output = {};
};

using Handler = std::string (*)(Context&); // returns an error text, or empty

struct Command {
    const char* usage;
    const char* help;
    int argc; // arguments after the device name
    Handler run;
};

std::string number(const std::string& text, long min, long max, long& out) {
    if (parse_integer(text, min, max, out)) return "";
    return "'" + text + "' is not an integer from " + std::to_string(min) + " to " +
           std::to_string(max);
}

// Parses a port or channel index and checks it against the model's count of them.
std::string index(const std::string& text, int count, const char* what, long& out) {
    if (count == 0) return std::string("this model has no ") + what;
    return number(text, 0, count - 1, out);
}

std::string set_input(Context& c) {
    long port = 0, on = 0;
    auto e = index(c.args[0], c.host->device().model().inputs, "inputs", port);
    if (e.empty()) e = number(c.args[1], 0, 1, on);
    if (e.empty()) c.host->mutate([&](Device& d) { d.set_input(static_cast<int>(port), on); });
    return e;
}

std::string set_inputs(Context& c) {
    long mask = 0;
    auto e = number(c.args[0], 0, 0xFFFF, mask);
    if (!e.empty()) return e;
    c.host->mutate([&](Device& d) {
        for (int p = 0; p < d.model().inputs; ++p)
            d.set_input(p, (mask >> p) & 1);
    });
    return "";
}

std::string set_output(Context& c) {
    long port = 0, on = 0;
    auto e = index(c.args[0], c.host->device().model().outputs, "outputs", port);
    if (e.empty()) e = number(c.args[1], 0, 1, on);
    if (e.empty()) c.host->mutate([&](Device& d) { d.set_output(static_cast<int>(port), on); });
    return e;
}

std::string set_analog(Context& c) {
    long ch = 0, raw = 0;
    auto e = index(c.args[0], c.host->device().model().analog, "analog channels", ch);
    if (e.empty()) e = number(c.args[1], -32768, 0xFFFF, raw);
    if (e.empty())
        c.host->mutate([&](Device& d) { d.io().analog[ch] = static_cast<std::uint16_t>(raw); });
    return e;
}

std::string set_temperature(Context& c) {
    if (c.host->device().model().family != Family::Rlx840)
        return "only an RLX-840 has a temperature";
    char* end = nullptr;
    double degrees = std::strtod(c.args[0].c_str(), &end);
    if (c.args[0].empty() || *end != '\0' || !(std::fabs(degrees) <= 3276.7))
        return "'" + c.args[0] + "' is not a temperature such as -12.3";
    auto tenths = static_cast<std::int16_t>(std::lround(degrees * 10));
    c.host->mutate([&](Device& d) { d.io().analog[0] = static_cast<std::uint16_t>(tenths); });
    return "";
}

std::string set_counter(Context& c) {
    long ch = 0, value = 0;
    auto e = index(c.args[0], c.host->device().model().counters, "counters", ch);
    if (e.empty()) e = number(c.args[1], 0, 0xFFFFFFFFL, value);
    if (e.empty())
        c.host->mutate([&](Device& d) { d.io().counters[ch] = static_cast<std::uint32_t>(value); });
    return e;
}

std::string set_mode(Context& c) {
    long ch = 0, mode = 0;
    auto e = index(c.args[0], c.host->device().model().analog, "analog channels", ch);
    if (e.empty()) e = number(c.args[1], 0, 0xFF, mode);
    if (e.empty())
        c.host->mutate([&](Device& d) { d.io().modes[ch] = static_cast<std::uint8_t>(mode); });
    return e;
}

std::string set_error(Context& c) {
    long ch = 0, code = 0;
    auto e = index(c.args[0], c.host->device().model().analog, "analog channels", ch);
    if (e.empty()) e = number(c.args[1], 0, 0xFFFF, code);
    if (e.empty())
        c.host->mutate([&](Device& d) { d.io().errors[ch] = static_cast<std::uint16_t>(code); });
    return e;
}

// The flags only reach a client through identification object 0x85, as with a controller
// reconfigured in the field: a test reconnects (drop) or asks for the object again.
std::string set_pulse_flags(Context& c) {
    const ModelInfo& m = c.host->device().model();
    if (!is_rlx(m) || m.outputs == 0) return "only an RLX model with outputs pulses them itself";
    long mask = 0, ms = 0;
    auto e = number(c.args[0], 0, (1L << m.outputs) - 1, mask);
    if (e.empty()) e = number(c.args[1], 1, 0xFFFF, ms);
    if (e.empty())
        c.host->device().set_pulse_flags(static_cast<std::uint16_t>(mask),
                                         static_cast<std::uint16_t>(ms));
    return e;
}

std::string set_exception(Context& c) {
    long code = 0;
    auto e = number(c.args[0], 0, 255, code);
    if (e.empty()) c.host->device().faults().exception = static_cast<std::uint8_t>(code);
    return e;
}

std::string set_delay(Context& c) {
    long ms = 0;
    auto e = number(c.args[0], 0, 600000, ms);
    if (e.empty()) c.host->device().faults().delay_ms = static_cast<int>(ms);
    return e;
}

std::string drop(Context& c) {
    c.host->drop_connections();
    return "";
}

std::string refuse(Context& c) {
    if (c.args[0] != "on" && c.args[0] != "off") return "expected on or off";
    return c.host->set_refuse(c.args[0] == "on");
}

// "length": a header announcing a 251-byte body, sent without the body, so a reader that
// rejects the length and reads on sees the next answer as a proper frame.
std::string malformed(Context& c) {
    std::uint8_t unit = c.host->device().config().unit_id;
    Bytes bytes;
    if (c.args[0] == "length") {
        bytes = {0x00, 0x00, 0x00, 0x00, 0x00, 0xFB};
    } else if (c.args[0] == "function") {
        bytes = encode_frame(0, unit, Bytes{0x47, 0x00});
    } else if (c.args[0] == "count") {
        bytes = encode_frame(0, unit, Bytes{0x03, 0x03, 0x00, 0x01, 0x02});
    } else {
        return "expected length, function or count";
    }
    if (c.host->connection_count() == 0) return "no connection to send it on";
    c.host->send_raw(bytes);
    return "";
}

std::string silent(Context& c) {
    c.host->device().faults().silent = true;
    return "";
}

std::string resume(Context& c) {
    auto& f = c.host->device().faults();
    f.exception = 0;
    f.delay_ms = 0;
    f.silent = false;
    return f.refuse ? c.host->set_refuse(false) : "";
}

std::string show(Context& c) {
    const auto& d = c.host->device();
    const auto& io = d.io();
    const auto& f = d.faults();
    char line[160];
    std::snprintf(line, sizeof line, "%s inputs 0x%04x outputs 0x%04x connections %zu\n",
                  d.name().c_str(), io.inputs, io.outputs, c.host->connection_count());
    std::string out = line;
    auto list = [](const auto& values) {
        std::string s;
        for (auto v : values)
            s += (s.empty() ? "" : ",") + std::to_string(v);
        return s;
    };
    out += "counters " + list(io.counters) + " analog " + list(io.analog) + " modes " +
           list(io.modes) + " errors " + list(io.errors) + "\n";
    out += "pulse_flags " + std::to_string(d.pulse_flags()) + " pulse_ms " +
           std::to_string(d.pulse_ms()) + "\n";
    out += "exception " + std::to_string(f.exception) + " delay " + std::to_string(f.delay_ms) +
           " silent " + (f.silent ? "on" : "off") + " refuse " + (f.refuse ? "on" : "off") + "\n";
    c.output = out;
    return "";
}

const std::vector<std::pair<std::string, Command>>& commands() {
    static const std::vector<std::pair<std::string, Command>> table{
        {"show", {"show DEV", "print the device's state", 0, show}},
        {"input",
         {"input DEV PORT 0|1", "set an input (a rising edge counts on counting inputs)", 2,
          set_input}},
        {"inputs", {"inputs DEV MASK", "set all inputs at once (bit n: input n)", 1, set_inputs}},
        {"output",
         {"output DEV PORT 0|1", "set an output as if switched at the device", 2, set_output}},
        {"analog",
         {"analog DEV CH RAW", "set an analog raw value (-32768 to 65535)", 2, set_analog}},
        {"temp",
         {"temp DEV DEGREES", "RLX-840: set the temperature, e.g. -12.3", 1, set_temperature}},
        {"counter", {"counter DEV CH VALUE", "set a counter (32 bits)", 2, set_counter}},
        {"mode",
         {"mode DEV CH MODE", "set an analog mode (RLX-840: 0 Celsius, 1 Fahrenheit)", 2,
          set_mode}},
        {"error", {"error DEV CH CODE", "set an analog error code", 2, set_error}},
        {"pulses",
         {"pulses DEV MASK MS",
          "RLX: the outputs the device pulses itself (bit n: output n) and their length; a "
          "client reads them at its next identification",
          2, set_pulse_flags}},
        {"exception",
         {"exception DEV N", "answer every request with exception N (0: normally)", 1,
          set_exception}},
        {"delay",
         {"delay DEV MS", "delay every answer by MS milliseconds (0: none)", 1, set_delay}},
        {"silent", {"silent DEV", "read requests but answer nothing", 0, silent}},
        {"drop", {"drop DEV", "close the device's connections", 0, drop}},
        {"refuse",
         {"refuse DEV on|off", "refuse new connections (stop listening or connecting)", 1, refuse}},
        {"malformed",
         {"malformed DEV length|function|count",
          "send a frame with a body length over 250, an unknown function, or an odd byte count", 1,
          malformed}},
        {"resume",
         {"resume DEV", "answer normally again: no exception, delay, silence or refusal", 0,
          resume}},
    };
    return table;
}

// "*" in place of a device name: the command for every device, at once.
constexpr const char* kEveryDevice = "*";

// Runs the command on every device; the first error, if any, names its device.
CommandReply run_on_every_device(Simulator& sim, const Command& cmd, const Args& args) {
    std::string output;
    for (const auto& h : sim.hosts()) {
        Context ctx{sim, h.get(), args};
        const std::string error = cmd.run(ctx);
        if (!error.empty()) return {"error: " + h->device().name() + ": " + error};
        output += ctx.output;
    }
    return {output + "ok"};
}

std::string list_devices(Simulator& sim) {
    std::string out;
    for (const auto& h : sim.hosts()) {
        out += sim.device_line(*h) + " connections " + std::to_string(h->connection_count()) + "\n";
    }
    return out;
}

} // namespace

std::string command_help() {
    std::string out = "commands:\n";
    auto line = [&](const std::string& usage, const std::string& help) {
        char buf[200];
        std::snprintf(buf, sizeof buf, "  %-38s %s\n", usage.c_str(), help.c_str());
        out += buf;
    };
    line("help", "list the commands");
    line("list", "list the devices and their endpoints");
    for (const auto& [name, c] : commands())
        line(c.usage, c.help);
    line("quit", "stop the simulator");
    out += "DEV \"*\" runs a command on every device at once (e.g. \"drop *\").\n";
    // What answers besides Modbus/TCP, so that a user of the demo knows what to search for.
    out += "device libraries (--management FILE, always in --demo):\n"
           "  TKA models answer NexoltLib and the TKB-11 answers tkb11lib, on UDP 50005/50007;\n"
           "  RLX models answer Kestrel on UDP 50020. In --demo each device answers on its own\n"
           "  address, 127.0.0.2 and up (\"list\" shows them): search by network address.\n";
    return out;
}

CommandReply run_command(Simulator& sim, const std::string& line) {
    std::istringstream in(line);
    Args words;
    for (std::string w; in >> w;)
        words.push_back(w);
    if (words.empty()) return {"", false};
    const std::string& name = words[0];
    if (name == "help") return {command_help() + "ok"};
    if (name == "list") return {list_devices(sim) + "ok"};
    if (name == "quit") return {"ok", true};
    const Command* found = nullptr;
    for (const auto& [n, c] : commands()) {
        if (n == name) found = &c;
    }
    if (!found) return {"error: unknown command '" + name + "' (try help)"};
    const Command& cmd = *found;
    if (words.size() != static_cast<std::size_t>(cmd.argc) + 2)
        return {std::string("error: usage: ") + cmd.usage};
    const Args args(words.begin() + 2, words.end());
    if (words[1] == kEveryDevice) return run_on_every_device(sim, cmd, args);
    Context ctx{sim, sim.find(words[1]), args};
    if (!ctx.host) return {"error: no device named '" + words[1] + "'"};
    std::string error = cmd.run(ctx);
    return {error.empty() ? ctx.output + "ok" : "error: " + error};
}

} // namespace tevronsim
