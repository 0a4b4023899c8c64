#include "core/group_store.h"

#include "core/string_table.h"
#include "core/texts.h"

namespace iomira {

namespace {

const QLatin1String kGroupPrefix("ROOT_ID_");

// A default group still named after another language's default follows the current one.
void localiseDefaultGroup(CROOTDataList& groups) {
    CROOTData* first = groups.GroupAt(0);
    if (!first) return;
    const QString current = loadString(TEXT_GROUP);
    if (first->RootName == current) return;
    for (int language : {LANG_KOREAN, LANG_ENGLISH, LANG_CHINESE}) {
        if (first->RootName == loadString(TEXT_GROUP, language)) {
            first->RootName = current;
            return;
        }
    }
}

} // namespace

QString groupKeyName(int rootId) {
    return QStringLiteral("ROOT_ID_%1").arg(rootId);
}

bool saveGroup(Store& store, const CROOTData& group) {
    return store.writeValues(groupKeyName(group.RootID),
                             {StoreValue::dwordValue(QStringLiteral("RootID"), group.RootID),
                              StoreValue::dwordValue(QStringLiteral("Index"), group.Index),
                              StoreValue::textValue(QStringLiteral("RootName"), group.RootName)});
}

bool deleteGroup(Store& store, int rootId) {
    return store.deleteKey(groupKeyName(rootId));
}

bool loadGroups(Store& store, CROOTDataList& groups) {
    std::vector<StoredKey> keys;
    if (!store.readKeysStartingWith(kGroupPrefix, keys)) return false;
    for (const StoredKey& key : keys) {
        const KeyValues& v = key.values;
        groups.insert(std::make_unique<CROOTData>(v.dword(QStringLiteral("RootID"), 0),
                                                  v.text(QStringLiteral("RootName")),
                                                  v.dword(QStringLiteral("Index"), 0)));
    }
    localiseDefaultGroup(groups);
    if (!groups.empty()) return true;
    auto group = std::make_unique<CROOTData>(groups.NewGroupId(), loadString(TEXT_GROUP), 0);
    const bool saved = saveGroup(store, *group);
    groups.insert(std::move(group));
    return saved;
}

} // namespace iomira
