#include "common/test_support.h"
#include "core/schedule_list.h"
#include "core/schedule_store.h"
#include "core/string_table.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

CScheduleData window(uint8_t fromHalf, int fromHour, int fromMinute, uint8_t toHalf, int toHour,
                     int toMinute, int dayMask = 0x7F) {
    CScheduleData s;
    s.FromAmPm = fromHalf, s.FromHour = fromHour, s.FromMinute = fromMinute;
    s.ToAmPm = toHalf, s.ToHour = toHour, s.ToMinute = toMinute;
    for (int day = 0; day < 7; ++day)
        s.setDayFlag(day, (dayMask >> day) & 1);
    return s;
}

// 2026-12-07 is a Monday.
QDateTime at(int dayOffset, int hour, int minute, int second = 0) {
    return QDateTime(QDate(2026, 12, 7).addDays(dayOffset), QTime(hour, minute, second));
}

struct MatchCase {
    const char* what;
    CScheduleData schedule;
    QDateTime time;
    int expected;
};

TEST(ScheduleMatching, WindowsAroundMidnightAndNoon) {
    const auto night = window(SCHEDULE_PM, 10, 0, SCHEDULE_AM, 6, 0);
    const auto afterMidnight = window(SCHEDULE_AM, 12, 0, SCHEDULE_AM, 12, 30);
    const auto afterNoon = window(SCHEDULE_PM, 12, 0, SCHEDULE_PM, 12, 30);
    const auto office = window(SCHEDULE_AM, 9, 0, SCHEDULE_PM, 5, 0, 0x3E);
    const auto mondayNight = window(SCHEDULE_PM, 11, 0, SCHEDULE_AM, 1, 0, 0x02);
    const auto backwards = window(SCHEDULE_AM, 10, 30, SCHEDULE_AM, 10, 0);
    const MatchCase cases[] = {
        {"night 23:30", night, at(0, 23, 30), 1},
        {"night 05:59", night, at(0, 5, 59), 1},
        {"night 06:00:59", night, at(0, 6, 0, 59), 1},
        {"night 06:01", night, at(0, 6, 1), 0},
        {"night 21:59", night, at(0, 21, 59), 0},
        {"night 22:00", night, at(0, 22, 0), 1},
        {"after midnight 00:00", afterMidnight, at(0, 0, 0), 1},
        {"after midnight 00:30", afterMidnight, at(0, 0, 30), 1},
        {"after midnight 00:31", afterMidnight, at(0, 0, 31), 0},
        {"after midnight 12:15", afterMidnight, at(0, 12, 15), 0},
        {"after noon 12:15", afterNoon, at(0, 12, 15), 1},
        {"after noon 00:15", afterNoon, at(0, 0, 15), 0},
        {"after noon 12:31", afterNoon, at(0, 12, 31), 0},
        {"office Saturday 10:00", office, at(5, 10, 0), 0},
        {"office Monday 17:00:59", office, at(0, 17, 0, 59), 1},
        {"office Friday 08:59", office, at(4, 8, 59), 0},
        {"office Monday 17:01", office, at(0, 17, 1), 0},
        {"Monday night, Monday 23:30", mondayNight, at(0, 23, 30), 1},
        {"Monday night, Tuesday 00:30", mondayNight, at(1, 0, 30), 0},
        {"Monday night, Monday 00:30", mondayNight, at(0, 0, 30), 1},
        {"backwards 10:15", backwards, at(0, 10, 15), 0},
        {"backwards 10:45", backwards, at(0, 10, 45), 0},
        {"no day ticked", window(SCHEDULE_AM, 12, 0, SCHEDULE_PM, 11, 59, 0), at(0, 12, 0), 0},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(MatchesSchedule(c.schedule, c.time), c.expected) << c.what;
}

TEST(ScheduleMatching, EditorRefusesOnlySameHalfWindowsThatEndFirst) {
    EXPECT_TRUE(endsBeforeStart(window(SCHEDULE_AM, 10, 30, SCHEDULE_AM, 10, 0)));
    EXPECT_FALSE(endsBeforeStart(window(SCHEDULE_PM, 11, 0, SCHEDULE_AM, 1, 0)));
    EXPECT_FALSE(endsBeforeStart(window(SCHEDULE_AM, 12, 0, SCHEDULE_AM, 12, 0)));
    EXPECT_TRUE(endsBeforeStart(window(SCHEDULE_PM, 1, 0, SCHEDULE_PM, 12, 59)));
}

TEST(ScheduleLists, AnEmptyListLetsEverythingThroughAndOneMatchIsEnough) {
    CScheduleDataList list;
    EXPECT_EQ(IsInSchedule(list, at(0, 3, 0)), 1);
    auto morning = std::make_unique<CScheduleData>(window(SCHEDULE_AM, 8, 0, SCHEDULE_AM, 9, 0));
    morning->ScheduleId = NewScheduleId(list);
    list.insert(std::move(morning));
    EXPECT_EQ(IsInSchedule(list, at(0, 3, 0)), 0);
    auto night = std::make_unique<CScheduleData>(window(SCHEDULE_PM, 10, 0, SCHEDULE_AM, 6, 0));
    night->ScheduleId = NewScheduleId(list);
    ASSERT_EQ(list.find(night->ScheduleId), nullptr);
    list.insert(std::move(night));
    EXPECT_EQ(list.size(), 2);
    EXPECT_EQ(IsInSchedule(list, at(0, 3, 0)), 1);
    EXPECT_EQ(IsInSchedule(list, at(0, 12, 0)), 0);
}

TEST(ScheduleText, ListFormsOfTheDays) {
    struct Case {
        CScheduleData schedule;
        const char* text;
    };
    const Case cases[] = {
        {window(SCHEDULE_AM, 9, 5, SCHEDULE_PM, 12, 0, 0x7F), "[AM 09:05 ~ PM 12:00] Every day"},
        {window(SCHEDULE_PM, 10, 0, SCHEDULE_AM, 6, 0, 0x41), "[PM 10:00 ~ AM 06:00] Weekends"},
        {window(SCHEDULE_AM, 9, 0, SCHEDULE_PM, 5, 0, 0x3E), "[AM 09:00 ~ PM 05:00] Weekdays"},
        {window(SCHEDULE_AM, 1, 0, SCHEDULE_AM, 2, 0, 0x0B), "[AM 01:00 ~ AM 02:00] Mon Wed Sun "},
        {window(SCHEDULE_AM, 1, 0, SCHEDULE_AM, 2, 0, 0x3F),
         "[AM 01:00 ~ AM 02:00] Mon Tue Wed Thu Fri Sun "},
        {window(SCHEDULE_AM, 1, 0, SCHEDULE_AM, 2, 0, 0x00), "[AM 01:00 ~ AM 02:00] "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScheduleText(c.schedule), QString::fromLatin1(c.text));
}

TEST(ScheduleText, FollowsTheCurrentLanguage) {
    setLanguage(LANG_KOREAN);
    const QString text = ScheduleText(window(SCHEDULE_PM, 10, 0, SCHEDULE_AM, 6, 0, 0x41));
    setLanguage(LANG_ENGLISH);
    EXPECT_EQ(text, QStringLiteral("[%1 10:00 ~ %2 06:00] %3")
                        .arg(loadString(5375, LANG_KOREAN), loadString(5374, LANG_KOREAN),
                             loadString(5381, LANG_KOREAN)));
}

TEST(ScheduleStore, BothKindsUseTheirOwnKeysAndIdNames) {
    test::TempStore t;
    CScheduleData s = window(SCHEDULE_PM, 11, 45, SCHEDULE_AM, 1, 5, 0x22);
    s.ScheduleId = 77;
    ASSERT_TRUE(saveSchedule(*t.store, SCHEDULE_EMAIL, s));
    ASSERT_TRUE(saveSchedule(*t.store, SCHEDULE_NOTIFICATION_MESSAGE, s));
    EXPECT_EQ(test::runSqlite(t.path, "SELECT key, group_concat(name || '=' || data, ',') FROM "
                                      "(SELECT * FROM vals ORDER BY key, rowid) GROUP BY key;\n"),
              "SCH_ID2_77|NotificationMessageScheduleId=77,FromAmPm=1,FromHour=11,FromMinute=45,"
              "ToAmPm=0,ToHour=1,ToMinute=5,Sunday=0,Monday=1,Tuesday=0,Wednesday=0,Thursday=0,"
              "Friday=1,Saturday=0\n"
              "SCH_ID_77|MailScheduleId=77,FromAmPm=1,FromHour=11,FromMinute=45,ToAmPm=0,"
              "ToHour=1,ToMinute=5,Sunday=0,Monday=1,Tuesday=0,Wednesday=0,Thursday=0,Friday=1,"
              "Saturday=0\n");
    KeyValues values;
    ASSERT_TRUE(t.store->readKey(scheduleKeyName(SCHEDULE_NOTIFICATION_MESSAGE, 77), values));
    EXPECT_EQ(readSchedule(SCHEDULE_NOTIFICATION_MESSAGE, values), s);
    ASSERT_TRUE(deleteSchedule(*t.store, SCHEDULE_EMAIL, 77));
    EXPECT_EQ(test::runSqlite(t.path, "SELECT name FROM keys;\n"), "SCH_ID2_77\n");
}

} // namespace
} // namespace iomira
