#include "core/sqlite_store.h"

#include "core/store_files.h"
#include "core/string_table.h"
#include "core/system_error.h"
#include "core/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <string_view>
#include <unistd.h>

namespace iomira {

namespace {

// How long a statement waits for another program's lock before it gives up; the program's
// user interface sets a shorter wait (setBusyWait).
constexpr int kBusyWaitMs = 3000;

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS keys (name TEXT PRIMARY KEY COLLATE NOCASE);"
    "CREATE TABLE IF NOT EXISTS vals ("
    "  key  TEXT NOT NULL COLLATE NOCASE REFERENCES keys(name) ON DELETE CASCADE,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  type INTEGER NOT NULL,"
    "  data,"
    "  PRIMARY KEY (key, name));";

enum Statement {
    ADD_KEY,
    PUT_VALUE,
    DROP_VALUES,
    DROP_KEY,
    KEY_VALUES,
    ALL_KEYS,
    ALL_VALUES,
    KEYS_STARTING_WITH
};

const char* const kStatementSql[] = {
    "INSERT OR IGNORE INTO keys(name) VALUES(?1)",
    // A value saved again as it is costs a look-up, not a row deleted and written anew: a
    // controller's record is saved whole for every window move.
    "INSERT INTO vals(key, name, type, data) VALUES(?1, ?2, ?3, ?4) "
    "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data "
    "WHERE type IS NOT excluded.type OR data IS NOT excluded.data",
    "DELETE FROM vals WHERE key = ?1",
    "DELETE FROM keys WHERE name = ?1",
    "SELECT name, type, data FROM vals WHERE key = ?1",
    "SELECT name FROM keys ORDER BY name COLLATE NOCASE, name",
    // In the table's own order: no index is walked and no row is looked up through one.
    "SELECT key, name, type, data FROM vals",
    "SELECT name FROM keys WHERE substr(name, 1, length(?1)) = ?1 COLLATE NOCASE "
    "ORDER BY name COLLATE NOCASE, name",
};

QString text(const char* utf8) {
    return QString::fromUtf8(utf8 ? utf8 : "");
}

// A key name as the NOCASE collation compares it: ASCII letters folded, other bytes kept.
std::string nocaseKey(const char* utf8, int size) {
    std::string folded(utf8 ? utf8 : "", utf8 ? size_t(size) : 0);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return folded;
}

QString columnText(sqlite3_stmt* stmt, int column) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt, column));
}

// The value names of a whole store, each made once: thousands of controllers share one copy
// of "DeviceType" instead of holding one each.
class ValueNames {
  public:
    const QString& of(sqlite3_stmt* stmt, int column) {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        const std::string_view utf8(bytes ? bytes : "", size_t(sqlite3_column_bytes(stmt, column)));
        auto found = names_.find(utf8);
        if (found == names_.end())
            found = names_.emplace(std::string(utf8), columnText(stmt, column)).first;
        return found->second;
    }

  private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const noexcept {
            return std::hash<std::string_view>()(text);
        }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> names_;
};

// Reads one vals row; a type code or datum of the wrong kind leaves the value unusable.
StoreValue rowValue(sqlite3_stmt* stmt, int first, ValueNames* names = nullptr) {
    StoreValue v;
    v.name = names ? names->of(stmt, first) : columnText(stmt, first);
    const int type = sqlite3_column_int(stmt, first + 1);
    const int storage = sqlite3_column_type(stmt, first + 2);
    v.type = static_cast<StoreValueType>(0);
    if (type == STORE_DWORD && storage == SQLITE_INTEGER) {
        const sqlite3_int64 raw = sqlite3_column_int64(stmt, first + 2);
        if (raw >= std::numeric_limits<int32_t>::min() &&
            raw <= std::numeric_limits<uint32_t>::max()) {
            v.type = STORE_DWORD;
            v.dword = static_cast<int32_t>(static_cast<uint32_t>(raw));
        }
    } else if (type == STORE_SZ && storage == SQLITE_TEXT) {
        v.type = STORE_SZ;
        v.text = columnText(stmt, first + 2);
    } else if (type == STORE_BINARY && storage == SQLITE_BLOB) {
        v.type = STORE_BINARY;
        const auto* blob = static_cast<const char*>(sqlite3_column_blob(stmt, first + 2));
        v.binary = QByteArray(blob, sqlite3_column_bytes(stmt, first + 2));
    }
    return v;
}

