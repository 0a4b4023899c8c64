// The device file: what a section becomes, and a clear error for every kind of bad line.

#include "device_file.h"

#include <gtest/gtest.h>

using namespace tevronsim;

namespace {

bool parse(const std::string& text, std::vector<DeviceConfig>& out, std::string& error) {
    std::vector<IniSection> sections;
    return parse_ini(text, sections, error) && devices_from_ini(sections, out, error);
}

TEST(DeviceFile, EveryKey) {
    const char* text = R"(; comment
[gen]
model = tka-35
listen = [::1]:0
unit_id = 9
input_base = 0x10
output_base = 32
inputs = 0b1010
outputs = 3

[temp]
# another comment
model = RLX-840
connect = localhost:5020
temperature = -12.3
modes = 1
errors = 3

[counting]
model = RLX-850
counters = 1, 2, 0xFFFFFFFF
analog = -1, 4095
pulse_flags = 0x0102
pulse_ms = 250
change_port = 3
)";
    std::vector<DeviceConfig> d;
    std::string error;
    ASSERT_TRUE(parse(text, d, error)) << error;
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].model->name, "TKA-35");
    EXPECT_EQ(d[0].endpoint.role, Endpoint::Role::Server);
    EXPECT_EQ(d[0].endpoint.host, "::1");
    EXPECT_EQ(d[0].unit_id, 9);
    EXPECT_EQ(d[0].input_base, 16);
    EXPECT_EQ(d[0].output_base, 32);
    EXPECT_EQ(d[0].initial.inputs, 0x0A);
    EXPECT_EQ(d[0].initial.outputs, 3);
    EXPECT_EQ(d[1].endpoint.role, Endpoint::Role::Client);
    EXPECT_EQ(d[1].endpoint.port, 5020);
    EXPECT_EQ(d[1].unit_id, 255);
    EXPECT_EQ(d[1].initial.analog[0], 0xFF85);
    EXPECT_EQ(d[1].initial.modes[0], 1);
    EXPECT_EQ(d[1].initial.errors[0], 3);
    EXPECT_EQ(d[2].endpoint.host, "127.0.0.1");
    EXPECT_EQ(d[2].initial.counters, (std::array<std::uint32_t, 4>{1, 2, 0xFFFFFFFF, 0}));
    EXPECT_EQ(d[2].initial.analog[0], 0xFFFF);
    EXPECT_EQ(d[2].pulse_flags, 0x0102);
    EXPECT_EQ(d[2].pulse_ms, 250);
    EXPECT_EQ(d[2].change_port, 3);
}

TEST(DeviceFile, ErrorsNameTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"[a]\nmodel = TKA-99\n", "line 2: unknown model 'TKA-99'"},
        {"[a]\nlisten = 127.0.0.1:0\n", "line 1: [a] has no model"},
        {"[a]\nmodel = TKA-31\ncolour = red\n", "line 3: unknown key 'colour'"},
        {"[a]\nmodel = TKA-31\nunit_id = 256\n",
         "line 3: unit_id: expected an integer from 0 to 255"},
        {"[a]\nmodel = TKA-31\ninputs = 12x\n",
         "line 3: inputs: expected an integer from 0 to 65535"},
        {"[a]\nmodel = TKA-31\nlisten = nowhere\n",
         "line 3: listen: expected host:port or [v6-address]:port"},
        {"[a]\nmodel = TKA-31\nconnect = 127.0.0.1:0\n", "line 3: connect: a client needs a port"},
        {"[a]\nmodel = TKA-31\nlisten = 127.0.0.1:0\nconnect = 127.0.0.1:1\n",
         "line 1: [a] has both listen and connect"},
        {"[a]\nmodel = RLX-850\ncounters = 1,2,3,4,5\n", "line 3: counters: at most 4 values"},
        {"[a]\nmodel = RLX-840\ntemperature = warm\n",
         "line 3: temperature: expected degrees such as -12.3"},
        {"[a]\nmodel = TKA-31\nmodel = TKA-21\n", "line 3: key 'model' appears twice"},
        {"[a]\nmodel = TKA-31\n[a]\n", "line 3: section [a] appears twice"},
        {"model = TKA-31\n", "line 1: key outside of any section"},
        {"[a\n", "line 1: section header without ']'"},
        {"[a b]\nmodel = TKA-31\n",
         "line 1: device name 'a b' must be at most 64 characters without spaces"},
        {"; nothing\n", "no devices"},
        {"[a]\nmodel = TKA-31\ninput_names = 12345678901234567\n",
         "line 3: input_names: at most 16 bytes a name (name 1)"},
        {"[a]\nmodel = TKA-31\noutput_names = a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q\n",
         "line 3: output_names: at most 16 names"},
    };
    for (const auto& [text, expected] : cases) {
        std::vector<DeviceConfig> d;
        std::string error;
        EXPECT_FALSE(parse(text, d, error)) << text;
        EXPECT_EQ(error, expected) << text;
    }
}

TEST(DeviceFile, PortNamesKeepTheDefaultsWhereEmpty) {
    std::vector<DeviceConfig> d;
    std::string error;
    ASSERT_TRUE(parse("[a]\nmodel = TKA-35\ninput_names = Door , , Smoke\noutput_names = "
                      "1234567890123456\n",
                      d, error))
        << error;
    EXPECT_EQ(port_name(d[0], true, 0), "Door");
    EXPECT_EQ(port_name(d[0], true, 1), "DI1");
    EXPECT_EQ(port_name(d[0], true, 2), "Smoke");
    EXPECT_EQ(port_name(d[0], false, 0), "1234567890123456");
    EXPECT_EQ(port_name(d[0], false, 3), "DO3");
}

TEST(DeviceFile, Integers) {
    const std::tuple<const char*, long, long, bool, long> cases[] = {
        {"0x1F", 0, 255, true, 31}, {"0b101", 0, 255, true, 5},    {" 42 ", 0, 255, true, 42},
        {"-5", -10, 10, true, -5},  {"-0x10", -100, 0, true, -16}, {"256", 0, 255, false, 0},
        {"", 0, 255, false, 0},     {"0x", 0, 255, false, 0},      {"1.5", 0, 255, false, 0},
        {"--1", -5, 5, false, 0},
    };
    for (const auto& [text, min, max, ok, value] : cases) {
        long out = 0;
        EXPECT_EQ(parse_integer(text, min, max, out), ok) << text;
        if (ok) {
            EXPECT_EQ(out, value) << text;
        }
    }
}

TEST(DeviceFile, MissingFileIsAnError) {
    std::vector<DeviceConfig> d;
    std::string error;
    EXPECT_FALSE(load_device_file("/nonexistent/devices.ini", d, error));
    EXPECT_EQ(error, "/nonexistent/devices.ini: No such file or directory");
}

} // namespace
