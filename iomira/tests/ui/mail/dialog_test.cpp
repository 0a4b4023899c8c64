// The account dialog and the add wizard driven offscreen: what the user sees in the message
// boxes and what ends up in the store. The verification goes to aiosmtpd on loopback; the
// wizard's guessed server name is pointed there by the test's attempt runner.
#include "common/test_support.h"
#include "core/string_table.h"
#include "monitor/shared_controllers.h"
#include "notify/mail_account_store.h"
#include "notify/mail_account_verifier.h"
#include "notify/mail_test_support.h"
#include "notify/smtp/test_support.h"
#include "ui/common/busy_window.h"
#include "ui/dialogs/mail_account_add_step1_dialog.h"
#include "ui/dialogs/mail_account_add_step2_dialog.h"
#include "ui/dialogs/mail_account_setting_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace iomira {
namespace {

using mail_test::RecordingPrompts;
using smtp::test::PythonSmtpServer;

// Saves a picture of `widget` when IOMIRA_MAIL_SCREENSHOTS names a folder, for looking at.
void keepPicture(QWidget* widget, const char* name) {
    const QString folder = qEnvironmentVariable("IOMIRA_MAIL_SCREENSHOTS");
    if (!folder.isEmpty())
        widget->grab().save(folder + QLatin1Char('/') + QLatin1String(name) + ".png");
}

void type(QWidget* dialog, const char* field, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(field));
    ASSERT_TRUE(edit) << field;
    edit->setText(text);
}

QString text(QWidget* dialog, const char* field) {
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(field));
    return edit ? edit->text() : QStringLiteral("<missing>");
}

void click(QWidget* dialog, const char* button) {
    auto* b = dialog->findChild<QAbstractButton*>(QString::fromLatin1(button));
    ASSERT_TRUE(b) << button;
    b->click();
}

class MailAccountDialogs : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        certificates = new smtp::test::TempDir();
        smtp::test::makeCertificate(certificates->path());
    }
    static void TearDownTestSuite() { delete certificates; }

    void SetUp() override {
        setLanguage(LANG_ENGLISH);
        plain = std::make_unique<PythonSmtpServer>(std::vector<std::string>{"--mode", "plain"});
        startTls = std::make_unique<PythonSmtpServer>(std::vector<std::string>{
            "--mode", "starttls", "--cert", (certificates->path() / "cert.pem").string(), "--key",
            (certificates->path() / "key.pem").string()});
        // The guessed "smtp.<domain>" on port 465 is really the plain server on loopback, so
        // the first attempt fails in its TLS handshake and the second reaches STARTTLS.
        context.prepareVerifier = [this](MailAccountVerifier& v) {
            v.setSecondPort(startTls->port());
            const uint16_t firstPort = plain->port();
            v.setAttemptRunner([firstPort, real = smtpAttemptRunner()](MailAttempt a) {
                if (a.server.rfind("smtp.", 0) == 0) a.server = "127.0.0.1";
                if (a.port == 465) a.port = firstPort;
                real(a);
            });
        };
    }

    // Plays `steps` one after the other, each on the modal window that is up at the time.
    void drive(std::vector<std::function<void(QWidget*)>> steps) {
        auto* timer = new QTimer(&dialogOwner);
        auto queue = std::make_shared<std::vector<std::function<void(QWidget*)>>>(std::move(steps));
        // Tracked by a guarded pointer: a later window may reuse a closed one's address.
        auto last = std::make_shared<QPointer<QWidget>>();
        QObject::connect(timer, &QTimer::timeout, [queue, last] {
            QWidget* modal = QApplication::activeModalWidget();
            if (queue->empty() || !modal || modal == last->data()) return;
            *last = modal;
            auto step = queue->front();
            queue->erase(queue->begin());
            step(modal);
        });
        timer->start(20);
    }

    static smtp::test::TempDir* certificates;
    test::TempStore temp;
    CMailAccountMap accounts;
    ControllerTable table;
    SharedControllers controllers{table};
    RecordingPrompts prompts;
    MailAccountContext context{*temp.store, accounts, controllers, prompts, {}};
    std::unique_ptr<PythonSmtpServer> plain;
    std::unique_ptr<PythonSmtpServer> startTls;
    QObject dialogOwner;
};

