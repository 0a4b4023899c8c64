// The e-mail settings dialog driven offscreen: what "Apply" stores, its checks, the two
// selection modes, and a sample mail through the dialog's own thread to an SMTP server.

#include "ui/dialogs/manage_email_dialog.h"

#include "common/monitor_files.h"
#include "core/controller_keys.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "monitor/shared_controllers.h"
#include "notify/smtp/test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::pumpUntil;

class EmailDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        setLanguage(LANG_ENGLISH);
        groups.insert(std::make_unique<CROOTData>(3, "Plant", 0));
        add(101, "Tank", 8, 8, 3);
        add(102, "Boiler", 8, 8, 3);
        add(103, "Meter", 4, 0, 3);
        add(104, "Nothing", 0, 0, 3); // no ports: not offered
        add(105, "Elsewhere", 8, 8, 9);
        CMailAccount account;
        account.MailAccountId = 7;
        account.MailAccountComment = "Plant mail";
        accounts.insert(account);
    }
    void add(int id, const QString& name, int inputs, int outputs, int root) {
        auto c = std::make_unique<CQUORVISData>();
        c->DeviceId = id;
        c->DeviceComment = name;
        c->NumberOfPortInput = inputs;
        c->NumberOfPortOutput = outputs;
        c->RootID = root;
        table.insert(std::move(c));
    }
    CQUORVISData stored(int id) {
        KeyValues values;
        EXPECT_TRUE(files.store->readKey(controllerKeyName(id), values));
        return readController(values);
    }
    static void select(QListWidget* list, const QString& name) {
        list->findItems(name, Qt::MatchExactly).front()->setSelected(true);
        if (list->selectionMode() == QAbstractItemView::SingleSelection)
            list->setCurrentItem(list->findItems(name, Qt::MatchExactly).front());
    }
    void fill(CManageEmailDlg& d) {
        d.notifyBox()->setChecked(true);
        d.accountBox()->setCurrentIndex(d.accountBox()->findData(7));
        d.toBox()->setEditText("ops@iomira.test");
        d.subjectEdit()->setText("%d %p %s");
        d.messageEdit()->setPlainText("line\n.dot");
        d.inputBox(1)->setChecked(true);
    }

    test::TestFiles files;
    CROOTDataList groups;
    ControllerTable table;
    SharedControllers shared{table};
    CMailAccountMap accounts;
    test::RecordingPrompts prompts;
    int busyShown = 0, busyHidden = 0;
    EmailDialogTables tables{*files.store,
                             groups,
                             shared,
                             accounts,
                             prompts,
                             {},
                             [this](QWidget*, const QString&) { ++busyShown; },
                             [this] { ++busyHidden; }};
};

TEST_F(EmailDialog, ListsTheGroupsControllersWithPorts) {
    CManageEmailDlg d(tables);
    QStringList names;
    for (int row = 0; row < d.singleList()->count(); ++row)
        names << d.singleList()->item(row)->text();
    names.sort();
    EXPECT_EQ(names, (QStringList{"Boiler", "Meter", "Tank"}));
}

TEST_F(EmailDialog, ApplyStoresTheShownValuesAndClearedBoxStoresOnlyTheFlag) {
    CManageEmailDlg d(tables);
    select(d.singleList(), "Tank");
    fill(d);
    d.apply();
    CQUORVISData saved = stored(101);
    EXPECT_EQ(saved.UseEmailNotification, 1);
    EXPECT_EQ(saved.MailTo, "ops@iomira.test");
    EXPECT_EQ(saved.MailAccountID, 7);
    EXPECT_EQ(saved.MailContent, "line\r\n.dot");
    EXPECT_EQ(saved.UseInputEmailNotification[1], 1);
    EXPECT_EQ(table.find(101)->MailSubject, "%d %p %s");

    d.notifyBox()->setChecked(false);
    d.subjectEdit()->setText("changed but not stored");
    d.apply();
    saved = stored(101);
    EXPECT_EQ(saved.UseEmailNotification, 0);
    EXPECT_EQ(saved.MailSubject, "%d %p %s");
    EXPECT_EQ(table.find(101)->MailTo, "ops@iomira.test");
}