QString reasonFor(int code, sqlite3* db) {
    switch (code & 0xFF) {
    case SQLITE_NOTADB:
        return loadString(TEXT_STORE_NOT_DATABASE);
    case SQLITE_CORRUPT:
        return loadString(TEXT_STORE_DAMAGED);
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
        return loadString(TEXT_STORE_NO_PERMISSION);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return loadString(TEXT_STORE_HELD);
    case SQLITE_FULL:
        return loadString(TEXT_STORE_DISK_FULL);
    default:
        return db ? text(sqlite3_errmsg(db)) : text(sqlite3_errstr(code));
    }
}

bool refusedByFolder(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

QString folderReason(const QString& storePath) {
    return loadString(TEXT_STORE_FOLDER_NOT_WRITABLE)
        .replace(QLatin1String("%s"), QFileInfo(storePath).absolutePath());
}

bool createEmptyFile(const QString& path, QString& reason) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        reason = folderReason(path);
        return false;
    }
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int error = errno;
        reason = refusedByFolder(error) ? folderReason(path) : systemErrorText(error);
        return false;
    }
    ::close(fd);
    return true;
}

// After the database file itself opened, a file SQLite cannot create or open for want of
// permission is one of its side files: the folder does not let us write.
bool sideFileRefused(sqlite3* db, int code) {
    return (code & 0xFF) == SQLITE_CANTOPEN && refusedByFolder(sqlite3_system_errno(db));
}

// Looks at the file without writing: it must be a healthy database holding our tables or none.
int checkExistingFile(sqlite3* db, QString& reason) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(
        db,
        "SELECT count(*), sum(name IN ('keys', 'vals')) FROM sqlite_schema WHERE type = 'table'",
        -1, &stmt, nullptr);
    int tables = 0, ours = 0;
    if (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        tables = sqlite3_column_int(stmt, 0);
        ours = sqlite3_column_int(stmt, 1);
        rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_OK) return rc;
    rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &stmt, nullptr);
    if (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        rc = columnText(stmt, 0) == QLatin1String("ok") ? SQLITE_OK : SQLITE_CORRUPT;
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_OK) return rc;
    if (tables > 0 && ours != 2) {
        reason = loadString(TEXT_STORE_FOREIGN);
        return SQLITE_ERROR;
    }
    if (sqlite3_db_readonly(db, "main") == 1) return SQLITE_READONLY;
    return SQLITE_OK;
}

} // namespace

QString defaultStorePath() {
    const QString configured = qEnvironmentVariable("IOMIRA_STORE");
    if (!configured.isEmpty()) return configured;
    return QDir::homePath() + QStringLiteral("/.config/TarvexSystems/Iomira/store.sqlite");
}

QString storeOpenMessage(const StoreOpenError& error) {
    return QString::asprintf(loadString(TEXT_STORE_UNUSABLE).toUtf8().constData(),
                             error.path.toUtf8().constData(), error.reason.toUtf8().constData());
}

QString storeReadMessage(const QString& path, const QString& reason) {
    return QString::asprintf(loadString(TEXT_STORE_UNREADABLE).toUtf8().constData(),
                             path.toUtf8().constData(), reason.toUtf8().constData());
}

QString storeWritesHeldMessage(const QString& path, const QString& reason) {
    return loadString(TEXT_STORE_WRITES_HELD).arg(path, reason);
}

QString storeWritesSavedMessage(const QString& path) {
    return loadString(TEXT_STORE_WRITES_SAVED).arg(path);
}

QString storeWritesLostMessage(const QString& path, const QString& reason, int records) {
    return loadString(TEXT_STORE_WRITES_LOST).arg(path, reason, QString::number(records));
}

std::unique_ptr<SqliteStore> SqliteStore::open(const QString& path, StoreOpenError* error) {
    StoreOpenError failure{path, {}};
    const StoreFiles files(path);
    auto refuse = [&](sqlite3* db, int code) -> std::unique_ptr<SqliteStore> {
        if (failure.reason.isEmpty()) failure.reason = reasonFor(code, db);
        sqlite3_close_v2(db);
        files.restore();
        if (error) *error = failure;
        return nullptr;
    };
    const QFileInfo info(path);
    if (info.isDir()) failure.reason = loadString(TEXT_STORE_IS_FOLDER);
    if (path.isEmpty() || info.isDir()) return refuse(nullptr, SQLITE_CANTOPEN);
    if (!files.storeExisted() && !createEmptyFile(path, failure.reason))
        return refuse(nullptr, SQLITE_CANTOPEN);
    files.makePrivate();

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) return refuse(db, rc);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyWaitMs);
    if ((rc = checkExistingFile(db, failure.reason)) != SQLITE_OK) {
        if (sideFileRefused(db, rc)) failure.reason = folderReason(path);
        return refuse(db, rc);
    }

    std::unique_ptr<SqliteStore> store(new SqliteStore(db, path));
    if (!store->setUp()) {
        failure.reason = sideFileRefused(db, sqlite3_extended_errcode(db)) ? folderReason(path)
                                                                           : store->lastError_;
        store.reset();
        return refuse(nullptr, SQLITE_CANTOPEN);
    }
    return store;
}

