#include "core/controller_table.h"
#include "core/device_family.h"
#include "core/sound_library.h"
#include "core/string_table.h"
#include "notify/alarm_rules_schedule.h"
#include "notify/alarm_rules_sound.h"
#include "notify/notify_test_support.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

class AlarmRules : public ::testing::Test {
  protected:
    void SetUp() override { setLanguage(LANG_ENGLISH); }
};

TEST_F(AlarmRules, SoundNamesCompareOnTheShorterLengthOnly) {
    struct Case {
        const char* a;
        const char* b;
        bool less;
    } cases[] = {
        {"Alarm.wav", "Bell.wav", true}, {"Bell.wav", "Alarm.wav", false},
        {"Siren", "Siren.wav", false},   {"Siren.wav", "Siren", false},
        {"B.wav", "a.wav", true},        {"a.wav", "B.wav", false}, // character codes, not case
        {"", "anything", false},         {"bell2", "bell10", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(soundNameLess(c.a, c.b), c.less) << c.a << " < " << c.b;
    }
}

TEST_F(AlarmRules, SoundListsAreSortedByNameAndPrefixesKeepTheLibraryOrder) {
    SoundLibrary library;
    library.insert({2, "Sirens.wav", "/s/Sirens.wav"});
    library.insert({9, "Siren", "/s/Siren"});
    library.insert({5, "Alarm.wav", "/s/Alarm.wav"});
    library.insert({7, "bell.wav", "/s/bell.wav"});
    std::vector<int> ids;
    for (const CSound& s : soundsByName(library))
        ids.push_back(s.SoundId);
    EXPECT_EQ(ids, (std::vector<int>{5, 2, 9, 7}));
}

CQUORVISData fourInputs() {
    CQUORVISData c;
    c.DeviceId = 42;
    c.NumberOfPortInput = 4;
    c.DiComment = {"Door", "Window", "Gate", "Pump", "", "", "", ""};
    return c;
}

TEST_F(AlarmRules, AssignmentRowsListSetInputsAndNameMissingSounds) {
    SoundLibrary library;
    library.insert({7, "bell.wav", "/s/bell.wav"});
    CQUORVISData c = fourInputs();
    setInputSounds(c, {0, 3}, SOUND_ON, 7);
    setInputSounds(c, {2}, SOUND_ON, 999);
    setInputSounds(c, {-1, 4, 8, 99}, SOUND_ON, 7); // inputs the controller lacks
    c.OnDiSoundId[5] = 7;                           // beyond the port count: not listed
    EXPECT_EQ(c.OnDiSoundId[4], 0);

    const std::vector<SoundAssignmentRow> on = soundAssignmentRows(c, library, SOUND_ON);
    EXPECT_EQ(on, (std::vector<SoundAssignmentRow>{{0, "Door", "bell.wav"},
                                                   {2, "Gate", "File not found."},
                                                   {3, "Pump", "bell.wav"}}));
    EXPECT_TRUE(soundAssignmentRows(c, library, SOUND_OFF).empty());

    setInputSounds(c, {0}, SOUND_ON, 0);
    EXPECT_EQ(soundAssignmentRows(c, library, SOUND_ON).size(), 2u);
}

TEST_F(AlarmRules, OnlyTheDigitalFamiliesHaveTheSoundDialog) {
    const std::pair<int, bool> families[] = {{FAMILY_GENERIC, true}, {FAMILY_RLX810, false},
                                             {FAMILY_RLX820, true},  {FAMILY_RLX830, false},
                                             {FAMILY_RLX850, true},  {FAMILY_RLX840, false}};
    for (const auto& [type, offered] : families) {
        CQUORVISData c;
        c.DeviceType = type;
        EXPECT_EQ(offersSoundDialog(c), offered) << type;
    }
}

TEST_F(AlarmRules, InUseCountsEveryInputSoundThatNamesTheId) {
    ControllerTable table;
    auto a = std::make_unique<CQUORVISData>(fourInputs());
    a->OnDiSoundId = {7, 0, 7, 0, 0, 0, 0, 0};
    a->OffDiSoundId = {7, 0, 0, 0, 0, 0, 0, 0};
    auto b = std::make_unique<CQUORVISData>(fourInputs());
    b->DeviceId = 43;
    b->OffDiSoundId[3] = 7;
    table.insert(std::move(a));
    table.insert(std::move(b));
    EXPECT_EQ(soundUseCount(table, 7), 4);
    EXPECT_EQ(soundUseCount(table, 8), 0);

    const CSound bell{7, "bell.wav", "/s/bell.wav"};
    EXPECT_EQ(deleteSoundQuestion(bell, 0), "Are you sure to delete bell.wav?");
    EXPECT_EQ(deleteSoundQuestion(bell, 4), "Are you sure to delete bell.wav?\nIt is set for 4 "
                                            "input port(s), which will then play no sound.");
}

TEST_F(AlarmRules, NewSoundIdsAvoidIdsThatInputsStillName) {
    // Every id but two is in the library; the input naming one of them rules it out.
    SoundLibrary library;
    for (int id = 1; id <= 32767; ++id) {
        if (id != 100 && id != 200) library.insert({id, "x", "x"});
    }
    ControllerTable table;
    auto c = std::make_unique<CQUORVISData>(fourInputs());
    c->OffDiSoundId[7] = 100; // even a slot beyond the port count keeps its id reserved
    table.insert(std::move(c));
    EXPECT_EQ(newUnreferencedSoundId(library, table), 200);
    table.find(42)->OnDiSoundId[0] = 200;
    EXPECT_EQ(newUnreferencedSoundId(library, table), -1);
}

TEST_F(AlarmRules, SoundForAFileIsNamedAfterTheFile) {
    const CSound s = soundForFile(12, "/home/op/sounds/door bell.wav");
    EXPECT_EQ(s, (CSound{12, "door bell.wav", "/home/op/sounds/door bell.wav"}));
}

TEST_F(AlarmRules, ChoosingTwelveFlipsTheHalfOfTheDay) {
    EXPECT_EQ(halfAfterHourChoice(SCHEDULE_AM, 12), SCHEDULE_PM);
    EXPECT_EQ(halfAfterHourChoice(SCHEDULE_PM, 12), SCHEDULE_AM);
    for (int hour = 1; hour <= 11; ++hour) {
        EXPECT_EQ(halfAfterHourChoice(SCHEDULE_AM, hour), SCHEDULE_AM);
        EXPECT_EQ(halfAfterHourChoice(SCHEDULE_PM, hour), SCHEDULE_PM);
    }
}

TEST_F(AlarmRules, ANewScheduleStartsAndEndsAtTheCurrentTime) {
    struct Case {
        QTime now;
        uint8_t half;
        uint16_t hour;
        uint16_t minute;
    } cases[] = {{QTime(0, 5), SCHEDULE_AM, 12, 5},
                 {QTime(11, 59), SCHEDULE_AM, 11, 59},
                 {QTime(12, 0), SCHEDULE_PM, 12, 0},
                 {QTime(13, 7), SCHEDULE_PM, 1, 7},
                 {QTime(23, 30), SCHEDULE_PM, 11, 30}};
    for (const Case& c : cases) {
        const CScheduleData s = newScheduleAt(c.now);
        EXPECT_EQ(s.FromAmPm, c.half);
        EXPECT_EQ(s.ToAmPm, c.half);
        EXPECT_EQ(s.FromHour, c.hour);
        EXPECT_EQ(s.ToHour, c.hour);
        EXPECT_EQ(s.FromMinute, c.minute);
        EXPECT_EQ(s.ToMinute, c.minute);
        for (int day = 0; day < 7; ++day)
            EXPECT_EQ(s.dayFlag(day), 0);
    }
}

CScheduleData window(uint8_t fromHalf, uint16_t fromHour, uint16_t fromMinute, uint8_t toHalf,
                     uint16_t toHour, uint16_t toMinute, bool anyDay = true) {
    CScheduleData s;
    s.FromAmPm = fromHalf;
    s.FromHour = fromHour;
    s.FromMinute = fromMinute;
    s.ToAmPm = toHalf;
    s.ToHour = toHour;
    s.ToMinute = toMinute;
    s.Wednesday = anyDay ? 1 : 0;
    return s;
}

TEST_F(AlarmRules, TheEditorRefusesNoDaysAndAnEndBeforeTheStart) {
    constexpr uint8_t AM = SCHEDULE_AM, PM = SCHEDULE_PM;
    struct Case {
        CScheduleData s;
        const char* refusal;
    } cases[] = {
        {window(AM, 9, 0, PM, 5, 0, false), "Please select days of the week."},
        {window(AM, 10, 30, AM, 10, 0, false), "Please select days of the week."},
        {window(AM, 10, 30, AM, 10, 0), "Start time should be less than end time."},
        {window(PM, 1, 0, PM, 12, 30), "Start time should be less than end time."}, // 13:00 > 12:30
        {window(AM, 1, 0, AM, 12, 30), "Start time should be less than end time."}, // 1:00 > 0:30
        {window(PM, 11, 0, AM, 1, 0), ""}, // across midnight
        {window(AM, 11, 0, PM, 1, 0), ""},
        {window(AM, 9, 15, AM, 9, 15), ""}, // one minute long
        {window(PM, 12, 0, PM, 12, 30), ""},
        {window(AM, 12, 0, AM, 12, 30), ""},
    };
    for (const Case& c : cases) {
        const int refusal = scheduleEditRefusal(c.s);
        EXPECT_EQ(refusal ? loadString(refusal) : QString(), QString::fromUtf8(c.refusal))
            << ScheduleText(c.s).toStdString();
    }
}

TEST_F(AlarmRules, DamagedStoredValuesOpenAsTheNearestListEntries) {
    const CScheduleData s = window(7, 0, 99, SCHEDULE_PM, 40, 59);
    const ScheduleEnd from = fromEndOf(s), to = toEndOf(s);
    EXPECT_EQ(from.half, 0); // only 1 means PM, as when matching
    EXPECT_EQ(from.hour, 0);
    EXPECT_EQ(from.minute, 59);
    EXPECT_EQ(to.hour, 11);
    CScheduleData back;
    setFromEnd(back, {1, 11, 30});
    EXPECT_EQ(back.FromAmPm, SCHEDULE_PM);
    EXPECT_EQ(back.FromHour, 12);
    EXPECT_EQ(back.FromMinute, 30);
}

TEST_F(AlarmRules, ARestrictedKindNeedsASchedule) {
    CScheduleDataList list;
    EXPECT_TRUE(mayCloseScheduleList(0, list));
    EXPECT_TRUE(mayCloseScheduleList(2, list)); // anything but 1 means "always"
    EXPECT_FALSE(mayCloseScheduleList(1, list));
    auto s = std::make_unique<CScheduleData>(window(SCHEDULE_AM, 9, 0, SCHEDULE_PM, 5, 0));
    s->ScheduleId = 77;
    list.insert(std::move(s));
    EXPECT_TRUE(mayCloseScheduleList(1, list));
    EXPECT_EQ(loadString(closeRefusalText(SCHEDULE_EMAIL)),
              "Please make s schedule to send an email.");
    EXPECT_EQ(loadString(closeRefusalText(SCHEDULE_NOTIFICATION_MESSAGE)),
              "Please make a schedule to display notifications.");

    EXPECT_TRUE(isLastActiveSchedule(1, list, 77));
    EXPECT_FALSE(isLastActiveSchedule(0, list, 77));
    EXPECT_FALSE(isLastActiveSchedule(1, list, 78));
    EXPECT_EQ(deleteScheduleQuestion(SCHEDULE_EMAIL, false), "Are you sure to delete the item?");
    EXPECT_EQ(deleteScheduleQuestion(SCHEDULE_EMAIL, true),
              "Are you sure to delete the item?\nThis is the only schedule: without it, emails are "
              "sent at any time.");
}

TEST_F(AlarmRules, AScheduleTheStoreRefusedIsNeitherListedNorRemoved) {
    test::FailingStore store;
    CScheduleDataList list;
    QString error;
    EXPECT_FALSE(storeSchedule(store, SCHEDULE_EMAIL, list,
                               window(SCHEDULE_AM, 9, 0, SCHEDULE_PM, 5, 0), error));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(error, "The settings could not be saved: disk full");

    auto kept = std::make_unique<CScheduleData>();
    kept->ScheduleId = 5;
    list.insert(std::move(kept));
    EXPECT_FALSE(removeSchedule(store, SCHEDULE_EMAIL, list, 5, error));
    EXPECT_NE(list.find(5), nullptr);
    EXPECT_EQ(error, "The item could not be deleted: disk full");
}

TEST_F(AlarmRules, StoringWritesTheKindsKeyAndGivesNewSchedulesAFreeId) {
    test::TempStore files;
    CScheduleDataList list;
    QString error;
    CScheduleData s = window(SCHEDULE_PM, 10, 0, SCHEDULE_AM, 6, 0);
    s.ScheduleId = -1;
    ASSERT_TRUE(storeSchedule(*files.store, SCHEDULE_NOTIFICATION_MESSAGE, list, s, error));
    ASSERT_EQ(list.size(), 1);
    const int id = scheduleRows(list).front().id;
    EXPECT_GE(id, 0);
    const QString key = QStringLiteral("SCH_ID2_%1").arg(id);
    EXPECT_EQ(files.dword(key, "NotificationMessageScheduleId"), id);
    EXPECT_EQ(files.dword(key, "FromAmPm"), 1);
    EXPECT_EQ(files.dword(key, "ToHour"), 6);
    EXPECT_EQ(files.dword(key, "Wednesday"), 1);
    EXPECT_FALSE(files.hasKey(QStringLiteral("SCH_ID_%1").arg(id)));

    ASSERT_TRUE(removeSchedule(*files.store, SCHEDULE_NOTIFICATION_MESSAGE, list, id, error));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(files.hasKey(key));
}

} // namespace
} // namespace iomira
