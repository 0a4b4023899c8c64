#include "core/controller_keys.h"

#include "core/device_family.h"

#include <functional>
#include <span>
#include <type_traits>
#include <unordered_map>

namespace iomira {

namespace {

using R = CQUORVISData;

// "%d" in a value name (or in a text default) takes the index of the value.
QString indexed(const char* format, int n) {
    return QString::fromLatin1(format).replace(QLatin1String("%d"), QString::number(n));
}

template <typename T> struct IsArray : std::false_type {};
template <typename T, size_t N> struct IsArray<std::array<T, N>> : std::true_type {};

// The field behind a value: the member itself, or element n of an array member.
template <auto Member, typename Record> auto& field(Record& record, int n) {
    auto& member = record.*Member;
    if constexpr (IsArray<std::remove_cvref_t<decltype(member)>>::value) {
        return member[static_cast<size_t>(n)];
    } else {
        return member;
    }
}

// One stored value of the controller key: name, type, load default and the field it holds.
struct ControllerValue {
    const char* name;
    StoreValueType type;
    int32_t dwordDefault = 0;
    const char* textDefault = "";
    int maxLength = -1; // texts longer than this are cut on both sides; -1 keeps any length
    int32_t (*dword)(const R&, int) = nullptr;
    void (*setDword)(R&, int, int32_t) = nullptr;
    QString (*text)(const R&, int) = nullptr;
    void (*setText)(R&, int, const QString&) = nullptr;
};

template <auto Member> constexpr ControllerValue dword(const char* name, int32_t loadDefault = 0) {
    return {.name = name,
            .type = STORE_DWORD,
            .dwordDefault = loadDefault,
            .dword = [](const R& r, int n) { return static_cast<int32_t>(field<Member>(r, n)); },
            .setDword =
                [](R& r, int n, int32_t value) {
                    auto& f = field<Member>(r, n);
                    f = static_cast<std::remove_reference_t<decltype(f)>>(value);
                }};
}

template <auto Member>
constexpr ControllerValue text(const char* name, const char* loadDefault = "", int maxLength = -1) {
    return {.name = name,
            .type = STORE_SZ,
            .textDefault = loadDefault,
            .maxLength = maxLength,
            .text = [](const R& r, int n) { return field<Member>(r, n); },
            .setText = [](R& r, int n, const QString& value) { field<Member>(r, n) = value; }};
}

bool everyFamily(int) {
    return true;
}

// Values that are written, and read back, for the same families and repeated over the same
// indexes; with count above 1 all values of index 0 come first, then those of index 1, ...
struct ValueBlock {
    bool (*written)(int deviceType);
    bool (*read)(int deviceType);
    int count;
    std::span<const ControllerValue> values;
};

const ControllerValue kIdentity[] = {
    dword<&R::DeviceId>("DeviceId"),
    dword<&R::DeviceType>("DeviceType"),
    text<&R::DeviceComment>("DeviceComment"),
    text<&R::HostAddr>("HostAddr", "", kHostAddrMaxLength),
    dword<&R::HostPort>("HostPort"),
    dword<&R::UnitId>("UnitId"),
    dword<&R::IsServer>("IsServer"),
    dword<&R::InputAddr>("InputAddr"),
};
const ControllerValue kPortCounts[] = {
    dword<&R::NumberOfPortInput>("NumberOfPortInput"),
    dword<&R::NumberOfPortOutput>("NumberOfPortOutput"),
    dword<&R::OutputAddr>("OutputAddr"),
};
const ControllerValue kViewMode[] = {dword<&R::ViewMode>("ViewMode")};
const ControllerValue kWindow[] = {
    dword<&R::LastPosX>("LastPosX"),
    dword<&R::LastPosY>("LastPosY"),
    dword<&R::LastPosCX>("LastPosCX"),
    dword<&R::LastPosCY>("LastPosCY"),
    dword<&R::LastOpened>("LastOpened"),
    dword<&R::Minimized>("Minimized"),
    dword<&R::AutomaticConnection>("AutomaticConnection"),
    dword<&R::PollingInput>("PollingInput", 1),
};
const ControllerValue kOutputPolling[] = {
    dword<&R::Polling>("Polling", 1),
    dword<&R::OutputPortControl>("OutputPortControl"),
};
const ControllerValue kCounterFlags[] = {
    dword<&R::DiState>("Di%dState", 1),
    dword<&R::DiCounter>("Di%dCounter", 1),
};
const ControllerValue kAnalogChannel[] = {
    dword<&R::AI>("AI%d", 1),
    text<&R::AIName>("AI%dName", "AI%d"),
    text<&R::AIUnit>("AI%dUnit", "V"),
    text<&R::AIMin>("AI%dMin", "0"),
    text<&R::AIMax>("AI%dMax", "5"),
    dword<&R::AIFgColor>("AI%dFgColor", static_cast<int32_t>(kDefaultAnalogForeground)),
    dword<&R::AIBgColor>("AI%dBgColor", static_cast<int32_t>(kDefaultAnalogBackground)),
};
const ControllerValue kAnalogHeader[] = {dword<&R::AIHeaderWidth>("AIHeader%dWidth")};
const ControllerValue kGroupPlacement[] = {
    dword<&R::RootID>("RootID"),
    dword<&R::Index>("Index"),
    dword<&R::LastPosXMin>("LastPosXMin"),
    dword<&R::LastPosYMin>("LastPosYMin"),
    dword<&R::LastPosCXMin>("LastPosCXMin"),
    dword<&R::LastPosCYMin>("LastPosCYMin"),
};
const ControllerValue kPortNames[] = {
    text<&R::DiComment>("DiComment%d"),
    text<&R::DoComment>("DoComment%d"),
};
const ControllerValue kWarnings[] = {
    dword<&R::UseWarningMsg>("UseWarningMsg"),
    dword<&R::WarningMsgType>("WarningMsgType"),
    text<&R::MsgAllOn>("MsgAllOn"),
    text<&R::MsgAllOff>("MsgAllOff"),
};
const ControllerValue kLogAndMail[] = {
    dword<&R::UseLog>("UseLog"),          dword<&R::UseEmailNotification>("UseEmailNotification"),
    text<&R::MailTo>("MailTo"),           dword<&R::MailAccountID>("MailAccountID"),
    text<&R::MailSubject>("MailSubject"), text<&R::MailContent>("MailContent"),
};
const ControllerValue kPort[] = {
    dword<&R::OnDiSoundId>("OnDi%dSoundId"),
    dword<&R::OffDiSoundId>("OffDi%dSoundId"),
    text<&R::DoMsgOnOn>("DoMsgOn%dOn"),
    text<&R::DoMsgOnOff>("DoMsgOn%dOff"),
    dword<&R::UseWarningMsgDo>("UseWarningMsgDo%d"),
    dword<&R::UsePulseDo>("UsePulseDo%d"),
    dword<&R::DurationDo>("DurationDo%d"),
    dword<&R::SignalLevelDo>("SignalLevelDo%d"),
    dword<&R::UseInputEmailNotification>("UseInput%dEmailNotification"),
    dword<&R::UseOutputEmailNotification>("UseOutput%dEmailNotification"),
    text<&R::UseMControlDo>("UseMControlDo%d"),
};

// The controller key in write order. The identity block comes first, so DeviceType is known
// before any family's block is read.
const ValueBlock kControllerKey[] = {
    {everyFamily, everyFamily, 1, kIdentity},
    {usesDigitalPorts, usesDigitalPorts, 1, kPortCounts},
    // Written for every family, but only the families with ports read it back.
    {everyFamily, usesDigitalPorts, 1, kViewMode},
    {everyFamily, everyFamily, 1, kWindow},
    {usesOutputPolling, usesOutputPolling, 1, kOutputPolling},
    {usesCounterFlags, usesCounterFlags, kCounterInputs, kCounterFlags},
    {usesAnalog, usesAnalog, kAnalogChannels, kAnalogChannel},
    {usesAnalog, usesAnalog, 3, kAnalogHeader}, // the fourth width slot only backups carry
    {everyFamily, everyFamily, 1, kGroupPlacement},
    {usesDigitalPorts, usesDigitalPorts, kDigitalPorts, kPortNames},
    {usesDigitalPorts, usesDigitalPorts, 1, kWarnings},
    {everyFamily, everyFamily, 1, kLogAndMail},
    {usesDigitalPorts, usesDigitalPorts, kDigitalPorts, kPort},
};

// The name and text default of value n of each block, made once: a plant's store reads and
// writes them by the million.
struct IndexedTexts {
    QString name;
    QString textDefault;
};

struct ValueSlot {
    const ControllerValue* value;
    int n;
    bool operator==(const ValueSlot&) const = default;
};

struct ValueSlotHash {
    size_t operator()(const ValueSlot& slot) const noexcept {
        return std::hash<const void*>()(slot.value) ^ (size_t(slot.n) << 20);
    }
};

const IndexedTexts& indexedTexts(const ControllerValue& value, int n) {
    static const auto table = [] {
        std::unordered_map<ValueSlot, IndexedTexts, ValueSlotHash> texts;
        for (const ValueBlock& block : kControllerKey) {
            for (int i = 0; i < block.count; ++i) {
                for (const ControllerValue& v : block.values)
                    texts.emplace(ValueSlot{&v, i},
                                  IndexedTexts{indexed(v.name, i), indexed(v.textDefault, i)});
            }
        }
        return texts;
    }();
    return table.at(ValueSlot{&value, n});
}

StoreValue saved(const ControllerValue& value, const R& r, int n) {
    const QString& name = indexedTexts(value, n).name;
    if (value.type == STORE_DWORD) return StoreValue::dwordValue(name, value.dword(r, n));
    return StoreValue::textValue(name, value.text(r, n).left(value.maxLength));
}

void load(const ControllerValue& value, const KeyValues& v, R& r, int n) {
    const IndexedTexts& texts = indexedTexts(value, n);
    if (value.type == STORE_DWORD) {
        value.setDword(r, n, v.dword(texts.name, value.dwordDefault));
    } else {
        value.setText(r, n, v.text(texts.name, texts.textDefault).left(value.maxLength));
    }
}

// Older stores kept one count for both directions.
void portCountsOfOlderStores(const KeyValues& v, R& r) {
    if (!usesDigitalPorts(r.DeviceType)) return;
    if (!v.has(QStringLiteral("NumberOfPortInput"), STORE_DWORD)) {
        r.NumberOfPortInput = v.dword(QStringLiteral("NumberOfPort"), 0);
    }
    if (!v.has(QStringLiteral("NumberOfPortOutput"), STORE_DWORD)) {
        r.NumberOfPortOutput = r.NumberOfPortInput;
    }
}

// The RLX families answer only to unit 255, whatever an older store holds.
void rlxUnitId(R& r) {
    if (r.DeviceType != FAMILY_GENERIC) r.UnitId = kRlxUnitId;
}

// These families are never polled for their outputs on their own.
void noOutputPolling(R& r) {
    if (r.DeviceType == FAMILY_RLX810 || r.DeviceType == FAMILY_RLX850 ||
        r.DeviceType == FAMILY_RLX840) {
        r.Polling = 0;
    }
}

} // namespace

QString controllerKeyName(int deviceId) {
    return QStringLiteral("ID_%1").arg(deviceId);
}

std::vector<StoreValue> controllerValues(const CQUORVISData& record) {
    std::vector<StoreValue> values;
    for (const ValueBlock& block : kControllerKey) {
        if (!block.written(record.DeviceType)) continue;
        for (int n = 0; n < block.count; ++n) {
            for (const ControllerValue& value : block.values) {
                values.push_back(saved(value, record, n));
            }
        }
    }
    return values;
}

CQUORVISData readController(const KeyValues& values) {
    CQUORVISData record;
    for (const ValueBlock& block : kControllerKey) {
        if (!block.read(record.DeviceType)) continue;
        for (int n = 0; n < block.count; ++n) {
            for (const ControllerValue& value : block.values)
                load(value, values, record, n);
        }
    }
    portCountsOfOlderStores(values, record);
    rlxUnitId(record);
    noOutputPolling(record);
    return record;
}

bool saveController(Store& store, const CQUORVISData& record) {
    return store.writeValues(controllerKeyName(record.DeviceId), controllerValues(record));
}

bool deleteController(Store& store, int deviceId) {
    return store.deleteKey(controllerKeyName(deviceId));
}

} // namespace iomira
