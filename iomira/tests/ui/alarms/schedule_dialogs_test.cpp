#include "core/schedule_store.h"
#include "core/string_table.h"
#include "notify/alarm_rules_schedule.h"
#include "notify/notify_test_support.h"
#include "ui/dialogs/schedule_edit_dialog.h"
#include "ui/dialogs/schedule_list_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace iomira {
namespace {

class ScheduleDialogs : public ::testing::Test {
  protected:
    ScheduleDialogs() { setLanguage(LANG_ENGLISH); }

    // A weekday window stored the way the editor stores it.
    int32_t addWeekdays(ScheduleKind kind, CScheduleDataList& list) {
        CScheduleData s;
        s.ScheduleId = -1;
        s.FromAmPm = SCHEDULE_AM;
        s.FromHour = 9;
        s.ToAmPm = SCHEDULE_PM;
        s.ToHour = 5;
        for (int day = 1; day <= 5; ++day)
            s.setDayFlag(day, 1);
        QString error;
        EXPECT_TRUE(storeSchedule(*files.store, kind, list, s, error));
        return scheduleRows(list).back().id;
    }

    test::TempStore files;
    test::ScriptedPrompts prompts;
    CScheduleDataList mail;
    CScheduleDataList messages;
    GlobalSwitches switches;
};

template <typename T> T* child(QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST_F(ScheduleDialogs, TheChoiceIsWrittenAtOnceAndEnablesTheList) {
    for (ScheduleKind kind : {SCHEDULE_EMAIL, SCHEDULE_NOTIFICATION_MESSAGE}) {
        const char* value =
            kind == SCHEDULE_EMAIL ? "USE_EMAIL_SCHEDULE" : "USE_NOTIFICATION_MESSAGE_SCHEDULE";
        CScheduleDataList& list = kind == SCHEDULE_EMAIL ? mail : messages;
        addWeekdays(kind, list);
        CScheduleDlg dlg(*files.store, list, switches, kind, prompts);
        EXPECT_TRUE(dlg.choice(0)->isChecked());
        EXPECT_EQ(dlg.choice(0)->text(),
                  kind == SCHEDULE_EMAIL ? "Always send an email" : "Always display notifications");
        EXPECT_FALSE(dlg.list()->isEnabled());
        EXPECT_FALSE(child<QPushButton>(dlg, "AddButton")->isEnabled());

        dlg.choice(1)->click();
        EXPECT_EQ(files.dword("GLOBAL", value), 1);
        EXPECT_EQ(scheduleSwitch(switches, kind), 1);
        EXPECT_TRUE(dlg.list()->isEnabled());
        for (const char* name : {"AddButton", "ModifyButton", "DeleteButton"})
            EXPECT_TRUE(child<QPushButton>(dlg, name)->isEnabled()) << name;
        ASSERT_EQ(dlg.list()->count(), 1);
        EXPECT_EQ(dlg.list()->item(0)->text(), "[AM 09:00 ~ PM 05:00] Weekdays");

        dlg.choice(0)->click();
        EXPECT_EQ(files.dword("GLOBAL", value), 0);
        EXPECT_EQ(scheduleSwitch(switches, kind), 0);
        EXPECT_FALSE(dlg.list()->isEnabled());
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(ScheduleDialogs, ARestrictedKindWithoutScheduleCannotBeClosed) {
    switches.useNotificationMessageSchedule = 1;
    CScheduleDlg dlg(*files.store, messages, switches, SCHEDULE_NOTIFICATION_MESSAGE, prompts);
    dlg.show();
    EXPECT_TRUE(dlg.choice(1)->isChecked());
    child<QPushButton>(dlg, "OkButton")->click();
    dlg.reject(); // Escape and the window's close button
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(prompts.shown,
              (QStringList{"error: Please make a schedule to display notifications.",
                           "error: Please make a schedule to display notifications."}));
    dlg.choice(0)->click();
    child<QPushButton>(dlg, "OkButton")->click();
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(ScheduleDialogs, ModifyAndDeleteNeedASelectionAndDeleteRemovesTheKey) {
    switches.useEmailSchedule = 1;
    const int32_t first = addWeekdays(SCHEDULE_EMAIL, mail);
    const int32_t second = addWeekdays(SCHEDULE_EMAIL, mail);
    CScheduleDlg dlg(*files.store, mail, switches, SCHEDULE_EMAIL, prompts);
    std::vector<std::pair<ScheduleEditMode, int32_t>> edits;
    dlg.editSchedule = [&](ScheduleEditMode mode, int32_t id) { edits.push_back({mode, id}); };

    child<QPushButton>(dlg, "ModifyButton")->click();
    child<QPushButton>(dlg, "DeleteButton")->click();
    EXPECT_EQ(prompts.shown,
              (QStringList{"warning: Please select an item.", "warning: Please select an item."}));
    EXPECT_TRUE(edits.empty());

    child<QPushButton>(dlg, "AddButton")->click();
    dlg.list()->setCurrentRow(1);
    const int32_t selected = dlg.list()->item(1)->data(Qt::UserRole).toInt();
    child<QPushButton>(dlg, "ModifyButton")->click();
    EXPECT_EQ(edits, (std::vector<std::pair<ScheduleEditMode, int32_t>>{
                         {SCHEDULE_EDIT_NEW, 0}, {SCHEDULE_EDIT_MODIFY, selected}}));

    prompts.shown.clear();
    prompts.answers = {false, true, true};
    dlg.list()->setCurrentRow(0);
    const int32_t gone = dlg.list()->item(0)->data(Qt::UserRole).toInt();
    const int32_t kept = gone == first ? second : first;
    child<QPushButton>(dlg, "DeleteButton")->click(); // No
    EXPECT_EQ(dlg.list()->count(), 2);
    child<QPushButton>(dlg, "DeleteButton")->click(); // Yes
    EXPECT_FALSE(files.hasKey(QStringLiteral("SCH_ID_%1").arg(gone)));
    EXPECT_TRUE(files.hasKey(QStringLiteral("SCH_ID_%1").arg(kept)));
    ASSERT_EQ(dlg.list()->count(), 1);
    EXPECT_EQ(mail.find(gone), nullptr);

    // The last schedule of a restricted kind: the question says what its deletion means.
    dlg.list()->setCurrentRow(0);
    child<QPushButton>(dlg, "DeleteButton")->click();
    EXPECT_EQ(prompts.shown.last(),
              "ask: Are you sure to delete the item?\nThis is the only schedule: "
              "without it, emails are sent at any time.");
    EXPECT_TRUE(mail.empty());
    EXPECT_FALSE(files.hasKey(QStringLiteral("SCH_ID_%1").arg(kept)));
}

TEST_F(ScheduleDialogs, ANewScheduleOpensAtTheCurrentTimeAndTwelveFlipsItsHalf) {
    CScheduleOptDlg dlg(*files.store, mail, SCHEDULE_EMAIL, SCHEDULE_EDIT_NEW, 0, prompts, nullptr,
                        QTime(11, 40));
    for (int end = 0; end < 2; ++end) {
        EXPECT_EQ(dlg.halfList(end)->currentText(), "AM");
        EXPECT_EQ(dlg.hourList(end)->currentText(), "11");
        EXPECT_EQ(dlg.minuteList(end)->currentText(), "40");
    }
    EXPECT_EQ(dlg.hourList(0)->count(), 12);
    EXPECT_EQ(dlg.minuteList(1)->count(), 60);
    EXPECT_EQ(dlg.dayBox(3)->text(), "Wednsday");
    for (int day = 0; day < 7; ++day)
        EXPECT_FALSE(dlg.dayBox(day)->isChecked());

    dlg.hourList(0)->setCurrentIndex(11); // 12
    EXPECT_EQ(dlg.halfList(0)->currentText(), "PM");
    EXPECT_EQ(dlg.halfList(1)->currentText(), "AM");
    dlg.hourList(0)->setCurrentIndex(0); // leaving 12 flips nothing back
    EXPECT_EQ(dlg.halfList(0)->currentText(), "PM");
    dlg.hourList(1)->setCurrentIndex(11);
    EXPECT_EQ(dlg.halfList(1)->currentText(), "PM");
    dlg.hourList(0)->setCurrentIndex(11);
    EXPECT_EQ(dlg.halfList(0)->currentText(), "AM");
}

TEST_F(ScheduleDialogs, TheEditorRefusesBadWindowsAndStoresGoodOnes) {
    CScheduleOptDlg dlg(*files.store, mail, SCHEDULE_EMAIL, SCHEDULE_EDIT_NEW, 0, prompts, nullptr,
                        QTime(10, 30));
    dlg.show();
    QPushButton* ok = child<QPushButton>(dlg, "OkButton");
    dlg.minuteList(1)->setCurrentIndex(0); // AM 10:30 ~ AM 10:00
    ok->click();
    dlg.dayBox(6)->setChecked(true);
    ok->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(mail.empty());
    EXPECT_EQ(prompts.shown, (QStringList{"error: Please select days of the week.",
                                          "error: Start time should be less than end time."}));

    // PM 10:00 ~ AM 06:00, every day: across midnight.
    dlg.halfList(0)->setCurrentIndex(1);
    dlg.hourList(0)->setCurrentIndex(9);
    dlg.minuteList(0)->setCurrentIndex(0);
    dlg.hourList(1)->setCurrentIndex(5);
    for (int day = 0; day < 7; ++day)
        dlg.dayBox(day)->setChecked(true);
    ok->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(prompts.shown.last(), "information: The operation has been completed successfully.");

    ASSERT_EQ(mail.size(), 1);
    const ScheduleRow row = scheduleRows(mail).front();
    EXPECT_EQ(row.text, "[PM 10:00 ~ AM 06:00] Every day");
    const QString key = QStringLiteral("SCH_ID_%1").arg(row.id);
    const std::pair<const char*, int32_t> stored[] = {{"MailScheduleId", row.id},
                                                      {"FromAmPm", 1},
                                                      {"FromHour", 10},
                                                      {"FromMinute", 0},
                                                      {"ToAmPm", 0},
                                                      {"ToHour", 6},
                                                      {"ToMinute", 0},
                                                      {"Sunday", 1},
                                                      {"Wednesday", 1},
                                                      {"Saturday", 1}};
    for (const auto& [name, value] : stored)
        EXPECT_EQ(files.dword(key, name), value) << name;
}

TEST_F(ScheduleDialogs, ModifyShowsTheStoredValuesAndRewritesTheSameKey) {
    const int32_t id = addWeekdays(SCHEDULE_NOTIFICATION_MESSAGE, messages);
    CScheduleData* s = messages.find(id);
    s->FromAmPm = SCHEDULE_PM;
    s->FromHour = 12;
    s->FromMinute = 30;
    s->ToHour = 7;
    CScheduleOptDlg dlg(*files.store, messages, SCHEDULE_NOTIFICATION_MESSAGE, SCHEDULE_EDIT_MODIFY,
                        id, prompts);
    EXPECT_EQ(dlg.halfList(0)->currentText(), "PM"); // a stored 12 is shown, not flipped
    EXPECT_EQ(dlg.hourList(0)->currentText(), "12");
    EXPECT_EQ(dlg.minuteList(0)->currentText(), "30");
    EXPECT_EQ(dlg.hourList(1)->currentText(), "7");
    EXPECT_TRUE(dlg.dayBox(1)->isChecked());
    EXPECT_FALSE(dlg.dayBox(0)->isChecked());

    dlg.dayBox(0)->setChecked(true);
    child<QPushButton>(dlg, "OkButton")->click();
    ASSERT_EQ(messages.size(), 1);
    const QString key = QStringLiteral("SCH_ID2_%1").arg(id);
    EXPECT_EQ(files.dword(key, "Sunday"), 1);
    EXPECT_EQ(files.dword(key, "FromHour"), 12);
    EXPECT_EQ(files.dword(key, "ToHour"), 7);
    EXPECT_EQ(ScheduleText(*messages.find(id)), "[PM 12:30 ~ PM 07:00] Mon Tue Wed Thu Fri Sun ");
}

TEST_F(ScheduleDialogs, CancelClosesOnlyAfterYes) {
    CScheduleOptDlg dlg(*files.store, mail, SCHEDULE_EMAIL, SCHEDULE_EDIT_NEW, 0, prompts);
    dlg.show();
    prompts.answers = {false, true};
    child<QPushButton>(dlg, "CancelButton")->click();
    EXPECT_TRUE(dlg.isVisible());
    child<QPushButton>(dlg, "CancelButton")->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(prompts.shown,
              (QStringList{"ask: Are you sure to cancel?", "ask: Are you sure to cancel?"}));
    EXPECT_TRUE(mail.empty());
}

TEST_F(ScheduleDialogs, AStoreThatRefusesTheScheduleIsReportedNotCompleted) {
    test::FailingStore failing;
    CScheduleOptDlg dlg(failing, mail, SCHEDULE_EMAIL, SCHEDULE_EDIT_NEW, 0, prompts, nullptr,
                        QTime(8, 0));
    dlg.show();
    dlg.dayBox(2)->setChecked(true);
    child<QPushButton>(dlg, "OkButton")->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(mail.empty());
    EXPECT_EQ(prompts.shown, QStringList{"error: The settings could not be saved: disk full"});

    CScheduleDlg list(failing, mail, switches, SCHEDULE_EMAIL, prompts);
    list.choice(1)->click();
    EXPECT_EQ(switches.useEmailSchedule, 0);
    EXPECT_TRUE(list.choice(0)->isChecked());
    EXPECT_FALSE(list.list()->isEnabled());
}

} // namespace
} // namespace iomira
