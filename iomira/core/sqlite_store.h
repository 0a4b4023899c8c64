#pragma once

#include "core/store.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace iomira {

// Why a store file could not be used: the program shows it and ends without touching the file.
struct StoreOpenError {
    QString path;
    QString reason;
};

// The longest a statement may wait for another program on the user interface's thread.
constexpr int kInteractiveStoreWaitMs = 80;

// $IOMIRA_STORE when set, else the per-user file under ~/.config.
QString defaultStorePath();
// The localised message naming the file and the reason.
QString storeOpenMessage(const StoreOpenError& error);
// The localised message for a store that opened but could not be read (lastError()).
QString storeReadMessage(const QString& path, const QString& reason);
// The localised messages for writes the file refused and that are kept to be written again:
// held, all saved after all, and still held when the program ends (records: keys held).
QString storeWritesHeldMessage(const QString& path, const QString& reason);
QString storeWritesSavedMessage(const QString& path);
QString storeWritesLostMessage(const QString& path, const QString& reason, int records);

// The store as one SQLite file in WAL mode; each write is one committed transaction.
class SqliteStore final : public Store {
  public:
    // Creates a missing file; refuses a file that is not a usable store and leaves its folder
    // as it was. Every file of an opened store is mode 0600.
    static std::unique_ptr<SqliteStore> open(const QString& path, StoreOpenError* error);
    ~SqliteStore() override;

    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    bool readAll(std::vector<StoredKey>& keys) override;
    bool readKey(const QString& key, KeyValues& values) override;
    bool readKeysStartingWith(const QString& prefix, std::vector<StoredKey>& keys) override;
    bool writeValues(const QString& key, const std::vector<StoreValue>& values) override;
    bool deleteKey(const QString& key) override;
    QString lastError() const override { return lastError_; }

    const QString& path() const { return path_; }
    // How long a statement waits for another program holding the file (3 s when opened).
    void setBusyWait(int milliseconds);

  private:
    SqliteStore(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}

    bool setUp();
    bool prepareStatements();
    sqlite3_stmt* statement(int which);
    bool exec(const char* sql);
    bool fail(const char* what);
    bool writeInTransaction(const QString& key, const std::vector<StoreValue>& values);
    bool bindValue(sqlite3_stmt* stmt, const QString& key, const StoreValue& value);
    bool readTogether(std::vector<StoredKey>& keys, const std::function<bool()>& reads);
    bool readKeyNames(std::vector<StoredKey>& keys, std::unordered_map<std::string, size_t>& at);
    bool readKeysNamed(const QString& prefix, std::vector<StoredKey>& keys);
    bool readEveryValue(std::vector<StoredKey>& keys,
                        const std::unordered_map<std::string, size_t>& at);

    sqlite3* db_;
    QString path_;
    QString lastError_;
    sqlite3_stmt* statements_[8] = {};
};

} // namespace iomira
