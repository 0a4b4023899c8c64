// The command-line administration: its options, exit codes and messages, the refusal of a
// store that holds a configuration or runs a program, and the program run without a display.

#include "app/admin_commands.h"

#include "app/admin_session.h"
#include "common/test_support.h"
#include "core/controller_keys.h"
#include "core/store_lock.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::RecordingPrompts;

struct ParseCase {
    QStringList arguments;
    AdminCommand command;
    QString file;
    RestoreExisting existing;
};

TEST(AdminArguments, AreReadAsTheCommandAndItsFile) {
    setLanguage(LANG_ENGLISH);
    const ParseCase cases[] = {
        {{}, AdminCommand::None, {}, RestoreExisting::Ask},
        {{"-platform", "offscreen"}, AdminCommand::None, {}, RestoreExisting::Ask},
        {{"--help"}, AdminCommand::Help, {}, RestoreExisting::Ask},
        {{"--version"}, AdminCommand::Version, {}, RestoreExisting::Ask},
        {{"--version", "--help"}, AdminCommand::Help, {}, RestoreExisting::Ask},
        {{"--backup", "a.bin"}, AdminCommand::Backup, "a.bin", RestoreExisting::Ask},
        {{"--backup=b.bin"}, AdminCommand::Backup, "b.bin", RestoreExisting::Ask},
        {{"--restore", "a.bin"}, AdminCommand::Restore, "a.bin", RestoreExisting::Ask},
        {{"--merge", "--restore", "a.bin"}, AdminCommand::Restore, "a.bin", RestoreExisting::Merge},
        {{"--restore", "a.bin", "--replace"},
         AdminCommand::Restore,
         "a.bin",
         RestoreExisting::Replace},
        {{"--import", "plant.csv"}, AdminCommand::Import, "plant.csv", RestoreExisting::Ask},
        {{"--backup"}, AdminCommand::Invalid, {}, RestoreExisting::Ask},
        {{"--backup", "--restore", "x"}, AdminCommand::Invalid, {}, RestoreExisting::Ask},
        {{"--backup", "a", "--import", "b"}, AdminCommand::Invalid, {}, RestoreExisting::Ask},
        {{"--import", "a.csv", "--merge"}, AdminCommand::Invalid, {}, RestoreExisting::Merge},
        {{"--restore", "a", "--merge", "--replace"},
         AdminCommand::Invalid,
         {},
         RestoreExisting::Replace},
        {{"--backup", "a", "--verbose"}, AdminCommand::Invalid, {}, RestoreExisting::Ask},
        {{"--replace"}, AdminCommand::Invalid, {}, RestoreExisting::Ask},
    };
    for (const ParseCase& c : cases) {
        const AdminRequest request = parseAdminArguments(c.arguments);
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(request.command, c.command);
        if (c.command == AdminCommand::Invalid) {
            EXPECT_FALSE(request.error.isEmpty());
            continue;
        }
        EXPECT_EQ(request.file, c.file);
        EXPECT_EQ(request.existing, c.existing);
    }
}

class AdminCommands : public ::testing::Test {
  protected:
    AdminCommands() {
        setLanguage(LANG_ENGLISH);
        store = dir.filePath(QStringLiteral("store.sqlite"));
    }

    struct Run {
        int status;
        QString out;
        QString err;
    };

    Run run(const QStringList& arguments, const QString& storePath = {}) {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int status =
            runAdminCommand(parseAdminArguments(arguments), storePath.isEmpty() ? store : storePath,
                            outStream, errStream);
        return {status, out, err};
    }

    // A store with a group of its own, a server and a client.
    void fillStore(const QString& path) {
        RecordingPrompts prompts;
        QString error;
        auto session = AdminSession::open(path, AdminSession::Exclusive, prompts, &error);
        ASSERT_TRUE(session) << error.toStdString();
        const int rootId = session->directory().addGroupByName(QStringLiteral("북쪽 Plant"));
        ASSERT_GE(rootId, 0);
        CQUORVISData server;
        server.DeviceComment = QStringLiteral("Pump 泵");
        server.RootID = rootId;
        server.IsServer = 1;
        server.HostPort = 1502;
        server.AutomaticConnection = 1;
        CQUORVISData client;
        client.DeviceComment = QStringLiteral("Valve");
        client.RootID = rootId;
        client.HostAddr = QStringLiteral("127.0.0.1");
        client.HostPort = 502;
        ASSERT_EQ(session->directory().addTable({server, client}).added, 2);
    }

