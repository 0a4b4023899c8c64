#include "common/test_support.h"
#include "core/controller_keys.h"
#include "core/object_loader.h"
#include "core/schedule_list.h"
#include "core/sound_library.h"
#include "mail_test_support.h"
#include "monitor/shared_controllers.h"
#include "notify/mail_account_password.h"
#include "notify/mail_account_rules.h"
#include "notify/mail_account_store.h"

#include <gtest/gtest.h>

#include <set>

namespace iomira {
namespace {

using mail_test::sampleAccount;

class MailAccountStore : public ::testing::Test {
  protected:
    KeyValues stored(const QString& key) {
        KeyValues values;
        EXPECT_TRUE(temp.store->readKey(key, values));
        return values;
    }
    test::TempStore temp;
};

TEST_F(MailAccountStore, SavedKeyHoldsEveryValueWithItsTypeAndThePasswordEnciphered) {
    const CMailAccount account = sampleAccount(4711);
    ASSERT_TRUE(SaveMailAccount(*temp.store, account));

    // Read back the way another program would, straight from the file.
    const QString rows = test::runSqlite(
        temp.path,
        QStringLiteral("SELECT name, type, quote(data) FROM vals WHERE key = 'MA_ID_4711' "
                       "ORDER BY name;"));
    EXPECT_EQ(rows, QStringLiteral("AccountID|1|'plant.alarm'\n"
                                   "AccountMail|1|'plant.alarm@example.com'\n"
                                   "AuthType|4|3\n"
                                   "MailAccountComment|1|'Boiler house'\n"
                                   "MailAccountId|4|4711\n"
                                   "MailAccountName|1|'보일러실 경보'\n"
                                   "MailServerAddress|1|'smtp.example.com'\n"
                                   "MailServerPort|1|'587'\n"
                                   "Password|3|X'") +
                        QString::fromLatin1(
                            encipherMailPassword(account.Password, account.MailServerAddress)
                                .toHex()
                                .toUpper()) +
                        QStringLiteral("'\n"));

    EXPECT_EQ(readMailAccount(stored(QStringLiteral("MA_ID_4711"))), account);
}

TEST_F(MailAccountStore, MissingValuesReadAsDefaults) {
    ASSERT_TRUE(temp.store->writeValues(QStringLiteral("MA_ID_9"),
                                        {StoreValue::dwordValue(QStringLiteral("MailAccountId"), 9),
                                         StoreValue::dwordValue(QStringLiteral("Password"), 5)}));
    const CMailAccount a = readMailAccount(stored(QStringLiteral("MA_ID_9")));
    EXPECT_EQ(a.MailAccountId, 9);
    EXPECT_EQ(a.AuthType, 0); // behaves like "none" wherever it is used
    EXPECT_TRUE(a.Password.isEmpty());
    EXPECT_TRUE(a.MailServerAddress.isEmpty());
}

TEST_F(MailAccountStore, StartUpLoaderHandsEveryAccountKeyToTheMap) {
    ASSERT_TRUE(SaveMailAccount(*temp.store, sampleAccount(3)));
    ASSERT_TRUE(SaveMailAccount(*temp.store, sampleAccount(30000)));
    ControllerTable controllers;
    SoundLibrary sounds;
    CScheduleDataList mailSchedules, messageSchedules;
    CMailAccountMap accounts;
    ObjectLoadTargets targets{controllers, sounds, mailSchedules, messageSchedules, {}, {}, {},
                              {},          {}};
    targets.loadMailAccount = [&](const QString&, const KeyValues& v) {
        accounts.insert(readMailAccount(v));
    };
    ASSERT_TRUE(loadObjects(*temp.store, targets));
    ASSERT_EQ(accounts.size(), 2);
    EXPECT_EQ(*accounts.find(30000), sampleAccount(30000));
}

TEST(MailAccountIds, NewIdsAreUniqueInRange) {
    CMailAccountMap accounts;
    std::set<int> seen;
    for (int i = 0; i < 200; ++i) {
        const int32_t id = NewMailAccountId(accounts);
        ASSERT_GE(id, 0);
        ASSERT_LE(id, 32767);
        ASSERT_TRUE(seen.insert(id).second);
        accounts.insert(sampleAccount(id));
    }
}

// Controllers keyed by DeviceId with the account they name and their e-mail switch.
struct ControllerUse {
    int deviceId;
    int mailAccountId;
    int useEmail;
    int expectedAccountId;
    int expectedUseEmail;
};

TEST_F(MailAccountStore, DeletingAnAccountSwitchesOffTheMailOfControllersThatSendThroughIt) {
    const ControllerUse uses[] = {
        {101, 7, 1, 0, 0}, // sends through it: reset
        {102, 7, 0, 7, 0}, // names it but sends nothing: kept
        {103, 8, 1, 8, 1}, // another account: untouched
        {104, 7, 1, 0, 0},
    };
    ControllerTable table;
    SharedControllers controllers(table);
    for (const ControllerUse& u : uses) {
        auto record = std::make_unique<CQUORVISData>();
        record->DeviceId = u.deviceId;
        record->MailAccountID = u.mailAccountId;
        record->UseEmailNotification = u.useEmail;
        ASSERT_TRUE(saveController(*temp.store, *record));
        table.insert(std::move(record));
    }
    CMailAccountMap accounts;
    for (int id : {7, 8})
        ASSERT_TRUE(storeMailAccount(*temp.store, accounts, sampleAccount(id)));

    ASSERT_TRUE(removeMailAccount(*temp.store, accounts, controllers, 7));

    EXPECT_FALSE(accounts.contains(7));
    EXPECT_TRUE(accounts.contains(8));
    KeyValues gone;
    ASSERT_TRUE(temp.store->readKey(QStringLiteral("MA_ID_7"), gone));
    EXPECT_EQ(gone.count(), 0);
    for (const ControllerUse& u : uses) {
        SCOPED_TRACE(u.deviceId);
        const CQUORVISData onDisk = readController(stored(controllerKeyName(u.deviceId)));
        EXPECT_EQ(onDisk.MailAccountID, u.expectedAccountId);
        EXPECT_EQ(onDisk.UseEmailNotification, u.expectedUseEmail);
        EXPECT_EQ(table.find(u.deviceId)->MailAccountID, u.expectedAccountId);
    }
}

} // namespace
} // namespace iomira
