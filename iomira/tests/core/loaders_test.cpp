#include "common/test_support.h"
#include "core/controller_keys.h"
#include "core/global_settings.h"
#include "core/group_store.h"
#include "core/mail_account_keys.h"
#include "core/object_loader.h"
#include "core/schedule_list.h"
#include "core/schedule_store.h"
#include "core/sound_library.h"
#include "core/string_table.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::runSqlite;

class ObjectLoaderTest : public ::testing::Test {
  protected:
    void saveControllerKey(const QString& key, int deviceId, int type = 0) {
        CQUORVISData r;
        r.DeviceId = deviceId;
        r.DeviceType = type;
        r.DeviceComment = key;
        t.store->writeValues(key, controllerValues(r));
    }
    bool load() {
        ObjectLoadTargets targets{controllers,
                                  sounds,
                                  mail,
                                  messages,
                                  "/opt/iomira",
                                  registerController,
                                  [this](const QString& key, const KeyValues& v) {
                                      mailKeys << key + "=" + v.text("MailAccountName");
                                  },
                                  [this](const QString& m) { errors << m; },
                                  {}};
        return loadObjects(*t.store, targets);
    }

    test::TempStore t;
    ControllerTable controllers;
    SoundLibrary sounds;
    CScheduleDataList mail, messages;
    std::function<int(const CQUORVISData&)> registerController;
    QStringList mailKeys, errors;
};

TEST_F(ObjectLoaderTest, EachKeyKindGoesToItsTable) {
    saveControllerKey("ID_5", 5);
    t.store->writeValue(mailAccountKeyName(8), StoreValue::textValue("MailAccountName", "office"));
    t.store->writeValue(mailAccountKeyName(9), StoreValue::textValue("MailAccountName", "old"));
    ASSERT_TRUE(deleteMailAccount(*t.store, 9));
    CScheduleData s;
    s.ScheduleId = 31;
    saveSchedule(*t.store, SCHEDULE_EMAIL, s);
    s.ScheduleId = 32;
    saveSchedule(*t.store, SCHEDULE_NOTIFICATION_MESSAGE, s);
    saveSound(*t.store, {44, "bell.wav", "/sounds/bell.wav"});
    saveGroup(*t.store, CROOTData(2, "Hall", 0));
    t.store->writeValue("GLOBAL", StoreValue::dwordValue("LOG_TCP", 0));

    ASSERT_TRUE(load());
    EXPECT_EQ(controllers.size(), 1);
    EXPECT_EQ(controllers.find(5)->DeviceComment, "ID_5");
    EXPECT_EQ(mailKeys, QStringList{"MA_ID_8=office"});
    EXPECT_NE(mail.find(31), nullptr);
    EXPECT_EQ(mail.size(), 1);
    EXPECT_NE(messages.find(32), nullptr);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(sounds.size(), 2);
    EXPECT_EQ(sounds.find(44)->SoundPath, "/sounds/bell.wav");
    EXPECT_EQ(sounds.find(1)->SoundPath, "/opt/iomira/Siren.wav");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ObjectLoaderTest, ASecondKeyWithTheSameDeviceIdIsRejected) {
    saveControllerKey("ID_1", 5);
    saveControllerKey("ID_2", 5);
    ASSERT_TRUE(load());
    EXPECT_EQ(controllers.size(), 1);
    EXPECT_EQ(controllers.find(5)->DeviceComment, "ID_1");
    EXPECT_EQ(errors, QStringList{"Device ID is duplicated"});
}

TEST_F(ObjectLoaderTest, RefusedRegistrationsDropTheRecordButKeepTheKey) {
    for (int id : {1, 2, 3, 4})
        saveControllerKey(QStringLiteral("ID_%1").arg(id), id);
    registerController = [](const CQUORVISData& r) {
        const int results[] = {0, 1, -2, -1, -7};
        return results[r.DeviceId];
    };
    ASSERT_TRUE(load());
    EXPECT_EQ(controllers.size(), 1);
    EXPECT_NE(controllers.find(1), nullptr);
    EXPECT_EQ(errors, (QStringList{loadString(5000), "Device ID is duplicated", loadString(5002)}));
    EXPECT_EQ(runSqlite(t.path, "SELECT count(*) FROM keys WHERE name LIKE 'ID_%';\n"), "4\n");
}

TEST_F(ObjectLoaderTest, AStoredSoundOneReplacesTheBuiltInSiren) {
    saveSound(*t.store, {1, "Horn.wav", "/srv/Horn.wav"});
    ASSERT_TRUE(load());
    EXPECT_EQ(sounds.size(), 1);
    EXPECT_EQ(sounds.find(1)->SoundName, "Horn.wav");
}

