#include "common/cut_off_texts.h"
#include "core/sound_library.h"
#include "core/string_table.h"
#include "monitor/shared_controllers.h"
#include "notify/notify_test_support.h"
#include "ui/dialogs/schedule_edit_dialog.h"
#include "ui/dialogs/schedule_list_dialog.h"
#include "ui/dialogs/sound_file_add_dialog.h"
#include "ui/dialogs/sound_file_dialog.h"
#include "ui/dialogs/sound_file_setting_dialog.h"
#include "ui/dialogs/sound_notification_dialog.h"

#include <QApplication>
#include <QDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace iomira {
namespace {

// Every caption of every dialog fits in all three languages. With IOMIRA_SCREENSHOT_DIR set
// (for example under xvfb-run with QT_QPA_PLATFORM=xcb) each dialog is also saved as a PNG.
class DialogLayout : public ::testing::TestWithParam<int> {
  protected:
    DialogLayout() {
        setLanguage(GetParam());
        library.installBuiltIn(QStringLiteral("/opt/iomira"));
        library.insert({500, QStringLiteral("door bell.wav"),
                        QStringLiteral("/home/operator/sounds/door bell.wav")});
        auto c = std::make_unique<CQUORVISData>();
        c->DeviceId = 7;
        c->NumberOfPortInput = 8;
        c->DeviceComment = QStringLiteral("Pump house TKA-35");
        for (int i = 0; i < 8; ++i)
            c->DiComment[i] = QStringLiteral("DI%1").arg(i);
        c->OnDiSoundId = {500, 0, 1, 0, 0, 0, 0, 0};
        c->OffDiSoundId = {0, 999, 0, 0, 0, 0, 0, 0};
        table.insert(std::move(c));
        auto s = std::make_unique<CScheduleData>();
        s->ScheduleId = 3;
        s->FromHour = 9;
        s->ToAmPm = SCHEDULE_PM;
        s->ToHour = 5;
        for (int day = 1; day <= 5; ++day)
            s->setDayFlag(day, 1);
        schedules.insert(std::move(s));
        switches.useEmailSchedule = 1;
    }

    void check(QDialog& dlg, const char* name) {
        dlg.show();
        QApplication::processEvents();
        const QStringList cut = test::cutOffTexts(dlg);
        EXPECT_TRUE(cut.isEmpty()) << name << ":\n" << cut.join(QLatin1Char('\n')).toStdString();
        const QString dir = qEnvironmentVariable("IOMIRA_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            dlg.grab().save(QDir(dir).filePath(
                QStringLiteral("%1_%2.png").arg(QString::fromLatin1(name)).arg(GetParam())));
        }
        dlg.hide();
    }

    test::TempStore files;
    test::ScriptedPrompts prompts;
    SoundLibrary library;
    ControllerTable table;
    SharedControllers shared{table};
    CScheduleDataList schedules;
    GlobalSwitches switches;
};

TEST_P(DialogLayout, EveryCaptionFits) {
    const SoundDialogTables tables{*files.store, library, shared, prompts};
    CSoundDlg sound(tables, 7);
    check(sound, "sound_notification");
    CSoundFileDlg chooser(library, prompts);
    check(chooser, "sound_file");
    CSoundFileSetting setting(tables);
    check(setting, "sound_file_setting");
    CSoundFileAddDlg add(tables);
    check(add, "sound_file_add");
    CScheduleDlg list(*files.store, schedules, switches, SCHEDULE_EMAIL, prompts);
    check(list, "schedule_list");
    CScheduleOptDlg edit(*files.store, schedules, SCHEDULE_EMAIL, SCHEDULE_EDIT_MODIFY, 3, prompts);
    check(edit, "schedule_edit");
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogLayout,
                         ::testing::Values(LANG_ENGLISH, LANG_KOREAN, LANG_CHINESE));

} // namespace
} // namespace iomira
