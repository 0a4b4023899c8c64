// The reads each model family sends after connecting and at every poll, as the simulator
// received them.

#include "common/event_pump.h"
#include "core/device_family.h"
#include "monitor/commands_rig.h"
#include "monitor/initial_read.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::Request;

constexpr long kCoils = 1, kInputs = 2, kHolding = 3, kRegisters = 4;

// A family's reads: plain Modbus reads for the generic controller, rlx8xx_read_all in the
// named read mode (0 inputs, 1 outputs, 2 both) for the RLX families, one request a frame.
struct FamilyReads {
    const char* model;
    int family;
    int inputs;
    int outputs;
    int initialMode;
    std::vector<Request> initial;
    int pollMode;
    std::vector<Request> poll;
};

const std::vector<FamilyReads>& familyReads() {
    static const std::vector<FamilyReads> table = {
        {"TKA-31",
         FAMILY_GENERIC,
         8,
         8,
         -1,
         {{kInputs, 0, 8}},
         -1,
         {{kCoils, 0, 8}, {kInputs, 0, 8}}},
        {"TKA-33",
         FAMILY_GENERIC,
         2,
         1,
         -1,
         {{kInputs, 0, 2}},
         -1,
         {{kCoils, 0, 1}, {kInputs, 0, 2}}},
        {"RLX-810", FAMILY_RLX810, 0, 0, 2, {{kRegisters, 0, 4}}, 0, {{kRegisters, 0, 4}}},
        {"RLX-820",
         FAMILY_RLX820,
         4,
         0,
         2,
         {{kRegisters, 160, 8}, {kInputs, 0, 4}},
         0,
         {{kRegisters, 160, 8}, {kInputs, 0, 4}}},
        {"RLX-830", FAMILY_RLX830, 0, 2, 2, {{kCoils, 0, 2}}, 1, {{kCoils, 0, 2}}},
        {"RLX-850",
         FAMILY_RLX850,
         4,
         4,
         2,
         {{kRegisters, 0, 4}, {kRegisters, 160, 8}, {kInputs, 0, 4}, {kCoils, 0, 4}},
         0,
         {{kCoils, 0, 4}, {kRegisters, 0, 4}, {kRegisters, 160, 8}, {kInputs, 0, 4}}},
        {"RLX-840",
         FAMILY_RLX840,
         0,
         0,
         0,
         {{kRegisters, 0, 1}, {kHolding, 466, 2}, {kRegisters, 8, 1}},
         2,
         {{kRegisters, 0, 1}, {kRegisters, 8, 1}}},
    };
    return table;
}

std::string describe(const std::vector<Request>& requests) {
    std::string text;
    for (const Request& r : requests)
        text += "{" + std::to_string(r.function) + "," + std::to_string(r.address) + "," +
                std::to_string(r.quantity) + "} ";
    return text;
}

TEST(ReadRequests, EachFamilyReadsWhatItHasAfterConnectingAndAtEveryPoll) {
    std::vector<std::pair<std::string, std::string>> devices;
    for (const FamilyReads& row : familyReads())
        devices.push_back({row.model, row.model});
    test::CommandsRig rig(devices);
    for (const FamilyReads& row : familyReads()) {
        SCOPED_TRACE(std::string(row.model) + " initial mode " + std::to_string(row.initialMode) +
                     ", poll mode " + std::to_string(row.pollMode));
        CQUORVISData& c = rig.connect(row.model, row.family, row.inputs, row.outputs);
        // Anything Corvel sends by itself on connecting is answered before the reads start.
        test::pumpFor(100);
        size_t from = rig.logSize();
        sendInitialRead(c, rig.monitorLog);
        ASSERT_TRUE(rig.waitRequests(row.model, from, row.initial.size()));
        test::pumpFor(100);
        EXPECT_EQ(describe(rig.requestsOf(row.model, from)), describe(row.initial));

        from = rig.logSize();
        pollController(c, rig.monitorLog);
        ASSERT_TRUE(rig.waitRequests(row.model, from, row.poll.size()));
        test::pumpFor(100);
        EXPECT_EQ(describe(rig.requestsOf(row.model, from)), describe(row.poll));
    }
}

} // namespace
} // namespace iomira
