#include "poll_requests.h"
#include "request_log_counter.h"
#include "sim_child.h"
#include "soak_checks.h"
#include "soak_faults.h"
#include "soak_timeline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>

namespace {

using namespace iomira::bench;

std::vector<SoakDevice> someDevices(int count) {
    std::vector<SoakDevice> devices;
    for (int i = 0; i < count; ++i)
        devices.push_back({benchDeviceName(i), i % 3 == 0 ? 0 : 4, i % 2 == 0 ? 2 : 0});
    return devices;
}

std::vector<std::string> words(const std::string& command) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t space = command.find(' '); space != std::string::npos;
         space = command.find(' ', start)) {
        out.push_back(command.substr(start, space - start));
        start = space + 1;
    }
    out.push_back(command.substr(start));
    return out;
}

// Runs a plan over simulated time in steps, 100 ms as the soak does unless told.
std::vector<std::string> runPlan(FaultPlan& plan, int64_t fromMs, int64_t toMs,
                                 int64_t stepMs = 100) {
    std::vector<std::string> all;
    for (int64_t t = fromMs; t < toMs; t += stepMs) {
        for (std::string& c : plan.step(t))
            all.push_back(std::move(c));
    }
    return all;
}

bool isInputChange(const std::string& command) {
    return command.rfind("input", 0) == 0 || command.rfind("analog", 0) == 0;
}

std::vector<std::string> only(const std::vector<std::string>& commands, bool inputChanges) {
    std::vector<std::string> out;
    for (const std::string& c : commands) {
        if (isInputChange(c) == inputChanges) out.push_back(c);
    }
    return out;
}

// The lasting faults of the commands, as a device would hold them.
struct HeldFaults {
    std::map<std::string, std::string> held; // device -> the fault on it
    std::vector<std::string> problems;

    void apply(const std::string& command) {
        const std::vector<std::string> w = words(command);
        const std::string& verb = w[0];
        const std::string& device = w[1];
        const bool lasting = verb == "silent" || (verb == "exception" && w[2] != "0") ||
                             (verb == "delay" && w[2] != "0") || (verb == "refuse" && w[2] == "on");
        const bool undo =
            verb == "resume" || verb == "exception" || verb == "delay" || verb == "refuse";
        const bool fault =
            lasting || verb == "malformed" || (verb == "drop" && held[device] != "refuse");
        if (fault && !held[device].empty()) problems.push_back(command + " over " + held[device]);
        if (lasting) {
            held[device] = verb;
        } else if (undo) {
            if (held[device].empty()) problems.push_back(command + " undoes nothing");
            held.erase(device);
        }
    }
};

TEST(FaultPlan, ASeedRepeatsItsRunWhateverTheStepsAndAnotherSeedDoesNot) {
    FaultPlan a(someDevices(20), 42), b(someDevices(20), 42), c(someDevices(20), 43);
    for (FaultPlan* p : {&a, &b, &c})
        p->startFaults(0);
    const auto first = runPlan(a, 0, 120000);
    // Steps of another length (a busy machine's ticks) bring the same faults and changes.
    const auto second = runPlan(b, 0, 120000 + 37, 37);
    for (bool inputChanges : {false, true}) {
        // The longer run may hold one more at its end.
        std::vector<std::string> shorter = only(first, inputChanges);
        std::vector<std::string> longer = only(second, inputChanges);
        ASSERT_LE(longer.size() - shorter.size(), 1u);
        longer.resize(shorter.size());
        EXPECT_EQ(shorter, longer);
    }
    EXPECT_GT(only(first, false).size(), 40u);
    EXPECT_NE(only(first, false), only(runPlan(c, 0, 120000), false));
}

TEST(FaultPlan, EveryLastingFaultIsUndoneAndNoDeviceCarriesTwoAtOnce) {
    // Few devices, so that the plan often draws one already under a fault.
    FaultPlan plan(someDevices(4), 7);
    plan.startFaults(0);
    HeldFaults faults;
    for (const std::string& c : runPlan(plan, 0, 600000))
        faults.apply(c);
    // Faults last at most 20 s: once no new ones come, every one ends.
    const std::vector<std::string> cleared = plan.clearAll();
    EXPECT_EQ(cleared, std::vector<std::string>{"resume *"});
    EXPECT_EQ(plan.activeCount(), 0u);
    for (const std::string& c : runPlan(plan, 600000, 660000))
        faults.apply(c);
    EXPECT_TRUE(faults.problems.empty()) << faults.problems.front();
    for (int k = 0; k < int(FaultKind::Count); ++k)
        EXPECT_GT(plan.injected(FaultKind(k)), 0) << faultKindName(FaultKind(k));
}