smtp::test::TempDir* MailAccountDialogs::certificates = nullptr;

TEST_F(MailAccountDialogs, WizardFindsTheServerOnTheSecondAttemptAndStoresWhatWorked) {
    CMailAccountSetting dialog(context);
    dialog.show();
    keepPicture(&dialog, "setting_empty");
    drive({[](QWidget* step1) {
        ASSERT_TRUE(qobject_cast<CMailAccountAddDlgStep1*>(step1));
        type(step1, "Name", QStringLiteral("Plant alarms"));
        type(step1, "EmailAddress", QStringLiteral("user@iomira.test"));
        type(step1, "Password", QStringLiteral("secret"));
        keepPicture(step1, "add_step1");
        click(step1, "Next");
    }});
    click(&dialog, "Add");

    ASSERT_EQ(
        prompts.shown,
        std::vector<QString>{"information: Adding an email account has successfully finished."});
    ASSERT_EQ(accounts.size(), 1);
    const CMailAccount& added =
        *accounts.find(dialog.findChild<QListWidget*>()->currentItem()->data(Qt::UserRole).toInt());
    EXPECT_EQ(added.MailServerAddress, QStringLiteral("smtp.iomira.test"));
    EXPECT_EQ(added.MailServerPort, QString::number(startTls->port()));
    EXPECT_EQ(added.AuthType, MAIL_AUTH_TLS);
    EXPECT_EQ(added.AccountID, QStringLiteral("user"));
    EXPECT_EQ(added.MailAccountComment, QStringLiteral("user@iomira.test"));
    KeyValues stored;
    ASSERT_TRUE(temp.store->readKey(mailAccountKeyName(added.MailAccountId), stored));
    EXPECT_EQ(readMailAccount(stored), added);
    EXPECT_EQ(text(&dialog, "ServerPort"), QString::number(startTls->port()));
    keepPicture(&dialog, "setting_one_account");
}

TEST_F(MailAccountDialogs, RefusedLoginOpensStepTwoUntilTheEnteredServerWorks) {
    CMailAccountSetting dialog(context);
    drive({[](QWidget* step1) {
               type(step1, "Name", QStringLiteral("Plant"));
               type(step1, "EmailAddress", QStringLiteral("user@iomira.test"));
               type(step1, "Password", QStringLiteral("wrong"));
               click(step1, "Next");
           },
           [this](QWidget* step2) {
               ASSERT_TRUE(qobject_cast<CMailAccountAddDlgStep2*>(step2));
               // Filled with the first step's guess.
               EXPECT_EQ(text(step2, "OutgoingMailServer"), QStringLiteral("smtp.iomira.test"));
               EXPECT_EQ(text(step2, "ServerPort"), QStringLiteral("465"));
               EXPECT_EQ(text(step2, "UserName"), QStringLiteral("user"));
               keepPicture(step2, "add_step2");
               type(step2, "OutgoingMailServer", QStringLiteral("127.0.0.1"));
               type(step2, "ServerPort", QString::number(startTls->port()));
               click(step2, "Next"); // still SSL from the start, which this server does not speak
           },
           [](QWidget* step2again) {
               EXPECT_EQ(text(step2again, "OutgoingMailServer"), QStringLiteral("127.0.0.1"));
               type(step2again, "Password", QStringLiteral("secret"));
               click(step2again, "Security3");
               click(step2again, "Next");
           }});
    click(&dialog, "Add");

    ASSERT_EQ(prompts.shown.size(), 3u);
    EXPECT_TRUE(prompts.shown[0].startsWith("warning: Retrieving an outgoing mail server has "
                                            "failed.\n\nPlease enter outgoing mail server "
                                            "information.\n\n[Error: Bad login or password]"));
    EXPECT_EQ(prompts.shown[1],
              QStringLiteral("error: Adding an email account has failed.\n\n[Error: SSL problem]"));
    EXPECT_EQ(prompts.shown[2],
              QStringLiteral("information: Adding an email account has successfully finished."));
    ASSERT_EQ(accounts.size(), 1);
    accounts.forEach([&](const CMailAccount& a) {
        EXPECT_EQ(a.MailServerAddress, QStringLiteral("127.0.0.1"));
        EXPECT_EQ(a.AuthType, MAIL_AUTH_TLS);
        EXPECT_EQ(a.Password, QStringLiteral("secret"));
    });
}

