#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

namespace iomira {

// Value kinds, numbered as the registry numbers them (and as the store file records them).
enum StoreValueType { STORE_SZ = 1, STORE_BINARY = 3, STORE_DWORD = 4 };

struct StoreValue {
    QString name;
    StoreValueType type = STORE_DWORD;
    int32_t dword = 0;
    QString text;
    QByteArray binary;

    static StoreValue dwordValue(QString name, int32_t value);
    static StoreValue textValue(QString name, QString value);
    static StoreValue binaryValue(QString name, QByteArray value);
};

// A value's name as the store's NOCASE collation sees it: ASCII letters without regard to
// case, every other character as it is. Hashed and compared without a folded copy.
struct ValueName {
    QString text;
};
bool operator==(const ValueName& a, const ValueName& b) noexcept;
size_t qHash(const ValueName& name, size_t seed = 0) noexcept;

// The values of one key, looked up without regard to case. A missing value or one of another
// type reads as the caller's default.
class KeyValues {
  public:
    void add(StoreValue value);
    bool has(const QString& name, StoreValueType type) const;
    int32_t dword(const QString& name, int32_t fallback) const;
    QString text(const QString& name, const QString& fallback = {}) const;
    QByteArray binary(const QString& name) const;
    int count() const { return static_cast<int>(values_.size()); }

  private:
    const StoreValue* find(const QString& name, StoreValueType type) const;
    QHash<ValueName, StoreValue> values_;
};

struct StoredKey {
    QString name;
    KeyValues values;
};

// The program's configuration: sub-keys under one root, each holding named values. Every
// write is committed before it returns. Failures leave lastError() describing the cause.
class Store {
  public:
    virtual ~Store() = default;

    // Every sub-key with its values, keys in ascending order without regard to case.
    virtual bool readAll(std::vector<StoredKey>& keys) = 0;
    virtual bool readKey(const QString& key, KeyValues& values) = 0;
    // The keys whose names start with `prefix` without regard to case, in readAll's order.
    // This one reads every key and keeps those; a store that can do better does.
    virtual bool readKeysStartingWith(const QString& prefix, std::vector<StoredKey>& keys);
    // Creates the key if needed and sets the values, all in one commit.
    virtual bool writeValues(const QString& key, const std::vector<StoreValue>& values) = 0;
    // Removes the key and its values; a missing key counts as removed.
    virtual bool deleteKey(const QString& key) = 0;
    virtual QString lastError() const = 0;

    bool writeValue(const QString& key, const StoreValue& value) {
        return writeValues(key, {value});
    }
};

} // namespace iomira