TEST(FaultPlan, FaultsComeEveryTwoSecondsAndLastTwoToTwentySeconds) {
    FaultPlan plan(someDevices(300), 11);
    plan.startFaults(0);
    std::map<std::string, int64_t> since;
    std::set<std::string> struck;
    int64_t shortest = INT64_MAX, longest = 0;
    for (int64_t t = 0; t < 600000; t += 100) {
        for (const std::string& c : plan.step(t)) {
            const std::vector<std::string> w = words(c);
            const bool lasting =
                w[0] == "silent" || w[0] == "exception" || w[0] == "delay" || w[0] == "refuse";
            const bool undo =
                w[0] == "resume" || (lasting && w.size() > 2 && (w[2] == "0" || w[2] == "off"));
            if (lasting && !undo) since[w[1]] = t;
            if (!isInputChange(c)) struck.insert(w[1]);
            if (undo && since.count(w[1])) {
                shortest = std::min(shortest, t - since[w[1]]);
                longest = std::max(longest, t - since[w[1]]);
                since.erase(w[1]);
            }
        }
    }
    EXPECT_GT(plan.injected(), 250);
    EXPECT_LT(plan.injected(), 350);
    EXPECT_GE(shortest, 2000);
    EXPECT_LE(longest, 20100);
    for (const auto& [device, startMs] : since)
        EXPECT_LE(600000 - startMs, 20100) << device << " was never undone";
    // Faults were spread over the devices, not kept on a few.
    EXPECT_GT(struck.size(), 100u);
}

TEST(FaultPlan, InputChangesStayWithinEachModelsPortsAndGoOnWithoutFaults) {
    const std::vector<SoakDevice> devices = someDevices(6);
    FaultPlan plan(devices, 3);
    std::map<std::string, SoakDevice> byName;
    for (const SoakDevice& d : devices)
        byName[d.name] = d;
    const std::vector<std::string> commands = runPlan(plan, 0, 120000);
    EXPECT_GT(commands.size(), 100u);
    for (const std::string& c : commands) {
        const std::vector<std::string> w = words(c);
        const SoakDevice& d = byName.at(w[1]);
        if (w[0] == "input") {
            EXPECT_LT(std::stoi(w[2]), d.inputs) << c;
            EXPECT_TRUE(w[3] == "0" || w[3] == "1") << c;
        } else if (w[0] == "inputs") {
            EXPECT_LT(std::stoi(w[2]), 1 << d.inputs) << c;
        } else if (w[0] == "analog") {
            EXPECT_LT(std::stoi(w[2]), d.analog) << c;
            EXPECT_LE(std::stoi(w[3]), 0xFFFF) << c;
        } else {
            ADD_FAILURE() << "a fault while faults are off: " << c;
        }
    }
    EXPECT_EQ(plan.injected(), 0);
}

TEST(FaultPlan, TheSimulatorTakesEveryCommandOfARun) {
    simtest::SimChild sim(benchDeviceFile(kPolledModelCount));
    // Every model once, with its port counts as the soak takes them.
    FaultPlan plan(benchSoakDevices(kPolledModelCount), 5);
    plan.startFaults(0);
    int sent = 0;
    for (const std::string& c : runPlan(plan, 0, 90000)) {
        try {
            sim.command(c);
            ++sent;
        } catch (const std::runtime_error& e) {
            // Nobody is connected, so a malformed frame has nowhere to go; nothing else fails.
            EXPECT_NE(std::string(e.what()).find("no connection to send it on"), std::string::npos)
                << e.what();
        }
    }
    for (const std::string& c : plan.clearAll())
        sim.command(c);
    EXPECT_GT(sent, 100);
    for (int i = 0; i < kPolledModelCount; ++i)
        EXPECT_EQ(sim.command("show " + benchDeviceName(i)).at(3),
                  "exception 0 delay 0 silent off refuse off");
}

class RequestLogFile : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/soak-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
        path_ = dir_ + "/requests.jsonl";
    }
    void TearDown() override {
        std::remove(path_.c_str());
        rmdir(dir_.c_str());
    }
    void append(const std::string& text) { std::ofstream(path_, std::ios::app) << text; }
    static std::string line(const std::string& device, int function, int address) {
        return "{\"t\":1.5,\"device\":\"" + device +
               "\",\"connection\":1,\"function\":" + std::to_string(function) +
               ",\"address\":" + std::to_string(address) +
               ",\"quantity\":8,\"answer\":\"response\"}\n";
    }
    std::string dir_, path_;
};

TEST_F(RequestLogFile, OnlyEachModelsPollRequestCounts) {
    // d0 is a TKA-31 (inputs at any address), d4 an RLX-810 (registers at 0), d8 an RLX-840
    // (registers at 8).
    append(line("d0", 2, 0) + line("d0", 2, 16) + line("d0", 1, 0) + line("d4", 4, 0) +
           line("d4", 4, 8) + line("d8", 4, 8) + line("d8", 4, 0) + line("x1", 2, 0) +
           "not json at all\n" + line("d12", 2, 0));
    RequestLogCounter counter(path_, 9);
    counter.readNew();
    const std::vector<int64_t> expected{2, 0, 0, 0, 1, 0, 0, 0, 1};
    EXPECT_EQ(counter.totals(), expected);
    EXPECT_EQ(counter.linesRead(), 10);
}

