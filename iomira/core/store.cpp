#include "core/store.h"

namespace iomira {

namespace {
// Value names are ASCII; folding them the way the store's NOCASE collation does is enough.
QString foldName(const QString& name) {
    return name.toLower();
}
} // namespace

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
    const QString key = foldName(value.name);
    values_.insert(key, std::move(value));
}

const StoreValue* KeyValues::find(const QString& name, StoreValueType type) const {
    const auto it = values_.constFind(foldName(name));
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
