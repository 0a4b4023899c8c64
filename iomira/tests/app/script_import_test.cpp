// Scripts imported into a real directory: groups made and filled 30 at a time, the values as
// the store holds them, automatic connections as the form decides, and the summary told after.

#include "common/test_support.h"

#include "app/controller_directory.h"
#include "app/script_import.h"
#include "app/script_keys.h"
#include "core/controller_keys.h"
#include "core/event_log.h"
#include "core/group_store.h"
#include "core/log_entries.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "monitor/monitor_log.h"
#include "monitor/shared_controllers.h"

#include <vector>

#include <gtest/gtest.h>

namespace iomira {
namespace {

class Importing : public ::testing::Test {
  protected:
    Importing() {
        setLanguage(LANG_ENGLISH);
        table.setSaver([this](const CQUORVISData& c) { saveController(*files.store, c); });
        saveGroup(*files.store, CROOTData(10, "Default", 0));
        EXPECT_TRUE(directory.loadGroups());
        directory.setControllers(shared, monitorLog, &window);
    }
    ~Importing() override {
        table.forEach([](const CQUORVISData& c) {
            disconnect_device(c.DeviceId);
            delete_device(c.DeviceId);
        });
    }

    KeyValues stored(int deviceId) {
        KeyValues values;
        files.store->readKey(controllerKeyName(deviceId), values);
        return values;
    }
    std::vector<int> inGroup(const QString& name) {
        std::vector<int> ids;
        const CROOTData* group = directory.groups().FindGroupByName(name);
        if (!group) return ids;
        for (int i = 0; i < table.CountInGroup(group->RootID); ++i)
            ids.push_back(table.FindInGroup(group->RootID, i)->DeviceId);
        return ids;
    }