bool SqliteStore::setUp() {
    // Each commit reaches the WAL file before it returns, so a program crash loses nothing;
    // syncing at checkpoints only (NORMAL) keeps a save well under two milliseconds.
    return exec("PRAGMA journal_mode=WAL") && exec("PRAGMA synchronous=NORMAL") &&
           exec("PRAGMA foreign_keys=ON") && exec(kSchema) && prepareStatements();
}

SqliteStore::~SqliteStore() {
    for (sqlite3_stmt* stmt : statements_)
        sqlite3_finalize(stmt);
    sqlite3_close_v2(db_);
}

bool SqliteStore::prepareStatements() {
    static_assert(std::size(kStatementSql) == KEYS_STARTING_WITH + 1);
    static_assert(std::size(kStatementSql) == std::size(decltype(statements_){}));
    for (size_t i = 0; i < std::size(kStatementSql); ++i) {
        if (sqlite3_prepare_v3(db_, kStatementSql[i], -1, SQLITE_PREPARE_PERSISTENT,
                               &statements_[i], nullptr) != SQLITE_OK) {
            return fail("prepare");
        }
    }
    return true;
}

sqlite3_stmt* SqliteStore::statement(int which) {
    sqlite3_stmt* stmt = statements_[which];
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    return stmt;
}

bool SqliteStore::exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK || fail(sql);
}

void SqliteStore::setBusyWait(int milliseconds) {
    sqlite3_busy_timeout(db_, milliseconds);
}

bool SqliteStore::fail(const char* what) {
    const int code = sqlite3_extended_errcode(db_);
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_FULL:
    case SQLITE_READONLY:
        lastError_ = reasonFor(code, db_);
        break;
    default:
        lastError_ = QStringLiteral("%1: %2").arg(text(what), text(sqlite3_errmsg(db_)));
    }
    return false;
}

// Runs the reads in one read transaction, so that they all see the same file; on a failure no
// key is left.
bool SqliteStore::readTogether(std::vector<StoredKey>& keys, const std::function<bool()>& reads) {
    keys.clear();
    if (!exec("BEGIN")) return false;
    const bool read = reads();
    sqlite3_exec(db_, read ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
    if (!read) keys.clear();
    return read;
}

// The keys in order, then every value, each given to its key.
bool SqliteStore::readAll(std::vector<StoredKey>& keys) {
    std::unordered_map<std::string, size_t> at;
    return readTogether(keys, [&] { return readKeyNames(keys, at) && readEveryValue(keys, at); });
}

bool SqliteStore::readKeyNames(std::vector<StoredKey>& keys,
                               std::unordered_map<std::string, size_t>& at) {
    sqlite3_stmt* stmt = statement(ALL_KEYS);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        at.emplace(nocaseKey(name, sqlite3_column_bytes(stmt, 0)), keys.size());
        keys.push_back({columnText(stmt, 0), {}});
    }
    sqlite3_reset(stmt);
    return rc == SQLITE_DONE || fail("read");
}

bool SqliteStore::readEveryValue(std::vector<StoredKey>& keys,
                                 const std::unordered_map<std::string, size_t>& at) {
    sqlite3_stmt* stmt = statement(ALL_VALUES);
    ValueNames names;
    // A key's values mostly lie together: the last key's bytes spare most lookups.
    std::string lastKey;
    bool seenOne = false;
    StoredKey* last = nullptr;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* key = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        const auto size = size_t(sqlite3_column_bytes(stmt, 0));
        if (!seenOne || lastKey.compare(0, std::string::npos, key ? key : "", size) != 0) {
            seenOne = true;
            lastKey.assign(key ? key : "", size);
            const auto found = at.find(nocaseKey(key, int(size)));
            last = found == at.end() ? nullptr : &keys[found->second];
        }
        // A value whose key row is missing belongs to no key, as the join used to leave it.
        if (last) last->values.add(rowValue(stmt, 1, &names));
    }
    sqlite3_reset(stmt);
    return rc == SQLITE_DONE || fail("read");
}

