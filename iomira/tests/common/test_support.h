#pragma once

#include "core/sqlite_store.h"
#include "core/user_prompts.h"

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

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

} // namespace iomira::test
