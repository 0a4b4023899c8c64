// The port-change dispatch against the simulator: which channels a response raises, in which
// order, and how the schedules gate them.

#include "notify/dispatch_rig.h"

#include "core/global_settings.h"
#include "core/schedule_data.h"
#include "core/sound_library.h"
#include "core/sound_output.h"
#include "core/string_table.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::DispatchRig;
using test::pumpUntil;

const std::string kDevices =
    test::simDevice("io", "TKA-35", "unit_id = 1\ninputs = 0\noutputs = 0\n");

// Every channel the dispatch raised, as "mail INPUT0=1", "sound 0=1", "message 0=1".
class RecordingDispatch : public ::testing::Test {
  protected:
    void SetUp() override {
        setLanguage(LANG_ENGLISH);
        rig.dispatch.queueNotificationMail = [this](const CQUORVISData&, int kind, int port,
                                                    int v) {
            raised.push_back(QString("mail %1%2=%3")
                                 .arg(kind == MAIL_PORT_INPUT ? "INPUT" : "OUTPUT")
                                 .arg(port)
                                 .arg(v));
        };
        rig.dispatch.playInputSound = [this](const CQUORVISData&, int i, int v) {
            raised.push_back(QString("sound %1=%2").arg(i).arg(v));
        };
        rig.dispatch.postInputNotification = [this](const CQUORVISData&, int i, int v) {
            raised.push_back(QString("message %1=%2").arg(i).arg(v));
        };
        rig.dispatch.inSchedule = [this](ScheduleKind kind) { return gate.allows(kind); };
    }

    CQUORVISData& connected() {
        CQUORVISData& c = rig.add("io", "TKA-35", "Boiler");
        c.UseEmailNotification = 1;
        c.UseInputEmailNotification = {1, 0, 1, 0, 0, 0, 0, 0};
        c.UseOutputEmailNotification = {0, 1, 0, 0, 0, 0, 0, 0};
        EXPECT_EQ(rig.connections.connectAtStartup(c), CORVEL_OK);
        EXPECT_TRUE(pumpUntil([&] { return c.InputsValid == 1 && c.OutputsValid == 1; }));
        return c;
    }

    // Sets the simulator's inputs, reads them once and waits for the image to follow.
    void inputs(const CQUORVISData& c, int mask) {
        rig.sim.command("inputs io " + std::to_string(mask));
        int32_t error = 0;
        read_discrete_inputs(c.DeviceId, c.NumberOfPortInput, &error, 0);
        ASSERT_TRUE(pumpUntil(
            [&] { return c.InputImage[0] == (mask & 1) && c.InputImage[2] == ((mask >> 2) & 1); }));
    }

    DispatchRig rig{kDevices};
    std::vector<QString> raised;
    GlobalSwitches switches;
    CScheduleDataList mailSchedules;
    CScheduleDataList messageSchedules;
    QDateTime now = QDateTime(QDate(2026, 12, 9), QTime(12, 0)); // a Wednesday noon
    ScheduleGate gate{switches, mailSchedules, messageSchedules, [this] { return now; }};
};

TEST_F(RecordingDispatch, FirstResponseIsSilentThenEachChangeRaisesMailSoundMessageInOrder) {
    rig.sim.command("inputs io 5"); // differs from the empty image before the first read
    CQUORVISData& c = connected();
    EXPECT_TRUE(raised.empty());
    EXPECT_EQ(c.InputImage[0], 1);

    inputs(c, 0b0010); // input 0 off (mailed), 1 on (not mailed), 2 off (mailed)
    EXPECT_EQ(raised,
              (std::vector<QString>{"mail INPUT0=0", "sound 0=0", "message 0=0", "sound 1=1",
                                    "message 1=1", "mail INPUT2=0", "sound 2=0", "message 2=0"}));
    raised.clear();
    inputs(c, 0b0010); // nothing changed
    EXPECT_TRUE(raised.empty());
}

TEST_F(RecordingDispatch, MailScheduleOutsideNowStopsOnlyTheMail) {
    CQUORVISData& c = connected();
    switches.useEmailSchedule = 1;
    switches.useNotificationMessageSchedule = 1; // its list is empty: always matches
    auto night = std::make_unique<CScheduleData>();
    night->ScheduleId = 1;
    night->FromAmPm = 0;
    night->FromHour = 1;
    night->FromMinute = 0;
    night->ToAmPm = 0;
    night->ToHour = 5;
    night->ToMinute = 0;
    night->Wednesday = 1;
    mailSchedules.insert(std::move(night));

    inputs(c, 1);
    EXPECT_EQ(raised, (std::vector<QString>{"sound 0=1", "message 0=1"}));

    raised.clear();
    now = QDateTime(QDate(2026, 12, 9), QTime(3, 30));
    inputs(c, 0);
    EXPECT_EQ(raised, (std::vector<QString>{"mail INPUT0=0", "sound 0=0", "message 0=0"}));
}

TEST_F(RecordingDispatch, OutputChangeMailsButPlaysAndShowsNothing) {
    CQUORVISData& c = connected();
    rig.sim.command("output io 1 1");
    rig.sim.command("output io 0 1"); // not watched
    int32_t error = 0;
    read_coils(c.DeviceId, c.NumberOfPortOutput, &error, 0);
    ASSERT_TRUE(pumpUntil([&] { return c.OutputImage[1] == 1; }));
    EXPECT_EQ(raised, std::vector<QString>{"mail OUTPUT1=1"});

    raised.clear();
    c.UseEmailNotification = 0;
    rig.sim.command("output io 1 0");
    read_coils(c.DeviceId, c.NumberOfPortOutput, &error, 0);
    ASSERT_TRUE(pumpUntil([&] { return c.OutputImage[1] == 0; }));
    EXPECT_TRUE(raised.empty());
}

// Sounds reach the program's one output seam, which the test replaces.
class RecordingSound final : public SoundOutput {
  public:
    void play(const QString& path) override { played << path; }
    QStringList played;
};

TEST_F(RecordingDispatch, InputSoundsGoThroughTheSoundOutput) {
    RecordingSound output;
    setSoundOutput(&output);
    SoundLibrary library;
    library.insert(CSound{5, "Bell", "/nonexistent/bell.wav"});
    rig.dispatch.playInputSound = [&library](const CQUORVISData& c, int i, int v) {
        PlayInputSound(library, c, i, v);
    };
    CQUORVISData& c = connected();
    c.OnDiSoundId[0] = 5;  // a missing file plays the built-in siren
    c.OffDiSoundId[0] = 9; // not in the library: nothing
    inputs(c, 1);
    inputs(c, 0);
    setSoundOutput(nullptr);
    EXPECT_EQ(output.played, QStringList{defaultSoundPath()});
}

} // namespace
} // namespace iomira