TEST_F(RequestLogFile, ALineBeingWrittenCountsOnceWhenComplete) {
    RequestLogCounter counter(path_, 1);
    counter.readNew(); // no file yet
    const std::string whole = line("d0", 2, 0);
    append(whole + whole.substr(0, 20));
    counter.readNew();
    EXPECT_EQ(counter.totals()[0], 1);
    append(whole.substr(20));
    counter.readNew();
    counter.readNew();
    EXPECT_EQ(counter.totals()[0], 2);
    EXPECT_EQ(counter.linesRead(), 2);
    const std::vector<int64_t> before{1};
    EXPECT_EQ(pollsBetween(before, counter.totals()), std::vector<int64_t>{1});
}

SoakOutcome cleanOutcome() {
    SoakOutcome o;
    o.controllers = 3;
    o.simulatorAlive = true;
    o.baseline = {60000, 3, 100000, {40, 3}, 1000000};
    o.end = {180000, 3, 103000, {40, 3}, 1000000 + 2 * 60 * 3 * 270};
    o.samples = {o.baseline, o.end};
    o.windowMs = 60000;
    o.windowPolls = {60, 59, 61};
    return o;
}

std::set<std::string> failedChecks(const SoakOutcome& o) {
    std::set<std::string> failed;
    for (const SoakCheck& c : soakChecks(o)) {
        if (!c.passed) failed.insert(c.name);
    }
    return failed;
}

TEST(SoakChecks, EachFaultFailsItsOwnCheckOnly) {
    EXPECT_EQ(failedChecks(cleanOutcome()), std::set<std::string>{});
    using Names = std::set<std::string>;
    SoakOutcome o = cleanOutcome();
    o.end.rssKb = 105100;
    EXPECT_EQ(failedChecks(o), Names{"memory"});
    o.end.rssKb = 80000; // memory given back
    EXPECT_EQ(failedChecks(o), Names{});

    o = cleanOutcome();
    o.end.fds = {41, 3};
    EXPECT_EQ(failedChecks(o), Names{"descriptors"});
    o.end.fds = {39, 3};
    EXPECT_EQ(failedChecks(o), Names{"descriptors"});

    o = cleanOutcome();
    o.end.connected = 2;
    EXPECT_EQ(failedChecks(o), Names{"connected"});

    o = cleanOutcome();
    o.windowPolls = {60, 29, 61};
    EXPECT_EQ(failedChecks(o), Names{"polled"});
    o.windowPolls = {60, 61};
    EXPECT_EQ(failedChecks(o), Names{"polled"});

    o = cleanOutcome();
    o.simulatorAlive = false;
    EXPECT_EQ(failedChecks(o), Names{"alive"});
}

TEST(SoakChecks, TheLogIsJudgedByItsFastestStretch) {
    SoakOutcome o = cleanOutcome();
    const int64_t bound = kLogBytesPerControllerMinute * o.controllers;
    // Half a minute that wrote more than half the minute's bound is over it, though the
    // whole run's mean is not.
    SoakSample burst = o.baseline;
    burst.atMs += 30000;
    burst.logBytes += bound / 2 + 1000;
    o.end.logBytes = burst.logBytes;
    o.samples = {o.baseline, burst, o.end};
    EXPECT_EQ(highestLogBytesPerMinute(o.samples), bound + 2000);
    EXPECT_EQ(failedChecks(o), std::set<std::string>{"event log"});
}

TEST(SoakTimeline, EveryRunHasItsPhasesInOrderAndACleanEnd) {
    for (int minutes = kSoakMinMinutes; minutes <= kSoakMaxMinutes; ++minutes) {
        const SoakTimeline t(minutes);
        EXPECT_GT(t.firstClearMs(), 0) << minutes;
        EXPECT_LT(t.firstClearMs(), t.baselineMs()) << minutes;
        EXPECT_LT(t.baselineMs(), t.lastClearMs()) << minutes;
        EXPECT_LT(t.lastClearMs(), t.windowStartMs()) << minutes;
        EXPECT_EQ(t.runMs - t.windowStartMs(), t.unitMs) << minutes;
        EXPECT_GE(t.windowStartMs() - t.lastClearMs(), 10000) << minutes;
        EXPECT_TRUE(t.faultsAt(0));
        EXPECT_FALSE(t.faultsAt(t.firstClearMs()));
        EXPECT_TRUE(t.faultsAt(t.baselineMs()));
        EXPECT_FALSE(t.faultsAt(t.lastClearMs()));
        EXPECT_FALSE(t.faultsAt(t.runMs - 1));
    }
    EXPECT_EQ(SoakTimeline(20).unitMs, 60000);
}

} // namespace