    std::vector<QString> comments(const QString& path) {
        RecordingPrompts prompts;
        QString error;
        auto session = AdminSession::open(path, AdminSession::ReadOnly, prompts, &error);
        std::vector<QString> found;
        if (!session) return found;
        session->controllers().forEach([&](const CQUORVISData& c) {
            const CROOTData* group = session->directory().groups().find(c.RootID);
            found.push_back((group ? group->RootName : QString()) + '/' + c.DeviceComment);
        });
        std::sort(found.begin(), found.end());
        return found;
    }

    QTemporaryDir dir;
    QString store;
};

TEST_F(AdminCommands, BackupAndRestoreCarryTheConfigurationToAFreshStore) {
    fillStore(store);
    const QString file = dir.filePath(QStringLiteral("plant.bin"));
    const Run backup = run({"--backup", file});
    EXPECT_EQ(backup.status, ADMIN_DONE) << backup.err.toStdString();
    EXPECT_TRUE(backup.err.isEmpty());
    EXPECT_EQ(backup.out.trimmed(), QStringLiteral("Backup written to %1: 2 groups, 2 controllers, "
                                                   "0 mail accounts, 0 schedules, 1 sounds.")
                                        .arg(file));
    EXPECT_EQ(QFileInfo(file).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);

    const QString fresh = dir.filePath(QStringLiteral("fresh.sqlite"));
    const Run restore = run({"--restore", file}, fresh);
    EXPECT_EQ(restore.status, ADMIN_DONE) << restore.err.toStdString();
    EXPECT_TRUE(restore.out.startsWith(
        QStringLiteral("Restored from %1: 2 groups, 2 controllers").arg(file)))
        << restore.out.toStdString();
    EXPECT_EQ(comments(fresh), comments(store));
    EXPECT_EQ(comments(fresh).size(), 2u);
}

TEST_F(AdminCommands, ARestoreIntoAConfiguredStoreNeedsToBeToldHow) {
    fillStore(store);
    const QString file = dir.filePath(QStringLiteral("plant.bin"));
    ASSERT_EQ(run({"--backup", file}).status, ADMIN_DONE);

    const Run refused = run({"--restore", file});
    EXPECT_EQ(refused.status, ADMIN_FAILED);
    EXPECT_EQ(refused.err.trimmed(), loadString(TEXT_CLI_STORE_NOT_EMPTY));
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(comments(store).size(), 2u);

    // Merging adds the client again and skips the server on its taken port.
    const Run merged = run({"--restore", file, "--merge"});
    EXPECT_EQ(merged.status, ADMIN_SKIPPED);
    EXPECT_EQ(merged.err.trimmed(), loadString(TEXT_CLI_SKIPPED_SERVER).arg("Pump 泵"));
    EXPECT_EQ(comments(store).size(), 3u);

    const Run replaced = run({"--restore", file, "--replace"});
    EXPECT_EQ(replaced.status, ADMIN_DONE) << replaced.err.toStdString();
    EXPECT_EQ(comments(store).size(), 2u);
}

TEST_F(AdminCommands, ARunningProgramBlocksChangesButNotABackup) {
    fillStore(store);
    const QString file = dir.filePath(QStringLiteral("plant.bin"));
    QString reason;
    auto program = StoreLock::acquire(store, &reason);
    ASSERT_TRUE(program) << reason.toStdString();
    EXPECT_EQ(run({"--backup", file}).status, ADMIN_DONE);
    const Run restore = run({"--restore", file, "--replace"});
    EXPECT_EQ(restore.status, ADMIN_FAILED);
    EXPECT_TRUE(restore.err.contains(store));
    const QString script = dir.filePath(QStringLiteral("more.csv"));
    test::writeFile(script, "Comment,HostAddr,HostPort\r\nNew,127.0.0.1,502\r\n");
    EXPECT_EQ(run({"--import", script}).status, ADMIN_FAILED);
    EXPECT_EQ(comments(store).size(), 2u);
}

