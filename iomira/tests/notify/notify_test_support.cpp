#include "notify/notify_test_support.h"

#include <gtest/gtest.h>

namespace iomira::test {

TempStore::TempStore() {
    StoreOpenError error;
    store = SqliteStore::open(dir.filePath(QStringLiteral("store.sqlite")), &error);
    EXPECT_TRUE(store) << error.reason.toStdString();
}

// A second connection to the file: what it reads is what the next start would read.
std::unique_ptr<SqliteStore> TempStore::reopen() {
    StoreOpenError error;
    auto other = SqliteStore::open(dir.filePath(QStringLiteral("store.sqlite")), &error);
    EXPECT_TRUE(other) << error.reason.toStdString();
    return other;
}

int32_t TempStore::dword(const QString& key, const QString& name, int32_t fallback) {
    KeyValues values;
    if (auto other = reopen()) {
        EXPECT_TRUE(other->readKey(key, values));
    }
    return values.dword(name, fallback);
}

QString TempStore::text(const QString& key, const QString& name) {
    KeyValues values;
    if (auto other = reopen()) {
        EXPECT_TRUE(other->readKey(key, values));
    }
    return values.text(name);
}

bool TempStore::hasKey(const QString& key) {
    std::vector<StoredKey> keys;
    if (auto other = reopen()) {
        EXPECT_TRUE(other->readAll(keys));
    }
    for (const StoredKey& k : keys) {
        if (k.name.compare(key, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

bool ScriptedPrompts::ask(const QString& text, bool) {
    shown << QStringLiteral("ask: ") + text;
    if (answers.empty()) return answer;
    const bool next = answers.front();
    answers.pop_front();
    return next;
}

} // namespace iomira::test
