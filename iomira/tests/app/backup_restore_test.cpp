// Applying a read backup to a store: the replace and merge paths, conflicting servers, new
// ids and names where the file's are taken, and what a reopened store holds afterwards.

#include "app/backup_restore.h"

#include "app/admin_session.h"
#include "app/backup_file.h"
#include "common/test_support.h"
#include "core/global_settings.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::RecordingPrompts;

CQUORVISData controller(const QString& comment, int rootId, int index, int isServer = 0,
                        int port = 502) {
    CQUORVISData c;
    c.DeviceId = 100 + index;
    c.DeviceComment = comment;
    c.RootID = rootId;
    c.Index = index;
    c.IsServer = isServer;
    c.HostAddr = isServer ? QString() : QStringLiteral("127.0.0.1");
    c.HostPort = port;
    c.NumberOfPortInput = 4;
    c.NumberOfPortOutput = 4;
    return c;
}

CScheduleData schedule(int id, uint16_t fromHour) {
    CScheduleData s;
    s.ScheduleId = id;
    s.FromHour = fromHour;
    s.Monday = 1;
    return s;
}

// A backup of a plant: two groups, a server and clients, an account, schedules and sounds.
BackupContents plant() {
    BackupContents b;
    b.groups = {CROOTData(5, QStringLiteral("Pumps 펌프"), 0),
                CROOTData(7, QStringLiteral("Yard"), 1)};
    CQUORVISData server = controller(QStringLiteral("Well 우물"), 5, 0, 1, 1502);
    server.MailAccountID = 3;
    server.OnDiSoundId = {4, 1, 0, 0, 0, 0, 0, 0};
    b.controllers.emplace_back(server);
    b.controllers.emplace_back(controller(QStringLiteral("Tank 水箱"), 5, 1));
    b.controllers.emplace_back(std::nullopt);
    b.controllers.emplace_back(controller(QStringLiteral("Gate"), 7, 0));
    CMailAccount account;
    account.MailAccountId = 3;
    account.MailAccountComment = QStringLiteral("Office");
    account.MailServerAddress = QStringLiteral("127.0.0.1");
    account.Password = QStringLiteral("s3cret");
    b.mailAccounts = {account};
    b.mailSchedules = {schedule(2, 8)};
    b.messageSchedules = {schedule(2, 9), schedule(6, 10)};
    b.sounds = {CSound{1, QStringLiteral("Siren"), QStringLiteral("/opt/Siren.wav")},
                CSound{4, QStringLiteral("Horn"), QStringLiteral("/opt/horn.wav")}};
    BackupSwitches switches;
    switches.values[BACKUP_LOG_TCP] = 0;
    switches.values[BACKUP_USE_LOGIN] = 1;
    b.switches = switches;
    return b;
}

class Restore : public ::testing::Test {
  protected:
    Restore() {
        setLanguage(LANG_ENGLISH);
        path = dir.path() + QStringLiteral("/store.sqlite");
        reopen();
    }

    void reopen() {
        session.reset();
        QString error;
        session = AdminSession::open(path, AdminSession::Exclusive, prompts, &error);
        ASSERT_TRUE(session) << error.toStdString();
    }

    RestoreSummary apply(BackupContents contents, RestoreExisting existing) {
        ConfigurationTables t = session->tables();
        RestoreSummary summary = applyRestore(t, std::move(contents), prompts, existing);
        reopen();
        return summary;
    }

    QStringList groupNames() {
        QStringList names;
        const CROOTDataList& groups = session->directory().groups();
        for (int i = 0; i < groups.size(); ++i)
            names << groups.GroupAt(i)->RootName;
        return names;
    }

    const CQUORVISData* byComment(const QString& comment, int skip = 0) {
        const CQUORVISData* found = nullptr;
        session->controllers().forEach([&](const CQUORVISData& c) {
            if (!found && c.DeviceComment == comment && skip-- == 0) found = &c;
        });
        return found;
    }

    QString groupOf(const CQUORVISData& c) {
        const CROOTData* group = session->directory().groups().find(c.RootID);
        return group ? group->RootName : QStringLiteral("<none>");
    }

    QTemporaryDir dir;
    QString path;
    RecordingPrompts prompts;
    std::unique_ptr<AdminSession> session;
};