TEST_F(AdminCommands, ImportCountsWhatWentInAndNamesWhatDidNot) {
    const QString script = dir.filePath(QStringLiteral("plant.csv"));
    test::writeFile(script, "Comment,Group,Product,HostAddr,HostPort\r\n"
                            "One,Line,TKA-35,127.0.0.1,502\r\n"
                            "Two,Line,TKA-35,127.0.0.2,502\r\n");
    const Run clean = run({"--import", script});
    EXPECT_EQ(clean.status, ADMIN_DONE) << clean.err.toStdString();
    EXPECT_EQ(clean.out.trimmed(),
              QStringLiteral("Imported from %1: 2 of 2 controllers.").arg(script));
    EXPECT_EQ(comments(store), std::vector<QString>({"Line/One", "Line/Two"}));

    // An empty cell shifts the row: it is still read, and named.
    test::writeFile(script, "Comment,Group,Product,HostAddr,HostPort\r\n"
                            "Three,,TKA-35,127.0.0.3,502\r\n");
    const Run shifted = run({"--import", script});
    EXPECT_EQ(shifted.status, ADMIN_SKIPPED);
    EXPECT_FALSE(shifted.err.isEmpty());

    const Run wrongForm = run({"--import", dir.filePath(QStringLiteral("plant.txt"))});
    EXPECT_EQ(wrongForm.status, ADMIN_FAILED);
}

TEST_F(AdminCommands, BadRequestsFailWithOneLine) {
    const Run missing = run({"--backup", dir.filePath(QStringLiteral("x.bin"))},
                            dir.filePath(QStringLiteral("none.sqlite")));
    EXPECT_EQ(missing.status, ADMIN_FAILED);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("none.sqlite"))));
    EXPECT_EQ(missing.err.count('\n'), 1);

    const Run unknown = run({"--backup", "a.bin", "--verbose"});
    EXPECT_EQ(unknown.status, ADMIN_FAILED);
    EXPECT_TRUE(unknown.err.contains("--verbose"));
    EXPECT_TRUE(unknown.err.contains("--help"));

    const QString damaged = dir.filePath(QStringLiteral("damaged.bin"));
    test::writeFile(damaged, QByteArray(16, '\x01'));
    const Run unreadable = run({"--restore", damaged});
    EXPECT_EQ(unreadable.status, ADMIN_FAILED);
    EXPECT_EQ(unreadable.err.trimmed(), loadString(TEXT_CANT_READ_FILE));
}

// The real program, without any display: the options must never touch a window system.
TEST_F(AdminCommands, TheProgramAdministersWithoutADisplay) {
    fillStore(store);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("IOMIRA_STORE"), store);
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    program.setProcessEnvironment(environment);
    const QString file = dir.filePath(QStringLiteral("cron.bin"));
    program.start(QStringLiteral(IOMIRA_PROGRAM), {QStringLiteral("--backup"), file});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), ADMIN_DONE) << program.readAllStandardError().toStdString();
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    program.start(QStringLiteral(IOMIRA_PROGRAM), {QStringLiteral("--help")});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), ADMIN_DONE);
    const QString usage = QString::fromLocal8Bit(program.readAllStandardOutput());
    for (const char* option :
         {"--backup", "--restore", "--replace", "--merge", "--import", "--version"})
        EXPECT_TRUE(usage.contains(QLatin1String(option))) << option;

    program.start(QStringLiteral(IOMIRA_PROGRAM), {QStringLiteral("--version")});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), ADMIN_DONE);
    EXPECT_EQ(QString::fromLocal8Bit(program.readAllStandardOutput()),
              programVersionLine() + QLatin1Char('\n'));
}

} // namespace
} // namespace iomira
