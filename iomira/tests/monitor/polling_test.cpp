// The polling thread: one pass a second for every family, measured on the simulator's request
// log, and controllers deleted on the UI thread while passes run.

#include "monitor/polling_rig.h"

#include "core/string_table.h"
#include "monitor/corvel_registration.h"
#include "monitor/exception_retry.h"
#include "monitor/initial_read.h"
#include "monitor/polling_thread.h"

#include <gtest/gtest.h>

#include <map>

namespace iomira {
namespace {

using test::pumpUntil;

struct Family {
    const char* device;
    const char* model;
};

const Family kFamilies[] = {{"generic", "TKA-35"}, {"r810", "RLX-810"}, {"r820", "RLX-820"},
                            {"r830", "RLX-830"},   {"r850", "RLX-850"}, {"r840", "RLX-840"}};

std::string familyDevices() {
    std::string text;
    for (const Family& f : kFamilies)
        text +=
            test::simDevice(f.device, f.model,
                            std::string("unit_id = ") + (f.device[0] == 'g' ? "1" : "255") + "\n");
    return text;
}

TEST(Polling, OnePassPerSecondForEveryFamily) {
    setLanguage(LANG_ENGLISH);
    test::MonitorRig rig(familyDevices());
    std::vector<CQUORVISData*> controllers;
    for (const Family& f : kFamilies) {
        controllers.push_back(
            &rig.add(f.device, QString::fromLatin1(f.model), QString::fromLatin1(f.device)));
        rig.connections.connectAtStartup(*controllers.back());
    }
    for (CQUORVISData* c : controllers)
        ASSERT_TRUE(rig.waitState(*c, TCP_ESTABLISHED));
    test::pumpFor(300); // the first reads settle

    // What one pass sends to each device.
    std::map<std::string, int> perPass;
    auto counts = [&] {
        std::map<std::string, int> out;
        const auto log = rig.requests();
        for (const Family& f : kFamilies)
            out[f.device] = test::countRequests(log, f.device);
        return out;
    };
    const auto start = counts();
    PollingThread poller(rig.shared, rig.files.monitorLog);
    poller.runPass();
    test::pumpFor(300);
    const auto afterOne = counts();
    for (const Family& f : kFamilies) {
        perPass[f.device] = afterOne.at(f.device) - start.at(f.device);
        EXPECT_GT(perPass[f.device], 0) << f.device;
    }

    // Three and a bit seconds of the thread: four passes (one at once, then one a second).
    ASSERT_TRUE(poller.start());
    test::pumpFor(3300);
    poller.stop();
    test::pumpFor(300);
    const auto end = counts();
    for (const Family& f : kFamilies) {
        const int sent = end.at(f.device) - afterOne.at(f.device);
        EXPECT_EQ(sent, 4 * perPass[f.device])
            << f.device << " sent " << sent << " per pass " << perPass[f.device];
    }
    EXPECT_TRUE(rig.files.etcOf("generic").contains("Send a read request to input ports"));
    EXPECT_TRUE(rig.files.etcOf("generic").contains("Send a read request to output ports"));
    EXPECT_TRUE(rig.files.etcOf("r810").contains("Send a read request to input registers"));
}

TEST(Polling, SwitchesSelectWhatIsPolled) {
    test::MonitorRig rig(test::simDevice("io", "TKA-35", "unit_id = 1\n"));
    CQUORVISData& c = rig.add("io", "TKA-35", "io");
    rig.connections.connectAtStartup(c);
    ASSERT_TRUE(pumpUntil([&] { return c.OutputsValid == 1; }));
    struct Case {
        int polling, pollingInput, coils, inputs;
    };
    for (const Case k : {Case{1, 1, 1, 1}, Case{0, 1, 0, 1}, Case{1, 0, 1, 0}, Case{0, 0, 0, 0}}) {
        c.Polling = k.polling;
        c.PollingInput = k.pollingInput;
        const auto before = rig.requests();
        pollController(c, rig.files.monitorLog);
        test::pumpFor(150);
        const auto after = rig.requests();
        EXPECT_EQ(test::countRequests(after, "io", 1) - test::countRequests(before, "io", 1),
                  k.coils);
        EXPECT_EQ(test::countRequests(after, "io", 2) - test::countRequests(before, "io", 2),
                  k.inputs);
    }
}

// Controllers deleted on the UI thread while the polling thread runs passes every 2 ms: once a
// deletion is done, its device gets no request, while the controller that stays keeps being
// polled.
TEST(Polling, ControllersDeletedDuringPassesAreNeverTouchedAgain) {
    constexpr int kControllers = 8;
    auto device = [](int i) { return "c" + std::to_string(i); };
    std::string devices;
    for (int i = 0; i < kControllers; ++i)
        devices += test::simDevice(device(i), "TKA-35", "unit_id = 1\n");
    test::MonitorRig rig(devices);
    std::vector<int> ids;
    for (int i = 0; i < kControllers; ++i) {
        CQUORVISData& c = rig.add(device(i), "TKA-35", QString::fromStdString(device(i)));
        rig.connections.connectAtStartup(c);
        ids.push_back(c.DeviceId);
    }
    for (int id : ids)
        ASSERT_TRUE(rig.waitState(*rig.table.find(id), TCP_ESTABLISHED));
    auto connectionsOf = [&](const std::string& name) {
        const std::vector<std::string> out = rig.sim.command("show " + name);
        return out.empty() ? std::string() : out.front();
    };

    PollingThread poller(rig.shared, rig.files.monitorLog, std::chrono::milliseconds(2));
    ASSERT_TRUE(poller.start());
    std::map<std::string, int> atDeletion;
    for (int i = 0; i + 1 < kControllers; ++i) {
        test::pumpFor(20);
        ASSERT_EQ(removeFromCorvel(ids[i]), CORVEL_OK);
        {
            auto guard = rig.shared.lock();
            rig.table.RemoveController(ids[i], false);
        }
        // Once the simulator has seen the close, it has read every request sent before it.
        ASSERT_TRUE(pumpUntil([&] {
            return connectionsOf(device(i)).find("connections 0") != std::string::npos;
        })) << connectionsOf(device(i));
        atDeletion[device(i)] = test::countRequests(rig.requests(), device(i));
        EXPECT_GT(atDeletion[device(i)], 0) << device(i);
    }
    const std::string kept = device(kControllers - 1);
    const int keptBefore = test::countRequests(rig.requests(), kept);
    test::pumpFor(200);
    const std::vector<std::string> log = rig.requests();
    poller.stop();

    EXPECT_GT(test::countRequests(log, kept), keptBefore) << "the poller stopped polling";
    for (const auto& [name, count] : atDeletion)
        EXPECT_EQ(test::countRequests(log, name), count) << name << " was polled after deletion";
    EXPECT_EQ(rig.table.size(), 1);
}

TEST(ExceptionRetry, DueOnceEveryPauseWhileTheExceptionStays) {
    ExceptionRetry retry;
    const auto t0 = ExceptionRetry::Clock::now();
    const auto at = [&](int ms) { return t0 + std::chrono::milliseconds(ms); };
    EXPECT_FALSE(retry.due(7, false, at(0)));
    EXPECT_FALSE(retry.due(7, true, at(0))); // first seen
    EXPECT_FALSE(retry.due(7, true, at(4999)));
    EXPECT_TRUE(retry.due(7, true, at(5000)));
    EXPECT_FALSE(retry.due(7, true, at(6000)));
    EXPECT_TRUE(retry.due(7, true, at(10000)));
    EXPECT_FALSE(retry.due(8, true, at(10000))); // another controller has its own pause
    // A good answer clears the exception: the next one starts a new pause.
    EXPECT_FALSE(retry.due(7, false, at(11000)));
    EXPECT_FALSE(retry.due(7, true, at(12000)));
    EXPECT_FALSE(retry.due(7, true, at(16999)));
    EXPECT_TRUE(retry.due(7, true, at(17000)));
}

// A controller that answers with an exception is asked again every five seconds, not at every
// pass and not never; once it answers normally it is polled at every pass again.
TEST(Polling, AnExceptionPausesThePollsThenTheyComeBack) {
    setLanguage(LANG_ENGLISH);
    test::MonitorRig rig(test::simDevice("io", "TKA-35", "unit_id = 1\n"));
    CQUORVISData& c = rig.add("io", QStringLiteral("TKA-35"), QStringLiteral("Refusing"));
    rig.connections.connectAtStartup(c);
    ASSERT_TRUE(rig.waitState(c, TCP_ESTABLISHED));
    test::pumpFor(300);
    rig.sim.command("exception io 2");
    PollingThread poller(rig.shared, rig.files.monitorLog);
    const auto passesFor = [&](int ms) {
        for (int elapsed = 0; elapsed < ms; elapsed += 250) {
            poller.runPass();
            test::pumpFor(250);
        }
    };
    poller.runPass(); // answered with the exception
    ASSERT_TRUE(pumpUntil([&] { return get_modbus_error_code(c.DeviceId) != 0; }));
    const int before = test::countRequests(rig.requests(), "io");
    passesFor(11000); // 44 passes
    const int retries = test::countRequests(rig.requests(), "io") - before;
    // Two pauses of five seconds: two retries of the output and input reads (two requests each).
    EXPECT_GE(retries, 2);
    EXPECT_LE(retries, 6);

    rig.sim.command("resume io");
    passesFor(5500);
    ASSERT_EQ(get_modbus_error_code(c.DeviceId), 0);
    const int resumed = test::countRequests(rig.requests(), "io");
    passesFor(2000);
    EXPECT_GE(test::countRequests(rig.requests(), "io") - resumed, 12); // 8 passes, 2 reads each
}

} // namespace
} // namespace iomira
