// The multiple-port control against the simulator: sets found in the records, ON and OFF on
// the wire with the window's own tags (coil or pulse per output), members that are skipped,
// the questions, the follow-up reads, and sets renamed and deleted in records and store.

#include "app/controller_directory.h"
#include "app/output_mirror.h"
#include "common/event_pump.h"
#include "common/monitor_files.h"
#include "core/controller_keys.h"
#include "core/device_family.h"
#include "core/mirror_sets.h"
#include "core/string_table.h"
#include "monitor/polling_rig.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::pumpUntil;

struct Wire {
    long function;
    long address;
    long value;
    long tag; // the transaction id's high byte
    bool operator==(const Wire&) const = default;
};

class Mirror : public ::testing::Test {
  protected:
    Mirror()
        : rig(test::simDevice("io", "TKA-35", "unit_id = 1\n") +
              test::simDevice("press", "RLX-850", "unit_id = 255\n") +
              test::simDevice("sirens", "RLX-830", "unit_id = 255\n")),
          directory(*rig.files.store, prompts), mirror(directory, &rig.files.monitorLog, prompts) {
        setLanguage(LANG_ENGLISH);
        io = &rig.add("io", "TKA-35", "Pumps");
        press = &rig.add("press", "RLX-850", "Press");
        sirens = &rig.add("sirens", "RLX-830", "Sirens");
        directory.setControllers(rig.shared, rig.files.monitorLog, nullptr);
        mirror.addRow = [this](const QString& row) { rows << row.section('\t', 1); };
        rig.alsoNotify = [this](uint32_t message, uintptr_t id, intptr_t lparam) {
            if (message == CORVEL_WM_DATA)
                mirror.dataArrived(int(id), int(lparam));
            else
                mirror.connectionChanged(int(id), lparam);
        };
    }
    void connectAll() {
        for (CQUORVISData* c : {io, press, sirens}) {
            rig.connections.connectAtStartup(*c);
            ASSERT_TRUE(rig.waitState(*c, TCP_ESTABLISHED));
        }
        test::pumpFor(300);
    }
    // The writes logged for a device from line `from` on, once `count` have arrived.
    std::vector<Wire> writes(const std::string& device, size_t from, size_t count = 0) {
        std::vector<Wire> out;
        pumpUntil([&] { return collect(device, from).size() >= count; }, 3000);
        test::pumpFor(100);
        return collect(device, from);
    }
    std::vector<Wire> collect(const std::string& device, size_t from) {
        std::vector<Wire> out;
        const std::vector<std::string> lines = rig.requests();
        for (size_t i = from; i < lines.size(); ++i) {
            const std::string& l = lines[i];
            const long function = simtest::json_number(l, "function");
            if (simtest::json_text(l, "device") != device || (function != 5 && function != 0x69))
                continue;
            out.push_back({function, simtest::json_number(l, "address"),
                           simtest::json_number(l, "value"),
                           simtest::json_number(l, "transaction") >> 8});
        }
        return out;
    }
    QString stored(const CQUORVISData& c, int port) {
        KeyValues values;
        rig.files.store->readKey(controllerKeyName(c.DeviceId), values);
        return values.text(QStringLiteral("UseMControlDo%1").arg(port));
    }

    test::MonitorRig rig;
    test::RecordingPrompts prompts;
    ControllerDirectory directory;
    OutputMirror mirror;
    CQUORVISData* io = nullptr;
    CQUORVISData* press = nullptr;
    CQUORVISData* sirens = nullptr;
    QStringList rows;
};

TEST(MirrorSets, NamesInAnOutputsField) {
    EXPECT_EQ(setNamesIn("A;B"), (QStringList{"A", "B"}));
    EXPECT_EQ(setNamesIn(";A;;B;"), (QStringList{"A", "B"}));
    EXPECT_TRUE(fieldHoldsSet("Pumps;Lights", "Lights"));
    EXPECT_FALSE(fieldHoldsSet("Pumps;Lights", "Light"));
    EXPECT_FALSE(fieldHoldsSet("", ""));
    EXPECT_EQ(fieldWithSet("", "A"), "A");
    EXPECT_EQ(fieldWithSet("A", "B"), "A;B");
    EXPECT_EQ(fieldWithSet("A;B", "A"), "A;B");
    EXPECT_EQ(fieldWithoutSet("A;B", "A"), "B");
    EXPECT_EQ(fieldWithoutSet("B;A;C", "A"), "B;C");
    EXPECT_EQ(fieldWithoutSet("A", "A"), "");
    EXPECT_EQ(checkSetName(""), SetNameProblem::Empty);
    EXPECT_EQ(checkSetName("  "), SetNameProblem::Empty);
    EXPECT_EQ(checkSetName("Night;Day"), SetNameProblem::Separator);
    EXPECT_EQ(checkSetName("Night"), SetNameProblem::None);
}

TEST_F(Mirror, SetsComeFromTheOutputsBelowEachCount) {
    io->UseMControlDo[0] = "A;B";
    io->UseMControlDo[3] = "C";
    io->UseMControlDo[4] = "Beyond"; // a TKA-35 has four outputs
    press->UseMControlDo[1] = "B";
    sirens->UseMControlDo[5] = "Hidden"; // the RLX-830 has two outputs
    EXPECT_EQ(mirror.sets(), (QStringList{"A", "B", "C"}));
    mirror.select("B");
    ASSERT_EQ(mirror.members().size(), 2u);
    EXPECT_EQ(mirror.members()[0].deviceId, io->DeviceId);
    EXPECT_EQ(mirror.members()[1].port, 1);
}

