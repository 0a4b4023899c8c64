// Request in, answer out, state after: the device models of every family without sockets.

#include "change_report.h"
#include "request_handler.h"

#include <gtest/gtest.h>

using namespace tevronsim;
using namespace std::chrono_literals;

namespace {

Device make(const char* model, std::uint16_t in_base = 0, std::uint16_t out_base = 0) {
    DeviceConfig c;
    c.name = "dev";
    c.model = find_model(model);
    c.input_base = in_base;
    c.output_base = out_base;
    c.initial.inputs = 0x05;
    c.initial.outputs = 0x02;
    c.initial.counters = {0x00012345, 2, 3, 4};
    c.initial.analog = {100, 200, 300, 400};
    c.initial.modes = {1, 0, 2, 3};
    c.initial.errors = {0, 3, 0, 0};
    c.pulse_flags = 0x0001;
    c.pulse_ms = 100;
    c.change_port = 2;
    return Device(c);
}

struct Case {
    const char* what;
    Bytes request;
    Bytes answer;
};

void check(Device& d, const std::vector<Case>& cases) {
    auto now = Clock::now();
    for (const auto& c : cases) {
        EXPECT_EQ(handle_request(d, c.request, now).pdu, c.answer) << c.what;
    }
}

TEST(GenericModel, ReadsWritesAndExceptions) {
    Device d = make("TKA-35", 10, 20);
    check(d, {
                 {"inputs at the input base", {0x02, 0, 10, 0, 4}, {0x02, 1, 0x05}},
                 {"inputs from the third", {0x02, 0, 12, 0, 2}, {0x02, 1, 0x01}},
                 {"coils at the output base", {0x01, 0, 20, 0, 4}, {0x01, 1, 0x02}},
                 {"one past the last input", {0x02, 0, 10, 0, 5}, {0x82, 2}},
                 {"below the base", {0x01, 0, 19, 0, 1}, {0x81, 2}},
                 {"quantity 0", {0x01, 0, 20, 0, 0}, {0x81, 3}},
                 {"truncated read", {0x01, 0, 20, 0}, {0x81, 3}},
                 {"inputs word register", {0x03, 0, 10, 0, 1}, {0x03, 2, 0, 0x05}},
                 {"outputs word register", {0x03, 0, 20, 0, 1}, {0x03, 2, 0, 0x02}},
                 {"register next to the inputs", {0x03, 0, 11, 0, 1}, {0x83, 2}},
                 {"input registers unsupported", {0x04, 0, 0, 0, 1}, {0x84, 1}},
                 {"write register unsupported", {0x06, 0, 20, 0, 1}, {0x86, 1}},
                 {"coil value neither on nor off", {0x05, 0, 21, 0x12, 0x34}, {0x85, 3}},
                 {"coil outside", {0x05, 0, 24, 0xFF, 0}, {0x85, 2}},
                 {"coil on", {0x05, 0, 23, 0xFF, 0}, {0x05, 0, 23, 0xFF, 0}},
                 {"identification unsupported", {0x2B, 0x0E, 4, 0x83}, {0xAB, 1}},
             });
    EXPECT_EQ(d.io().outputs, 0x0A);
}

TEST(GenericModel, PulseDrivesTheOutputAndReturnsItAfterTheDuration) {
    Device d = make("TKA-31", 0, 16);
    auto t0 = Clock::now();
    Bytes pulse = {0x69, 0, 17, 0x01, 0xF4, 0x00}; // port 1, 500 ms, low level
    EXPECT_EQ(handle_request(d, pulse, t0).pdu, pulse);
    EXPECT_FALSE(d.output(1));
    EXPECT_EQ(handle_request(d, pulse, t0 + 100ms).pdu, (Bytes{0xE9, 6}));
    EXPECT_EQ(d.next_deadline(), t0 + 500ms);
    d.advance(t0 + 499ms);
    EXPECT_FALSE(d.output(1));
    d.advance(t0 + 500ms);
    EXPECT_TRUE(d.output(1));
    EXPECT_FALSE(d.next_deadline());
    EXPECT_EQ(handle_request(d, Bytes{0x69, 0, 17, 0, 0, 0xFF}, t0).pdu, (Bytes{0xE9, 3}));
    EXPECT_EQ(handle_request(d, Bytes{0x69, 0, 24, 0, 10, 0xFF}, t0).pdu, (Bytes{0xE9, 2}));
}

TEST(RlxModel, AbsoluteTablesOfTheRlx850) {
    Device d = make("RLX-850", 100, 200); // the bases do not move the tables
    check(d,
          {
              {"analog values", {0x04, 0, 0, 0, 4}, {0x04, 8, 0, 100, 0, 200, 1, 44, 1, 144}},
              {"analog errors", {0x04, 0, 8, 0, 2}, {0x04, 4, 0, 0, 0, 3}},
              {"counters high/low", {0x04, 0, 160, 0, 4}, {0x04, 8, 0, 1, 0x23, 0x45, 0, 0, 0, 2}},
              {"past the counters", {0x04, 0, 166, 0, 3}, {0x84, 2}},
              {"gap after the analog values", {0x04, 0, 4, 0, 1}, {0x84, 2}},
              {"analog modes", {0x03, 0x01, 0xD2, 0, 2}, {0x03, 4, 0, 1, 3, 2}},
              {"inputs", {0x02, 0, 0, 0, 4}, {0x02, 1, 0x05}},
              {"outputs", {0x01, 0, 0, 0, 4}, {0x01, 1, 0x02}},
              {"maker's pulse unsupported", {0x69, 0, 0, 0, 10, 0xFF}, {0xE9, 1}},
          });
}

TEST(RlxModel, CoilCommands) {
    Device d = make("RLX-850");
    auto t0 = Clock::now();
    auto write = [&](std::uint16_t address, bool on) {
        Bytes req = {0x05, static_cast<std::uint8_t>(address >> 8),
                     static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(on ? 0xFF : 0),
                     0};
        return handle_request(d, req, t0);
    };
    EXPECT_EQ(write(1202, true).reports, std::optional<bool>(true));
    EXPECT_EQ(write(1202, false).reports, std::optional<bool>(false));
    EXPECT_EQ(write(1208, true).pdu, (Bytes{0x85, 2}));

    EXPECT_EQ(write(240, true).pdu[0], 0x05); // counter 0 reset
    EXPECT_EQ(d.io().counters, (std::array<std::uint32_t, 4>{0, 2, 3, 4}));
    write(244, true); // one past the last: all of them
    EXPECT_EQ(d.io().counters, (std::array<std::uint32_t, 4>{}));
    EXPECT_EQ(write(245, true).pdu, (Bytes{0x85, 2}));

    EXPECT_EQ(write(80, true).pdu[0], 0x05); // port 0 is pulsed by the device
    EXPECT_TRUE(d.output(0));
    EXPECT_EQ(write(80, true).pdu, (Bytes{0x85, 6}));
    EXPECT_EQ(write(81, true).pdu, (Bytes{0x85, 3})); // port 1 is not
    d.advance(t0 + 100ms);
    EXPECT_FALSE(d.output(0));
}

TEST(RlxModel, CountingInputsCountRisingEdges) {
    Device d = make("RLX-820");
    d.set_input(1, true);
    d.set_input(1, true);
    d.set_input(1, false);
    d.set_input(1, true);
    EXPECT_EQ(d.io().counters[1], 4u);
    Device generic = make("TKA-35");
    generic.set_input(1, true);
    EXPECT_EQ(generic.io().counters[1], 2u);
}

TEST(RlxModel, IdentificationObjects) {
    Device d = make("RLX-830");
    auto now = Clock::now();
    EXPECT_EQ(handle_request(d, Bytes{0x2B, 0x0E, 4, 0x83}, now).pdu,
              (Bytes{0x2B, 0x0E, 4, 0x83, 0, 0, 1, 0x83, 1, 2}));
    EXPECT_EQ(handle_request(d, Bytes{0x2B, 0x0E, 4, 0x85}, now).pdu,
              (Bytes{0x2B, 0x0E, 4, 0x83, 0, 0, 1, 0x85, 2, 0x01, 0x00}));
    Bytes basic = handle_request(d, Bytes{0x2B, 0x0E, 1, 0}, now).pdu;
    ASSERT_GE(basic.size(), 7u);
    EXPECT_EQ(basic[6], 3); // vendor, product code, revision
    EXPECT_EQ(handle_request(d, Bytes{0x2B, 0x0E, 4, 0x99}, now).pdu, (Bytes{0xAB, 2}));
    EXPECT_EQ(handle_request(d, Bytes{0x2B, 0x0E, 5, 0}, now).pdu, (Bytes{0xAB, 3}));
    EXPECT_EQ(handle_request(d, Bytes{0x2B, 0x0D, 4, 0x83}, now).pdu, (Bytes{0xAB, 1}));
}

TEST(ChangeReports, OnlyWhatChangedAndOnlyWhatTheModelHas) {
    IoState before, after;
    after.inputs = 0x09;
    after.outputs = 0x01;
    after.counters[0] = 0x00010002;
    auto all = change_reports(*find_model("RLX-850"), before, after);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0], (Bytes{0x6C, 0, 240, 0, 1, 2, 0, 0x09}));
    EXPECT_EQ(all[1], (Bytes{0x6C, 0x01, 0x40, 0, 1, 2, 0, 0x01}));
    EXPECT_EQ(all[2],
              (Bytes{0x6C, 0, 160, 0, 8, 16, 0, 1, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(change_reports(*find_model("RLX-830"), before, after).size(), 1u);
    EXPECT_TRUE(change_reports(*find_model("RLX-850"), after, after).empty());
}

} // namespace