TEST_F(Restore, ReplaceLeavesExactlyTheFilesConfiguration) {
    ASSERT_TRUE(holdsOnlyDefaults(session->tables()));
    const RestoreSummary summary = apply(plant(), RestoreExisting::Replace);
    EXPECT_TRUE(summary.replaced);
    EXPECT_EQ(summary.groups, 2);
    EXPECT_EQ(summary.controllers, 3);
    EXPECT_EQ(summary.mailAccounts, 1);
    EXPECT_EQ(summary.schedules, 3);
    EXPECT_EQ(summary.sounds, 2);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();

    EXPECT_EQ(groupNames(), QStringList({QStringLiteral("Pumps 펌프"), QStringLiteral("Yard")}));
    EXPECT_EQ(session->directory().groups().find(5)->Index, 0);
    const CQUORVISData* well = byComment(QStringLiteral("Well 우물"));
    const CQUORVISData* tank = byComment(QStringLiteral("Tank 水箱"));
    const CQUORVISData* gate = byComment(QStringLiteral("Gate"));
    ASSERT_TRUE(well && tank && gate);
    EXPECT_EQ(std::make_pair(well->RootID, well->Index), std::make_pair(5, 0));
    EXPECT_EQ(std::make_pair(tank->RootID, tank->Index), std::make_pair(5, 1));
    EXPECT_EQ(std::make_pair(gate->RootID, gate->Index), std::make_pair(7, 0));
    // Nothing was in use after the deletion: the ids and references of the file stay.
    EXPECT_EQ(well->MailAccountID, 3);
    EXPECT_EQ(well->OnDiSoundId[0], 4);
    ConfigurationTables t = session->tables();
    ASSERT_TRUE(t.mailAccounts.find(3));
    EXPECT_EQ(t.mailAccounts.find(3)->Password, QStringLiteral("s3cret"));
    EXPECT_EQ(t.mailSchedules.size(), 1);
    EXPECT_EQ(t.messageSchedules.size(), 2);
    EXPECT_EQ(t.messageSchedules.find(6)->FromHour, 10);
    ASSERT_TRUE(t.sounds.find(4));
    EXPECT_EQ(t.sounds.find(1)->SoundPath, QStringLiteral("/opt/Siren.wav"));
    EXPECT_EQ(getGlobal(t.store, LOG_TCP), 0);
    EXPECT_EQ(getGlobal(t.store, USE_LOGIN), 1);
    EXPECT_EQ(t.switches.logTcp, 0);
    // Switches the file did not carry keep their values.
    EXPECT_EQ(getGlobal(t.store, LOG_INPUT), 1);
    EXPECT_FALSE(holdsOnlyDefaults(t));
}

TEST_F(Restore, TheLanguageAndTheDeletingOfOldLogFilesStayOutOfBackups) {
    Store& store = session->tables().store;
    ASSERT_TRUE(setGlobal(store, LANGUAGE, 1));
    ASSERT_TRUE(setGlobal(store, LOG_DELETE_OLD_FILES, 1));
    ASSERT_TRUE(setGlobal(store, LOG_DELETE_OLD_FILES_DAYS, 90));
    ConfigurationTables before = session->tables();
    QString error;
    const QByteArray file = encodeBackup(backupOf(before), &error);
    ASSERT_FALSE(file.isEmpty()) << error.toStdString();

    ASSERT_TRUE(setGlobal(store, LANGUAGE, 2));
    ASSERT_TRUE(setGlobal(store, LOG_DELETE_OLD_FILES, 0));
    ASSERT_TRUE(setGlobal(store, LOG_DELETE_OLD_FILES_DAYS, 7));
    BackupReadOutcome read = decodeBackup(file);
    ASSERT_EQ(read.status, BackupReadStatus::Ok);
    apply(std::move(read.contents), RestoreExisting::Replace);
    ConfigurationTables t = session->tables();
    EXPECT_EQ(getGlobal(t.store, LANGUAGE), 2);
    EXPECT_EQ(getGlobal(t.store, LOG_DELETE_OLD_FILES), 0);
    EXPECT_EQ(getGlobal(t.store, LOG_DELETE_OLD_FILES_DAYS), 7);
    EXPECT_EQ(t.switches.logDeleteOldFilesDays, 7);
}