TEST_F(MailAccountDialogs, ModifyIsVerifiedFirstAndAFailureLeavesTheAccountAsItWas) {
    CMailAccount account = mail_test::sampleAccount(5);
    account.MailServerAddress = QStringLiteral("127.0.0.1");
    account.MailServerPort = QString::number(startTls->port());
    account.AccountID = QStringLiteral("user");
    account.Password = QStringLiteral("secret");
    ASSERT_TRUE(storeMailAccount(*temp.store, accounts, account));
    CMailAccountSetting dialog(context);

    type(&dialog, "Password", QStringLiteral("wrong"));
    click(&dialog, "Modify");
    // The result comes back through the event loop: until then the program's busy window is
    // up and the dialog cannot start another check.
    const QPointer<CMsgDlg> busy = CMsgDlg::instance(false);
    ASSERT_TRUE(busy && busy->isVisible());
    EXPECT_EQ(busy->text(), QStringLiteral("Verifying email account."));
    EXPECT_EQ(busy->windowTitle(), QStringLiteral("Add I/O Controller"));
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("Modify"))->isEnabled());
    ASSERT_TRUE(mail_test::waitFor([&] { return !prompts.shown.empty(); }));
    EXPECT_FALSE(busy->isVisible());
    EXPECT_EQ(
        prompts.shown.back(),
        QStringLiteral(
            "error: Modifying an email account has failed.\n\n[Error: Bad login or password]"));
    EXPECT_EQ(*accounts.find(5), account);
    EXPECT_EQ(text(&dialog, "Password"), QStringLiteral("secret")); // refilled from the account

    type(&dialog, "Description", QStringLiteral("Night shift"));
    click(&dialog, "Modify");
    ASSERT_TRUE(mail_test::waitFor([&] { return prompts.shown.size() == 2; }));
    EXPECT_EQ(prompts.shown.back(),
              QStringLiteral("information: Modifying an email account has successfully finished."));
    KeyValues stored;
    ASSERT_TRUE(temp.store->readKey(mailAccountKeyName(5), stored));
    EXPECT_EQ(readMailAccount(stored).MailAccountComment, QStringLiteral("Night shift"));
}

TEST_F(MailAccountDialogs, DeleteAsksThenResetsTheControllersAndEmptiesTheFields) {
    ASSERT_TRUE(storeMailAccount(*temp.store, accounts, mail_test::sampleAccount(5)));
    auto record = std::make_unique<CQUORVISData>();
    record->DeviceId = 40;
    record->MailAccountID = 5;
    record->UseEmailNotification = 1;
    table.insert(std::move(record));
    CMailAccountSetting dialog(context);

    prompts.answer = false;
    click(&dialog, "Delete");
    EXPECT_TRUE(accounts.contains(5));
    prompts.answer = true;
    click(&dialog, "Delete");
    EXPECT_FALSE(accounts.contains(5));
    EXPECT_EQ(table.find(40)->UseEmailNotification, 0);
    EXPECT_EQ(prompts.shown.back(),
              QStringLiteral("information: Deleting an email account has successfully finished."));
    EXPECT_TRUE(prompts.shown[0].startsWith("ask: Deleting an email account may disable"));
    EXPECT_FALSE(dialog.findChild<QLineEdit*>(QStringLiteral("Name"))->isEnabled());

    click(&dialog, "Delete");
    EXPECT_EQ(prompts.shown.back(), QStringLiteral("error: Please select an email account."));
}

} // namespace
} // namespace iomira
