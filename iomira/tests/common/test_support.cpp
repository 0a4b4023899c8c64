#include "common/test_support.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace iomira::test {

TempStore::TempStore() : path(dir.filePath(QStringLiteral("cfg/store.sqlite"))) {
    StoreOpenError error;
    store = SqliteStore::open(path, &error);
    EXPECT_TRUE(store) << error.reason.toStdString();
}

QString runSqlite(const QString& path, const QString& sql) {
    QProcess process;
    process.start(QStringLiteral(SQLITE3_CLI), {QStringLiteral("-batch"), path});
    EXPECT_TRUE(process.waitForStarted(10000));
    process.write(sql.toUtf8());
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(20000));
    const QByteArray err = process.readAllStandardError();
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

HeldByAnotherProgram::HeldByAnotherProgram(const QString& path, const QByteArray& sql) {
    other_.start(QStringLiteral(SQLITE3_CLI), {QStringLiteral("-batch"), path});
    EXPECT_TRUE(other_.waitForStarted(10000));
    other_.write("BEGIN IMMEDIATE; " + sql + " SELECT 'held';\n");
    while (!other_.readAllStandardOutput().contains("held")) {
        if (!other_.waitForReadyRead(10000)) {
            ADD_FAILURE() << "the other program did not take the store's write lock";
            break;
        }
    }
}

void HeldByAnotherProgram::release() {
    if (other_.state() == QProcess::NotRunning) return;
    other_.write("COMMIT; .quit\n");
    other_.closeWriteChannel();
    EXPECT_TRUE(other_.waitForFinished(10000));
}

namespace {

constexpr unsigned kNobody = 65534;

} // namespace

AsOrdinaryUser::AsOrdinaryUser() {
    if (::geteuid() != 0) return;
    ::setfsgid(kNobody);
    ::setfsuid(kNobody);
}

AsOrdinaryUser::~AsOrdinaryUser() {
    if (::geteuid() != 0) return;
    ::setfsuid(0);
    ::setfsgid(0);
}

void AsOrdinaryUser::hand(const QString& path) {
    if (::geteuid() == 0) ::lchown(QFile::encodeName(path).constData(), kNobody, kNobody);
}

int fileMode(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return -1;
    return int(info.st_mode & 07777);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace iomira::test
