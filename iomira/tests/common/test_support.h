#pragma once

#include "core/sqlite_store.h"
#include "core/user_prompts.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace iomira::test {

// Message boxes answered by the test: every text shown is kept, questions get `answer`.
class RecordingPrompts final : public UserPrompts {
  public:
    void error(const QString& text) override { shown << text; }
    void information(const QString& text) override { shown << text; }
    bool ask(const QString& text, bool) override {
        shown << text;
        ++questions;
        return answer;
    }
    QStringList shown;
    int questions = 0;
    bool answer = true;
};

// A store file of its own in a temporary folder, removed with the fixture.
struct TempStore {
    TempStore();
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<SqliteStore> store;
};

// Runs the sqlite3 command-line tool on `path` with `sql` on its standard input, the way
// another program would look at the store. Returns its standard output.
QString runSqlite(const QString& path, const QString& sql);

// Another program holding the store's write lock (a backup tool, a script) until release();
// `sql` runs inside its transaction and is committed by release().
class HeldByAnotherProgram {
  public:
    explicit HeldByAnotherProgram(const QString& path, const QByteArray& sql = {});
    ~HeldByAnotherProgram() { release(); }
    HeldByAnotherProgram(const HeldByAnotherProgram&) = delete;
    HeldByAnotherProgram& operator=(const HeldByAnotherProgram&) = delete;
    void release();

  private:
    QProcess other_;
};

// While it lives, file permissions hold for this thread also when the tests run as root: its
// file-system identity becomes an ordinary user's (setfsuid), which drops root's right to pass
// by them. Files made meanwhile belong to that user.
class AsOrdinaryUser {
  public:
    AsOrdinaryUser();
    ~AsOrdinaryUser();
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

    // Gives a file made before to the user the thread acts as: nobody when the tests run as
    // root, else the test's own user.
    static void hand(const QString& path);
};

// The permission bits of a file (07777), or -1 when it does not exist.
int fileMode(const QString& path);

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

} // namespace iomira::test