TEST_F(Restore, MergeRenamesTakenGroupsAndRenumbersWhatIsInUse) {
    // The default group is named as the backup's default group; an account and a sound of
    // this computer use the file's ids.
    BackupContents file = plant();
    file.groups[1].RootName = loadString(TEXT_GROUP);
    {
        ConfigurationTables t = session->tables();
        CMailAccount mine;
        mine.MailAccountId = 3;
        mine.MailAccountComment = QStringLiteral("Office");
        t.mailAccounts.insert(mine);
        ASSERT_TRUE(t.sounds.add(t.store, CSound{4, QStringLiteral("Bell"), QStringLiteral("/b")}));
        const RestoreSummary summary = applyRestore(t, file, prompts, RestoreExisting::Merge);
        EXPECT_FALSE(summary.replaced);
        EXPECT_EQ(summary.controllers, 3);
        reopen();
    }
    EXPECT_EQ(groupNames(), QStringList({loadString(TEXT_GROUP), QStringLiteral("Pumps 펌프"),
                                         loadString(TEXT_GROUP) + QStringLiteral("(1)")}));
    const CQUORVISData* gate = byComment(QStringLiteral("Gate"));
    ASSERT_TRUE(gate);
    EXPECT_EQ(groupOf(*gate), loadString(TEXT_GROUP) + QStringLiteral("(1)"));

    ConfigurationTables t = session->tables();
    const CQUORVISData* well = byComment(QStringLiteral("Well 우물"));
    ASSERT_TRUE(well);
    // The account arrived with a new id and a new name, and its controller followed it.
    ASSERT_NE(well->MailAccountID, 3);
    const CMailAccount* account = t.mailAccounts.find(well->MailAccountID);
    ASSERT_TRUE(account);
    EXPECT_EQ(account->MailAccountComment, QStringLiteral("Office(1)"));
    // The horn got a new id and the controller still plays the horn; the built-in siren
    // is played as before.
    const CSound* played = t.sounds.find(well->OnDiSoundId[0]);
    ASSERT_TRUE(played);
    EXPECT_EQ(played->SoundName, QStringLiteral("Horn"));
    EXPECT_EQ(t.sounds.find(4)->SoundName, QStringLiteral("Bell"));
    EXPECT_EQ(well->OnDiSoundId[1], 1);
}

TEST_F(Restore, ASecondMergeListsTheServersAndAddsTheClientsAgain) {
    apply(plant(), RestoreExisting::Merge);
    const RestoreSummary second = apply(plant(), RestoreExisting::Merge);
    EXPECT_EQ(second.skipped, QStringList{QStringLiteral("Well 우물")});
    EXPECT_EQ(second.controllers, 2);
    EXPECT_TRUE(byComment(QStringLiteral("Tank 水箱"), 1));
    EXPECT_FALSE(byComment(QStringLiteral("Well 우물"), 1));
    EXPECT_EQ(session->controllers().size(), 5);
}

TEST_F(Restore, AskedOperatorWhoStopsAtTheConflictKeepsOnlyTheSwitches) {
    // A server of this computer on the file's port makes the conflict.
    {
        ConfigurationTables t = session->tables();
        ASSERT_GE(t.directory.addTable({controller(QStringLiteral("Mine"), 0, 0, 1, 1502)}).added,
                  1);
    }
    BackupContents file = plant();
    // Asked with the default answer first: not replaced, so the own server stays.
    prompts.answer = false;
    {
        ConfigurationTables t = session->tables();
        const RestoreSummary summary = applyRestore(t, file, prompts, RestoreExisting::Ask);
        EXPECT_TRUE(summary.stopped);
        EXPECT_EQ(prompts.questions, 2);
        EXPECT_TRUE(prompts.shown.last().startsWith(QStringLiteral("Well 우물\n")));
        EXPECT_TRUE(prompts.shown.last().endsWith(loadString(TEXT_ALREADY_REGISTERED)));
        reopen();
    }
    EXPECT_EQ(session->controllers().size(), 1);
    EXPECT_EQ(groupNames().size(), 1);
    ConfigurationTables t = session->tables();
    EXPECT_EQ(t.mailAccounts.size(), 0);
    EXPECT_EQ(getGlobal(t.store, LOG_TCP), 0);
}

