// Shows the e-mail settings dialog with one controller selected and saves a picture of it:
// email_dialog_shot OUT.png [LANGUAGE-ID]. Run under a display (Xvfb) to see the real window.

#include "ui/dialogs/manage_email_dialog.h"

#include "core/root_data.h"
#include "core/sqlite_store.h"
#include "core/string_table.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"

#include <QApplication>
#include <QListWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

using namespace iomira;

namespace {

class SilentPrompts final : public UserPrompts {
  public:
    void error(const QString&) override {}
    void information(const QString&) override {}
    bool ask(const QString&, bool) override { return false; }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    setLanguage(argc > 2 ? std::atoi(argv[2]) : LANG_ENGLISH);
    QTemporaryDir dir;
    auto store = SqliteStore::open(dir.filePath("store.sqlite"), nullptr);
    CROOTDataList groups;
    groups.insert(std::make_unique<CROOTData>(1, "Boiler house", 0));
    ControllerTable table;
    SharedControllers shared(table);
    auto c = std::make_unique<CQUORVISData>();
    c->DeviceId = 10;
    c->DeviceComment = "Boiler 1";
    c->NumberOfPortInput = 8;
    c->NumberOfPortOutput = 4;
    c->RootID = 1;
    c->UseEmailNotification = 1;
    c->UseInputEmailNotification[0] = 1;
    c->MailAccountID = 3;
    c->MailTo = "ops@example.test; night@example.test";
    c->MailSubject = "%d: %p is %s";
    c->MailContent = "At %t the port %p of %d turned %s.";
    table.insert(std::move(c));
    CMailAccountMap accounts;
    CMailAccount account;
    account.MailAccountId = 3;
    account.MailAccountComment = "Plant alarms";
    accounts.insert(account);
    SilentPrompts prompts;
    CManageEmailDlg dialog({*store, groups, shared, accounts, prompts, {}, {}, {}});
    dialog.singleList()->setCurrentRow(0);
    dialog.show();
    QTimer::singleShot(500, [&] {
        dialog.grab().save(QString::fromLocal8Bit(argv[1]));
        app.quit();
    });
    return app.exec();
}
