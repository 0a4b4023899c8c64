// Every dialog that opens without a network, laid out in English, Korean and Chinese: no
// label, check box, radio button, push button or line edit shows its text cut off.

#include "common/cut_off_texts.h"
#include "common/test_support.h"

#include "app/controller_directory.h"
#include "app/controller_management.h"
#include "core/device_family.h"
#include "core/group_store.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "monitor/shared_controllers.h"
#include "notify/mail_account.h"
#include "ui/dialogs/add_controller_dialog.h"
#include "ui/dialogs/mail_account_add_step1_dialog.h"
#include "ui/dialogs/mail_account_add_step2_dialog.h"
#include "ui/dialogs/mail_account_setting_dialog.h"
#include "ui/dialogs/manage_email_dialog.h"
#include "ui/dialogs/manage_log_dialog.h"
#include "ui/dialogs/management_dialog.h"
#include "ui/dialogs/modify_controller_dialog.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/warning_settings_dialog.h"
#include "ui/main/about_dialog.h"
#include "ui/tree/add_root_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace iomira {
namespace {

// Groups and controllers with long names, as an operator gives them.
class ReadableTexts : public ::testing::TestWithParam<int> {
  protected:
    ReadableTexts() {
        setLanguage(GetParam());
        groups.insert(std::make_unique<CROOTData>(10, QStringLiteral("Plant hall"), 0));
        groups.insert(std::make_unique<CROOTData>(20, QStringLiteral("Annex"), 1));
        for (const CROOTData* g : {groups.GroupAt(0), groups.GroupAt(1)})
            saveGroup(*files.store, *g);
        add(1, 10, "TKA-35", "Pump house TKA-35");
        add(2, 10, "TKA-31", "Boiler room");
        add(3, 20, "RLX-850", "Gate");
    }
    void add(int id, int rootId, const char* model, const char* name) {
        auto c = std::make_unique<CQUORVISData>(recordForModel(QString::fromLatin1(model)));
        c->DeviceId = id;
        c->RootID = rootId;
        c->Index = table.CountInGroup(rootId);
        c->DeviceComment = QString::fromLatin1(name);
        c->HostAddr = QStringLiteral("127.0.0.1");
        table.insert(std::move(c));
    }
    // The dialog's cut-off texts, named after it; empty when everything can be read.
    void expectReadable(QWidget& dialog, const char* name) {
        const QStringList cut = test::cutOffTextsShown(dialog);
        EXPECT_TRUE(cut.isEmpty()) << name << " in language " << GetParam() << ":\n"
                                   << cut.join(QLatin1Char('\n')).toStdString();
    }

    test::TempStore files;
    test::RecordingPrompts prompts;
    ControllerTable table;
    SharedControllers shared{table};
    CROOTDataList groups;
    CMailAccountMap accounts;
};

TEST_P(ReadableTexts, WarningAndLogDialogs) {
    CWarningMSGDlg warning({shared, groups, prompts, {}, {}});
    warning.selectController(1);
    WarningForm form = warning.form();
    form.use = true;
    form.type = 1;
    warning.setForm(form);
    expectReadable(warning, "warning message, each output");
    form.type = 0;
    warning.setForm(form);
    expectReadable(warning, "warning message, all outputs");
    CManageLogDlg log({shared, groups, prompts, {}, [](const GlobalValue&) { return 1; }, {}});
    expectReadable(log, "log settings");
}

TEST_P(ReadableTexts, RegistrationDialogs) {
    ControllerTable registered;
    CAddIODevices add(prompts, groups, registered, 10, uint16_t(GetParam()));
    auto* pages = add.findChild<QTabWidget*>();
    ASSERT_NE(pages, nullptr);
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        expectReadable(add, page == 0 ? "add, search page" : "add, manual page");
    }
    CModifyDevices1Dlg modify(prompts, groups, *table.find(1));
    expectReadable(modify, "modify");
    CAddRoot root;
    expectReadable(root, "add group");
    CAboutDialog about;
    expectReadable(about, "about");
}

TEST_P(ReadableTexts, AdvancedSettingsOfEveryModel) {
    for (const char* model :
         {"TKA-35", "TKA-35P", "RLX-810", "RLX-820", "RLX-830", "RLX-840", "RLX-850"}) {
        CQUORVISData record = recordForModel(QString::fromLatin1(model));
        auto dialog = makeSettingsDialog(loadString(TEXT_MODIFY), record,
                                         QString::fromLatin1(model), prompts, nullptr);
        expectReadable(*dialog, model);
    }
}

TEST_P(ReadableTexts, MailDialogs) {
    MailAccountContext context{*files.store, accounts, shared, prompts, {}};
    CMailAccountSetting setting(context);
    expectReadable(setting, "mail accounts");
    CMailAccountAddDlgStep1 step1(context);
    expectReadable(step1, "add account, step 1");
    MailAccountForm initial;
    initial.mail = QStringLiteral("operator@example.com");
    initial.server = QStringLiteral("mail.example.com");
    initial.port = QStringLiteral("587");
    CMailAccountAddDlgStep2 step2(context, initial);
    expectReadable(step2, "add account, step 2");
    const EmailDialogTables tables{*files.store, groups, shared, accounts, prompts, {}, {}, {}};
    CManageEmailDlg email(tables);
    expectReadable(email, "e-mail notification");
}

TEST_P(ReadableTexts, ManagementDialog) {
    ControllerDirectory directory(*files.store, prompts);
    ASSERT_TRUE(directory.loadGroups());
    ControllerManagement management(directory);
    CManagementDlg dialog(management);
    expectReadable(dialog, "manage controllers");
}

// The checker itself: texts squeezed into fixed widths are reported, whole ones are not.
TEST(CutOffTexts, SqueezedTextsAreReportedAndWholeOnesAreNot) {
    setLanguage(LANG_KOREAN);
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(loadString(TEXT_DEFAULT_QUESTION_ON), &dialog);
    auto* field = new QLineEdit(loadString(TEXT_DEFAULT_QUESTION_OFF), &dialog);
    auto* box = new QCheckBox(loadString(TEXT_APPLY_EACH_OUTPUT), &dialog);
    auto* wrapped = new QLabel(loadString(TEXT_WARNING_NOTE), &dialog);
    wrapped->setWordWrap(true);
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(field),
                       static_cast<QWidget*>(box), static_cast<QWidget*>(wrapped)})
        layout->addWidget(w);
    EXPECT_EQ(test::cutOffTextsShown(dialog), QStringList());
    // The fixed widths a dialog had before its fields were measured.
    label->setFixedWidth(60);
    field->setFixedWidth(230);
    box->setFixedWidth(40);
    wrapped->setFixedSize(80, 20);
    const QStringList cut = test::cutOffTextsShown(dialog);
    EXPECT_EQ(cut.size(), 4) << cut.join(QLatin1Char('\n')).toStdString();
    setLanguage(LANG_ENGLISH);
}

INSTANTIATE_TEST_SUITE_P(Languages, ReadableTexts,
                         ::testing::Values(LANG_ENGLISH, LANG_KOREAN, LANG_CHINESE));

} // namespace
} // namespace iomira