TEST_F(Restore, YesDeletesEverythingBeforeConflictsAreLookedFor) {
    // The own controller is a server on the file's port: once deleted it conflicts no more.
    BackupContents file = plant();
    int question = 0;
    class Answers final : public UserPrompts {
      public:
        explicit Answers(int& count) : count_(count) {}
        void error(const QString&) override {}
        void information(const QString&) override {}
        bool ask(const QString&, bool) override { return ++count_ == 1; }

      private:
        int& count_;
    } answers(question);
    {
        ConfigurationTables t = session->tables();
        ASSERT_EQ(t.directory.addTable({controller(QStringLiteral("Mine"), 0, 0, 1, 1502)}).added,
                  1);
        const RestoreSummary summary = applyRestore(t, file, answers, RestoreExisting::Ask);
        EXPECT_TRUE(summary.replaced);
        EXPECT_FALSE(summary.stopped);
        EXPECT_TRUE(summary.skipped.isEmpty());
        reopen();
    }
    EXPECT_EQ(question, 1);
    EXPECT_EQ(session->controllers().size(), 3);
    EXPECT_FALSE(byComment(QStringLiteral("Mine")));
}

TEST_F(Restore, AGroupOfThirtyFiveIsSplitAndTheTableProgresses) {
    BackupContents file;
    file.groups = {CROOTData(9, QStringLiteral("Line"), 0)};
    for (int i = 0; i < 35; ++i)
        file.controllers.emplace_back(controller(QStringLiteral("C%1").arg(i), 9, i));
    int calls = 0;
    ConfigurationTables t = session->tables();
    const RestoreSummary summary =
        applyRestore(t, file, prompts, RestoreExisting::Replace, [&](int done, int total) {
            EXPECT_EQ(total, 35);
            EXPECT_EQ(done, ++calls);
        });
    EXPECT_EQ(calls, 35);
    EXPECT_EQ(summary.controllers, 35);
    reopen();
    EXPECT_EQ(groupNames(), QStringList({QStringLiteral("Line"), QStringLiteral("Line(1)")}));
    const CQUORVISData* last = byComment(QStringLiteral("C34"));
    ASSERT_TRUE(last);
    EXPECT_EQ(groupOf(*last), QStringLiteral("Line(1)"));
    EXPECT_EQ(last->Index, 4);
    EXPECT_EQ(byComment(QStringLiteral("C29"))->Index, 29);
}

TEST_F(Restore, AGroupWhoseControllersAllConflictIsDroppedAndOrphansFindAGroup) {
    {
        ConfigurationTables t = session->tables();
        ASSERT_EQ(t.directory.addTable({controller(QStringLiteral("Mine"), 0, 0, 1, 1502)}).added,
                  1);
    }
    BackupContents file;
    file.groups = {CROOTData(5, QStringLiteral("Servers"), 0),
                   CROOTData(6, QStringLiteral("Empty"), 1)};
    file.controllers.emplace_back(controller(QStringLiteral("Twin"), 5, 0, 1, 1502));
    // Names a group the file does not hold.
    file.controllers.emplace_back(controller(QStringLiteral("Stray"), 77, 0));
    const RestoreSummary summary = apply(file, RestoreExisting::Merge);
    EXPECT_EQ(summary.skipped, QStringList{QStringLiteral("Twin")});
    EXPECT_EQ(groupNames(), QStringList({loadString(TEXT_GROUP), QStringLiteral("Empty")}));
    const CQUORVISData* stray = byComment(QStringLiteral("Stray"));
    ASSERT_TRUE(stray);
    EXPECT_EQ(groupOf(*stray), loadString(TEXT_GROUP));
}

TEST_F(Restore, ControllersWithoutAnyGroupLeftGetADefaultGroup) {
    BackupContents file;
    file.controllers.emplace_back(controller(QStringLiteral("Alone"), 3, 0));
    const RestoreSummary summary = apply(file, RestoreExisting::Replace);
    EXPECT_EQ(summary.controllers, 1);
    EXPECT_EQ(groupNames(), QStringList{loadString(TEXT_GROUP)});
    const CQUORVISData* alone = byComment(QStringLiteral("Alone"));
    ASSERT_TRUE(alone);
    EXPECT_EQ(groupOf(*alone), loadString(TEXT_GROUP));
}

TEST_F(Restore, ASecondSessionOnALockedStoreIsRefusedButAReaderIsNot) {
    QString error;
    RecordingPrompts other;
    EXPECT_FALSE(AdminSession::open(path, AdminSession::Exclusive, other, &error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_TRUE(AdminSession::open(path, AdminSession::ReadOnly, other, &error));
    session.reset();
    EXPECT_TRUE(AdminSession::open(path, AdminSession::Exclusive, other, &error));
}

} // namespace
} // namespace iomira
