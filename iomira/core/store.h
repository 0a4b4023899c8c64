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
    QHash<QString, StoreValue> values_;
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