    test::TempStore files;
    test::RecordingPrompts prompts;
    ControllerTable table;
    SharedControllers shared{table};
    EventLog log;
    EventLogWriters writers{log, [](int) { return 0; }};
    LogSwitches switches;
    MonitorLog monitorLog{writers, switches};
    corvel_window window{[](corvel_window*, uint32_t, uintptr_t, intptr_t) {}};
    ControllerDirectory directory{*files.store, prompts};
};

TEST_F(Importing, FortyFiveOfOneGroupLandAsThirtyAndFifteen) {
    QByteArray csv = "Comment,Group,HostAddr,HostPort,AutomaticConnection\r\n";
    for (int i = 0; i < 45; ++i)
        csv += "line " + QByteArray::number(i) + ",Line,127.0.0.1,1502,0\r\n";
    std::vector<std::pair<int, int>> progress;

    const ScriptImportSummary summary =
        importScript(directory, readCsvScript(csv),
                     [&](int done, int total) { progress.emplace_back(done, total); });

    EXPECT_EQ(summary.read, 45);
    EXPECT_EQ(summary.added, 45);
    EXPECT_TRUE(summary.warnings.isEmpty());
    const std::vector<int> first = inGroup("Line"), overflow = inGroup("Line(1)");
    ASSERT_EQ(first.size(), 30u);
    ASSERT_EQ(overflow.size(), 15u);
    EXPECT_EQ(stored(first[29]).text("DeviceComment"), "line 29");
    EXPECT_EQ(stored(overflow[0]).text("DeviceComment"), "line 30");
    EXPECT_EQ(stored(overflow[14]).dword("Index", -1), 14);
    EXPECT_EQ(stored(overflow[0]).dword("RootID", -1),
              directory.groups().FindGroupByName("Line(1)")->RootID);
    ASSERT_EQ(progress.size(), 45u);
    EXPECT_EQ(progress.back(), std::make_pair(45, 45));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(Importing, ThreeIniSectionsFillANewGroupWithTheirProduct) {
    QByteArray script;
    for (int i = 0; i < 3; ++i) {
        script += "[CONTROLLER]\r\nComment=plant " + QByteArray::number(i) +
                  "\r\nGroup=Plant\r\nProduct=TKA-35\r\nHostAddr=127.0.0.1\r\nHostPort=" +
                  QByteArray::number(1502 + i) + "\r\n";
    }
    const ScriptImportSummary summary = importScript(directory, readIniScript(script));

    EXPECT_EQ(summary.added, 3);
    const std::vector<int> plant = inGroup("Plant");
    ASSERT_EQ(plant.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const KeyValues values = stored(plant[i]);
        EXPECT_EQ(values.text("DeviceComment"), QStringLiteral("plant %1").arg(i));
        EXPECT_EQ(values.dword("NumberOfPortInput", -1), 4);
        EXPECT_EQ(values.dword("NumberOfPortOutput", -1), 4);
        EXPECT_EQ(values.dword("HostPort", -1), 1502 + i);
        EXPECT_EQ(values.dword("DeviceType", -1), 0);
    }
    const CROOTData* group = directory.groups().FindGroupByName("Plant");
    KeyValues groupValues;
    files.store->readKey(groupKeyName(group->RootID), groupValues);
    EXPECT_EQ(groupValues.text("RootName"), "Plant") << "the new group is stored";
}

// INI makes any non-zero value 1, so the controller connects; CSV keeps the 2, and only 1
// connects.
TEST_F(Importing, AutomaticConnectionTwoConnectsOnlyFromIni) {
    const QByteArray settings = "Comment=auto\r\nHostAddr=127.0.0.1\r\nHostPort=9\r\n"
                                "AutomaticConnection=2\r\nGroup=Auto\r\n";
    importScript(directory, readIniScript("[CONTROLLER]\r\n" + settings));
    importScript(directory, readCsvScript("Comment,HostAddr,HostPort,AutomaticConnection,Group\r\n"
                                          "auto,127.0.0.1,9,2,Auto\r\n"));

    const std::vector<int> added = inGroup("Auto");
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(stored(added[0]).dword("AutomaticConnection", -1), 1);
    EXPECT_EQ(stored(added[1]).dword("AutomaticConnection", -1), 2);
    EXPECT_NE(get_tcp_connection_state(added[0]), TCP_CLOSED);
    EXPECT_EQ(get_tcp_connection_state(added[1]), TCP_CLOSED);
}

TEST_F(Importing, NoGroupNameMeansTheDefaultGroup) {
    const ScriptImportSummary summary =
        importScript(directory, readCsvScript("Comment\r\nnameless\r\n"));
    EXPECT_EQ(summary.added, 1);
    EXPECT_EQ(inGroup("Default").size(), 1u);
    EXPECT_EQ(directory.groups().size(), 1) << "no group made";
}

TEST_F(Importing, AnOutcomeWithAnErrorAddsNothing) {
    ScriptReadOutcome outcome = readCsvScript("Comment\r\nx\r\n");
    outcome.error = "[2] No such file or directory";
    const ScriptImportSummary summary = importScript(directory, outcome);
    EXPECT_EQ(summary.added, 0);
    EXPECT_EQ(table.size(), 0);
}

// ---- What is told afterwards ---------------------------------------------------------------

TEST(ScriptSummary, IsToldOnlyForWarningsOrRefusedControllers) {
    setLanguage(LANG_ENGLISH);
    struct Case {
        int read, added, warnings;
        bool wanted;
    };
    for (const Case& c :
         {Case{3, 3, 0, false}, Case{3, 2, 0, true}, Case{3, 3, 1, true}, Case{0, 0, 1, true}}) {
        ScriptImportSummary summary{c.read, c.added, {}};
        for (int i = 0; i < c.warnings; ++i)
            summary.warnings << QStringLiteral("w%1").arg(i);
        EXPECT_EQ(scriptSummaryWanted(summary), c.wanted) << c.read << c.added << c.warnings;
    }
}

TEST(ScriptSummary, CountsAndListsTheFirstWarnings) {
    setLanguage(LANG_ENGLISH);
    ScriptImportSummary summary{25, 24, {}};
    for (int i = 0; i < 25; ++i)
        summary.warnings << QStringLiteral("Line %1: bad").arg(i + 2);
    const QStringList lines = scriptSummaryText(summary).split('\n');
    ASSERT_EQ(lines.size(), 2 + 1 + kScriptWarningsListed + 1);
    EXPECT_EQ(lines[0], "I/O controllers read from the script: 25");
    EXPECT_EQ(lines[1], "I/O controllers added: 24");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "Line 2: bad");
    EXPECT_EQ(lines[22], "Line 21: bad");
    EXPECT_EQ(lines[23], "... and 5 more.");
    EXPECT_EQ(scriptSummaryText({2, 2, {}}),
              "I/O controllers read from the script: 2\nI/O controllers added: 2");
}

TEST(ScriptSummary, ProgressIsShownAboveOneHundredControllers) {
    for (const auto& [count, shows] : {std::pair{0, false}, {100, false}, {101, true}}) {
        ScriptReadOutcome outcome;
        outcome.records.resize(count);
        EXPECT_EQ(scriptImportShowsProgress(outcome), shows) << count;
    }
}

} // namespace
} // namespace iomira
