#pragma once

#include "core/sound_output.h"
#include "core/sqlite_store.h"
#include "core/user_prompts.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace iomira::test {

// A store file in a folder of the test's own.
struct TempStore {
    TempStore();
    QTemporaryDir dir;
    std::unique_ptr<SqliteStore> store;

    // Reads one value back from the file, as the next start would.
    int32_t dword(const QString& key, const QString& name, int32_t fallback = -12345);
    QString text(const QString& key, const QString& name);
    bool hasKey(const QString& key);

  private:
    std::unique_ptr<SqliteStore> reopen();
};

// Message boxes answered by the test: every box is kept as "kind: text"; questions take the
// next scripted answer, or `answer` when none is left.
class ScriptedPrompts final : public UserPrompts {
  public:
    void error(const QString& text) override { shown << QStringLiteral("error: ") + text; }
    void information(const QString& text) override {
        shown << QStringLiteral("information: ") + text;
    }
    void warning(const QString& text) override { shown << QStringLiteral("warning: ") + text; }
    bool ask(const QString& text, bool) override;

    QStringList shown;
    std::deque<bool> answers;
    bool answer = true;
};

// Takes the place of the sound device for the test's lifetime.
class RecordingOutput final : public SoundOutput {
  public:
    RecordingOutput() { setSoundOutput(this); }
    ~RecordingOutput() override { setSoundOutput(nullptr); }
    void play(const QString& path) override { played << path; }
    QStringList played;
};

// A store whose every write and delete fails, as a full disk or a read-only file would.
class FailingStore final : public Store {
  public:
    bool readAll(std::vector<StoredKey>&) override { return true; }
    bool readKey(const QString&, KeyValues&) override { return true; }
    bool writeValues(const QString&, const std::vector<StoreValue>&) override { return false; }
    bool deleteKey(const QString&) override { return false; }
    QString lastError() const override { return QStringLiteral("disk full"); }
};

} // namespace iomira::test