TEST_F(EmailDialog, ApplyChecksEachFieldInOrder) {
    const std::vector<std::pair<std::function<void(CManageEmailDlg&)>, QString>> cases = {
        {[](CManageEmailDlg& d) { d.accountBox()->setCurrentIndex(-1); },
         "Please select an email account."},
        {[](CManageEmailDlg& d) { d.toBox()->setEditText("  "); }, "Please enter a recipient."},
        {[](CManageEmailDlg& d) { d.subjectEdit()->clear(); }, "Please enter a subject."},
        {[](CManageEmailDlg& d) { d.messageEdit()->clear(); }, "Please enter a message."},
        {[](CManageEmailDlg& d) { d.inputBox(1)->setChecked(false); },
         "Please select input or output ports."},
    };
    for (const auto& [spoil, message] : cases) {
        CManageEmailDlg d(tables);
        select(d.singleList(), "Boiler");
        fill(d);
        spoil(d);
        prompts.shown.clear();
        d.apply();
        EXPECT_EQ(prompts.shown, (QStringList{"Are you sure to change the settings?", message}));
        EXPECT_EQ(table.find(102)->UseEmailNotification, 0);
    }
    CManageEmailDlg d(tables);
    prompts.shown.clear();
    d.notifyBox()->setChecked(true);
    d.apply();
    EXPECT_EQ(prompts.shown, QStringList{"Please select I/O controllers."});
    EXPECT_FALSE(d.notifyBox()->isChecked());
}

TEST_F(EmailDialog, LeavingChangedValuesAsksAndYesStoresThem) {
    CManageEmailDlg d(tables);
    select(d.singleList(), "Tank");
    fill(d);
    prompts.shown.clear();
    select(d.singleList(), "Boiler");
    EXPECT_EQ(prompts.shown, QStringList{"Some contents have changed. Do you want to save it?"});
    EXPECT_EQ(stored(101).MailTo, "ops@iomira.test");
    EXPECT_FALSE(d.notifyBox()->isChecked()); // Boiler's own values are shown
}

TEST_F(EmailDialog, MultiSelectionTakesOnlyAlikeControllersAndAppliesToAll) {
    CManageEmailDlg d(tables);
    d.multiBox()->setChecked(true);
    select(d.multiList(), "Tank");
    select(d.multiList(), "Meter"); // four inputs, no outputs
    EXPECT_EQ(prompts.shown.back().toStdString(),
              "The number of input or output ports in selected I/O controller is not equal to "
              "previously selected I/O controllers");
    EXPECT_FALSE(d.multiList()->findItems("Meter", Qt::MatchExactly).front()->isSelected());
    select(d.multiList(), "Boiler");
    fill(d);
    d.apply();
    EXPECT_EQ(stored(101).MailTo, "ops@iomira.test");
    EXPECT_EQ(stored(102).MailTo, "ops@iomira.test");
    EXPECT_EQ(table.find(103)->UseEmailNotification, 0);

    // Switching back with unsaved values asks; No keeps the mode.
    d.subjectEdit()->setText("unsaved");
    prompts.answer = false;
    d.multiBox()->setChecked(false);
    EXPECT_TRUE(d.multiBox()->isChecked());
    EXPECT_EQ(d.subjectEdit()->text(), "unsaved");
}

TEST_F(EmailDialog, SampleMailWithoutControllerUsesTheTestNames) {
    smtp::test::PythonSmtpServer server({"--mode", "plain", "--user", "u", "--password", "p"});
    CMailAccount& account = *accounts.find(7);
    account.AccountID = "u";
    account.Password = "p";
    account.AccountMail = "plant@iomira.test";
    account.MailServerAddress = "127.0.0.1";
    account.MailServerPort = QString::number(server.port());
    CManageEmailDlg d(tables);
    d.sampleThread().setTimeScale(0.05);
    fill(d);
    d.toBox()->setEditText("a@iomira.test; b@iomira.test");
    d.sendSample();
    EXPECT_FALSE(d.sampleButton()->isEnabled());
    ASSERT_TRUE(pumpUntil([&] { return d.sampleButton()->isEnabled(); }, 20000));
    EXPECT_EQ(prompts.shown,
              (QStringList{
                  "Sending a notification email has successfully finished.\r\n[0]a@iomira.test",
                  "Sending a notification email has successfully finished.\r\n[1]b@iomira.test"}));
    EXPECT_EQ(busyShown, 2);
    EXPECT_EQ(busyHidden, 2);
    const auto events = server.events();
    EXPECT_NE(std::find(events.begin(), events.end(), "SUBJECT 1 TEST I/O CONTROLLER Di0 ON"),
              events.end());
    EXPECT_NE(server.message(1).find("\r\nline\r\n.dot"), std::string::npos) << server.message(1);

    accounts.remove(7); // the account went away meanwhile
    prompts.shown.clear();
    d.sendSample();
    ASSERT_TRUE(pumpUntil([&] { return d.sampleButton()->isEnabled(); }, 20000));
    EXPECT_EQ(prompts.shown, (QStringList{"Can't find the IP address of the mail server.\r\n",
                                          "Can't find the IP address of the mail server.\r\n"}));
}

} // namespace
} // namespace iomira