// The few keys of one kind (the groups, say) without reading every controller's values.
bool SqliteStore::readKeysStartingWith(const QString& prefix, std::vector<StoredKey>& keys) {
    return readTogether(keys, [&] {
        bool read = readKeysNamed(prefix, keys);
        for (size_t i = 0; read && i < keys.size(); ++i)
            read = readKey(keys[i].name, keys[i].values);
        return read;
    });
}

bool SqliteStore::readKeysNamed(const QString& prefix, std::vector<StoredKey>& keys) {
    sqlite3_stmt* stmt = statement(KEYS_STARTING_WITH);
    const QByteArray prefixUtf8 = prefix.toUtf8();
    sqlite3_bind_text(stmt, 1, prefixUtf8.constData(), prefixUtf8.size(), SQLITE_STATIC);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        keys.push_back({columnText(stmt, 0), {}});
    sqlite3_reset(stmt);
    return rc == SQLITE_DONE || fail("read");
}

bool SqliteStore::readKey(const QString& key, KeyValues& values) {
    values = KeyValues();
    sqlite3_stmt* stmt = statement(KEY_VALUES);
    const QByteArray keyUtf8 = key.toUtf8();
    sqlite3_bind_text(stmt, 1, keyUtf8.constData(), keyUtf8.size(), SQLITE_STATIC);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        values.add(rowValue(stmt, 0));
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) {
        values = KeyValues();
        return fail("read");
    }
    return true;
}

bool SqliteStore::bindValue(sqlite3_stmt* stmt, const QString& key, const StoreValue& value) {
    const QByteArray keyUtf8 = key.toUtf8();
    const QByteArray nameUtf8 = value.name.toUtf8();
    sqlite3_bind_text(stmt, 1, keyUtf8.constData(), keyUtf8.size(), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, nameUtf8.constData(), nameUtf8.size(), SQLITE_TRANSIENT);
    sqlite3_bind_int(stmt, 3, value.type);
    if (value.type == STORE_DWORD) {
        sqlite3_bind_int(stmt, 4, value.dword);
    } else if (value.type == STORE_SZ) {
        const QByteArray data = value.text.toUtf8();
        sqlite3_bind_text(stmt, 4, data.constData(), data.size(), SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_blob(stmt, 4, value.binary.constData(), value.binary.size(), SQLITE_TRANSIENT);
    }
    return sqlite3_step(stmt) == SQLITE_DONE || fail("write");
}

bool SqliteStore::writeInTransaction(const QString& key, const std::vector<StoreValue>& values) {
    sqlite3_stmt* addKey = statement(ADD_KEY);
    const QByteArray keyUtf8 = key.toUtf8();
    sqlite3_bind_text(addKey, 1, keyUtf8.constData(), keyUtf8.size(), SQLITE_STATIC);
    if (sqlite3_step(addKey) != SQLITE_DONE) return fail("write");
    sqlite3_reset(addKey);
    for (const StoreValue& value : values) {
        if (!bindValue(statement(PUT_VALUE), key, value)) return false;
    }
    sqlite3_reset(statements_[PUT_VALUE]);
    return true;
}

bool SqliteStore::writeValues(const QString& key, const std::vector<StoreValue>& values) {
    if (!exec("BEGIN IMMEDIATE")) return false;
    if (!writeInTransaction(key, values) || !exec("COMMIT")) {
        const QString cause = lastError_;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        lastError_ = cause;
        return false;
    }
    return true;
}

bool SqliteStore::deleteKey(const QString& key) {
    if (!exec("BEGIN IMMEDIATE")) return false;
    const QByteArray keyUtf8 = key.toUtf8();
    bool ok = true;
    for (int which : {DROP_VALUES, DROP_KEY}) {
        sqlite3_stmt* stmt = statement(which);
        sqlite3_bind_text(stmt, 1, keyUtf8.constData(), keyUtf8.size(), SQLITE_STATIC);
        ok = ok && (sqlite3_step(stmt) == SQLITE_DONE || fail("delete"));
        sqlite3_reset(stmt);
    }
    if (!ok || !exec("COMMIT")) {
        const QString cause = lastError_;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        lastError_ = cause;
        return false;
    }
    return true;
}

} // namespace iomira
