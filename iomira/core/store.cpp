#include "core/store.h"

#include <algorithm>

namespace iomira {

namespace {
char16_t foldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}
} // namespace

bool operator==(const ValueName& a, const ValueName& b) noexcept {
    const qsizetype size = a.text.size();
    if (size != b.text.size()) return false;
    const QChar* x = a.text.constData();
    const QChar* y = b.text.constData();
    for (qsizetype i = 0; i < size; ++i) {
        if (foldAscii(x[i].unicode()) != foldAscii(y[i].unicode())) return false;
    }
    return true;
}

size_t qHash(const ValueName& name, size_t seed) noexcept {
    size_t hash = seed ^ size_t(name.text.size());
    for (const QChar c : name.text)
        hash = hash * 31 + foldAscii(c.unicode());
    // Names differing in their last character must not land in neighbouring buckets.
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdULL;
    hash ^= hash >> 33;
    return hash;
}

bool Store::readKeysStartingWith(const QString& prefix, std::vector<StoredKey>& keys) {
    if (!readAll(keys)) return false;
    keys.erase(std::remove_if(keys.begin(), keys.end(),
                              [&](const StoredKey& key) {
                                  return !key.name.startsWith(prefix, Qt::CaseInsensitive);
                              }),
               keys.end());
    return true;
}

StoreValue StoreValue::dwordValue(QString name, int32_t value) {
    StoreValue v;
    v.name = std::move(name);
    v.type = STORE_DWORD;
    v.dword = value;
    return v;
}

StoreValue StoreValue::textValue(QString name, QString value) {
    StoreValue v;
    v.name = std::move(name);
    v.type = STORE_SZ;
    v.text = std::move(value);
    return v;
}

StoreValue StoreValue::binaryValue(QString name, QByteArray value) {
    StoreValue v;
    v.name = std::move(name);
    v.type = STORE_BINARY;
    v.binary = std::move(value);
    return v;
}

void KeyValues::add(StoreValue value) {
    ValueName key{value.name};
    values_.emplace(std::move(key), std::move(value));
}

const StoreValue* KeyValues::find(const QString& name, StoreValueType type) const {
    const auto it = values_.constFind(ValueName{name});
    if (it == values_.constEnd() || it->type != type) return nullptr;
    return &*it;
}

bool KeyValues::has(const QString& name, StoreValueType type) const {
    return find(name, type) != nullptr;
}

int32_t KeyValues::dword(const QString& name, int32_t fallback) const {
    const StoreValue* v = find(name, STORE_DWORD);
    return v ? v->dword : fallback;
}

QString KeyValues::text(const QString& name, const QString& fallback) const {
    const StoreValue* v = find(name, STORE_SZ);
    return v ? v->text : fallback;
}

QByteArray KeyValues::binary(const QString& name) const {
    const StoreValue* v = find(name, STORE_BINARY);
    return v ? v->binary : QByteArray();
}

} // namespace iomira