TEST_F(Mirror, OnAndOffSwitchEveryMemberWithTheWindowsTags) {
    connectAll();
    io->UseMControlDo = {"Night", "", "Night"};
    io->UsePulseDo[2] = 1;
    io->DurationDo[2] = 300;
    io->SignalLevelDo[2] = 1;
    press->UseMControlDo[3] = "Night";
    sirens->UseMControlDo[1] = "Night";
    mirror.select("Night");
    ASSERT_EQ(mirror.members().size(), 4u);

    const size_t from = rig.requests().size();
    mirror.switchMembers(true);
    EXPECT_EQ(writes("io", from, 2), (std::vector<Wire>{{5, 0, 0xFF00, '2'}, {0x69, 2, 1, '1'}}));
    EXPECT_EQ(writes("press", from, 1), (std::vector<Wire>{{5, 3, 0xFF00, '2'}}));
    EXPECT_EQ(writes("sirens", from, 1), (std::vector<Wire>{{5, 1, 0xFF00, '2'}}));
    EXPECT_TRUE(rows.contains("I/O Controller - Pumps, Output Port - DO0 : Send an ON request, "
                              "Established"))
        << rows.join('\n').toStdString();
    EXPECT_TRUE(pumpUntil([&] {
        return rows.filter("Success of write pulse request").size() == 1;
    })) << rows.join(QLatin1Char(10)).toStdString();

    const size_t off = rig.requests().size();
    mirror.switchMembers(false);
    EXPECT_EQ(writes("io", off, 1), (std::vector<Wire>{{5, 0, 0, '2'}}))
        << "a pulsed output gets nothing on OFF";

    // A controller that is not connected is passed over; one restricted to reading too.
    disconnect_device(press->DeviceId);
    sirens->OutputPortControl = 1;
    const size_t skipped = rig.requests().size();
    mirror.switchMembers(true);
    EXPECT_EQ(writes("io", skipped, 2).size(), 2u);
    EXPECT_TRUE(collect("press", skipped).empty());
    EXPECT_TRUE(collect("sirens", skipped).empty());
}

TEST_F(Mirror, EveryMemberWithAWarningIsAskedForAndANoSkipsIt) {
    connectAll();
    io->UseMControlDo[0] = "Gate";
    io->UseMControlDo[1] = "Gate";
    io->UseWarningMsg = 1;
    io->WarningMsgType = 0;
    io->MsgAllOn = "Switch %s on?";
    io->DoComment[1] = "Bolt";
    mirror.select("Gate");
    prompts.answer = false;
    const size_t from = rig.requests().size();
    mirror.switchMembers(true);
    EXPECT_EQ(prompts.questions, 2);
    EXPECT_TRUE(prompts.shown.back().contains("Switch Bolt on?"))
        << prompts.shown.back().toStdString();
    EXPECT_TRUE(prompts.shown.back().startsWith("I/O Controller - Pumps:"));
    test::pumpFor(200);
    EXPECT_TRUE(collect("io", from).empty());
}

TEST_F(Mirror, SavingRenamingAndDeletingReachRecordsAndStore) {
    MirrorChoice chosen;
    chosen[io->DeviceId] = {true, false, true};
    chosen[press->DeviceId] = {false, true};
    io->UseMControlDo[1] = "Old;Keep";
    ASSERT_TRUE(mirror.saveSet({}, "Old", chosen).saved);
    EXPECT_EQ(io->UseMControlDo[0], "Old");
    EXPECT_EQ(io->UseMControlDo[1], "Keep") << "an output no longer chosen leaves the set";
    EXPECT_EQ(stored(*io, 2), "Old");
    EXPECT_EQ(stored(*press, 1), "Old");

    // Renamed: the old name goes from every output, also from controllers not listed now.
    chosen.erase(press->DeviceId);
    ASSERT_TRUE(mirror.saveSet("Old", "New", chosen).saved);
    EXPECT_EQ(io->UseMControlDo[0], "New");
    EXPECT_EQ(press->UseMControlDo[1], "");
    EXPECT_EQ(stored(*press, 1), "");
    EXPECT_EQ(mirror.sets(), (QStringList{"Keep", "New"}));

    EXPECT_EQ(mirror.saveSet({}, "Night;Day", chosen).problem, "A set name cannot contain \";\".");
    EXPECT_EQ(mirror.saveSet({}, "", chosen).problem, "Please enter a description.");
    EXPECT_EQ(mirror.saveSet({}, "X", {}).problem, "Please select I/O controller(s).");
    EXPECT_EQ(mirror.sets(), (QStringList{"Keep", "New"})) << "a refused entry changes nothing";

    io->UseMControlDo[3] = "A;New";
    ASSERT_TRUE(mirror.deleteSet("New"));
    EXPECT_EQ(io->UseMControlDo[3], "A");
    EXPECT_EQ(stored(*io, 3), "A");
    EXPECT_EQ(stored(*io, 0), "");
    EXPECT_EQ(mirror.sets(), (QStringList{"A", "Keep"}));
}

} // namespace
} // namespace iomira