TEST_F(ObjectLoaderTest, AFreshStoreOffersOnlyTheSiren) {
    ASSERT_TRUE(load());
    EXPECT_EQ(controllers.size(), 0);
    ASSERT_EQ(sounds.size(), 1);
    EXPECT_EQ(*sounds.find(1), (CSound{1, "Siren.wav", "/opt/iomira/Siren.wav"}));
}

class GroupLoaderTest : public ::testing::Test {
  protected:
    ~GroupLoaderTest() override { setLanguage(LANG_ENGLISH); }
    test::TempStore t;
    CROOTDataList groups;
};

TEST_F(GroupLoaderTest, AnEmptyStoreGetsTheDefaultGroupSaved) {
    setLanguage(LANG_CHINESE);
    ASSERT_TRUE(loadGroups(*t.store, groups));
    ASSERT_EQ(groups.size(), 1);
    const CROOTData* group = groups.GroupAt(0);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->RootName, loadString(151, LANG_CHINESE));
    EXPECT_EQ(runSqlite(t.path, "SELECT name, quote(data) FROM vals WHERE key LIKE 'ROOT_ID_%' "
                                "ORDER BY rowid;\n"),
              QStringLiteral("RootID|%1\nIndex|0\nRootName|'%2'\n")
                  .arg(group->RootID)
                  .arg(loadString(151, LANG_CHINESE)));
}

TEST_F(GroupLoaderTest, TheDefaultGroupFollowsTheLanguageInMemoryOnly) {
    saveGroup(*t.store, CROOTData(7, "Group", 0));
    saveGroup(*t.store, CROOTData(8, "Group", 1)); // not the default group: left alone
    setLanguage(LANG_KOREAN);
    ASSERT_TRUE(loadGroups(*t.store, groups));
    EXPECT_EQ(groups.find(7)->RootName, QString::fromUtf8("그룹"));
    EXPECT_EQ(groups.find(8)->RootName, "Group");
    EXPECT_EQ(
        runSqlite(t.path, "SELECT data FROM vals WHERE key='ROOT_ID_7' AND name='RootName';\n"),
        "Group\n");
}

TEST_F(GroupLoaderTest, AUserNamedDefaultGroupKeepsItsName) {
    saveGroup(*t.store, CROOTData(7, "Plant A", 0));
    setLanguage(LANG_CHINESE);
    ASSERT_TRUE(loadGroups(*t.store, groups));
    EXPECT_EQ(groups.find(7)->RootName, "Plant A");
}

TEST_F(GroupLoaderTest, ValueNamesMatchWithoutCaseAndALaterKeyReplacesTheSameId) {
    runSqlite(t.path,
              "INSERT INTO keys VALUES('ROOT_ID_1'),('ROOT_ID_9');"
              "INSERT INTO vals VALUES('ROOT_ID_1','rootid',4,3),('ROOT_ID_1','rootname',1,'A'),"
              "('ROOT_ID_9','ROOTID',4,3),('ROOT_ID_9','ROOTNAME',1,'B'),"
              "('ROOT_ID_9','INDEX',4,0);\n");
    ASSERT_TRUE(loadGroups(*t.store, groups));
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups.find(3)->RootName, "B");
}

// A store whose reads fail, as a busy or broken one does once its wait is over.
class UnreadableStore : public Store {
  public:
    bool readAll(std::vector<StoredKey>&) override { return false; }
    bool readKey(const QString&, KeyValues&) override { return false; }
    bool writeValues(const QString&, const std::vector<StoreValue>&) override {
        return ++writes, true;
    }
    bool deleteKey(const QString&) override { return ++writes, true; }
    QString lastError() const override { return "database is locked"; }
    int writes = 0;
};

TEST(UnreadableStore, LoadersReportTheFailureInsteadOfAnEmptyStore) {
    UnreadableStore store;
    CROOTDataList groups;
    EXPECT_FALSE(loadGroups(store, groups));
    EXPECT_TRUE(groups.empty()); // no default group invented over groups it could not see

    ControllerTable controllers;
    SoundLibrary sounds;
    CScheduleDataList mail, messages;
    ObjectLoadTargets targets{controllers, sounds, mail, messages, "/", {}, {}, {}, {}};
    EXPECT_FALSE(loadObjects(store, targets));
    EXPECT_EQ(sounds.size(), 0);

    GlobalSwitches switches;
    switches.logTcp = 7;
    EXPECT_FALSE(readGlobalSwitches(store, switches));
    EXPECT_EQ(switches.logTcp, 7);
    EXPECT_EQ(store.writes, 0);
    EXPECT_TRUE(storeReadMessage("/x/store.sqlite", store.lastError()).contains("/x/store.sqlite"));
}

} // namespace
} // namespace iomira
