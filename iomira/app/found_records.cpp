#include "app/found_records.h"

#include "core/device_family.h"
#include "kestrel/kestrel.h"
#include "nexoltlib/nexoltlib.h"
#include "tkb11lib/tkb11lib.h"

#include <algorithm>

namespace iomira {

namespace {

bool isTkaModel(const QString& product) {
    static const char* const kModels[] = {"TKA-31",  "TKA-21",  "TKA-33", "TKA-35",
                                          "TKA-31P", "TKA-33P", "TKA-35P"};
    return std::any_of(std::begin(kModels), std::end(kModels),
                       [&](const char* m) { return product == QLatin1String(m); });
}

// A port description, or "DI%d" / "DO%d" when the device has none.
QString portName(const char* field, std::size_t width, const char* prefix, int port) {
    const QString text = fieldText(field, width);
    return text.isEmpty() ? QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(port) : text;
}

} // namespace

std::optional<CQUORVISData> recordFromNexoltLib(const QString& product, const lib_env& env) {
    if (!isTkaModel(product)) return std::nullopt;
    CQUORVISData record;
    const nexolt_io_area& io = env.io;
    const nexolt_io_settings& s = io.settings;
    record.DeviceType = FAMILY_GENERIC;
    record.IsServer = (s.flags & NEXOLT_IO_ACTIVE) ? 1 : 0;
    if (record.IsServer == 0) record.setHostAddr(dottedAddress(env.device_address));
    record.HostPort = s.peer_port;
    record.UnitId = s.slave_id;
    record.InputAddr = s.input_addr;
    record.OutputAddr = s.output_addr;
    record.NumberOfPortInput = std::min<int>(io.input_count, kDigitalPorts);
    record.NumberOfPortOutput = std::min<int>(io.output_count, kDigitalPorts);
    for (int n = 0; n < kDigitalPorts; ++n) {
        record.DiComment[n] = portName(io.input_description[n], 16, "DI", n);
        record.DoComment[n] = portName(io.output_description[n], 16, "DO", n);
    }
    const QString comment = fieldText(env.comment, sizeof env.comment);
    record.DeviceComment = comment.isEmpty() ? macText(env.mac) : comment;
    return record;
}

CQUORVISData recordFromTkb11(const tkb11_record& r) {
    CQUORVISData record;
    record.DeviceType = FAMILY_GENERIC;
    record.NumberOfPortInput = 1;
    record.NumberOfPortOutput = 1;
    if (r.mode == 0 || r.mode == 1) {
        record.IsServer = 0;
        record.HostPort = r.client_port;
        record.setHostAddr(dottedAddress(r.ip_address));
    } else if (r.mode == 2) {
        record.IsServer = 1;
        record.HostPort = r.server_port;
    }
    record.UnitId = r.unit_id;
    record.InputAddr = r.input_address;
    record.OutputAddr = r.output_address;
    record.DiComment[0] = portName(r.input_name, sizeof r.input_name, "DI", 0);
    record.DoComment[0] = portName(r.output_name, sizeof r.output_name, "DO", 0);
    const QString comment = fieldText(r.comment, sizeof r.comment);
    record.DeviceComment = comment.isEmpty() ? macText(r.mac) : comment;
    return record;
}

std::optional<CQUORVISData> recordFromKestrel(const QString& product, int index) {
    const ProductChoice* choice = productForModel(product);
    if (!choice || choice->deviceType == FAMILY_GENERIC || ReadEnv(index) != 1) return std::nullopt;
    CQUORVISData record = recordForModel(product);
    GetUnitId(index); // read, as the library expects, but an RLX controller answers any unit
    record.UnitId = kRlxUnitId;
    record.IsServer = GetCommunicationMode(index);
    record.HostPort = GetCorvelPortNumber(index);
    if (record.IsServer == 0)
        record.setHostAddr(wideFieldText(GetHostAddress(index), kHostAddrMaxLength));
    const QString comment = wideFieldText(GetComment(index), KESTREL_TEXT_SIZE);
    const uint8_t* eui = GetEUI(index);
    record.DeviceComment = !comment.isEmpty() ? comment : eui ? macText(eui) : QString();
    return record;
}

std::optional<CQUORVISData> recordFromRow(const FoundRow& row, const FoundResults& results,
                                          int rootId) {
    std::optional<CQUORVISData> record;
    const auto at = [&](const auto* list) {
        return list && row.index >= 0 && static_cast<std::size_t>(row.index) < list->size();
    };
    switch (row.source) {
    case FoundSource::NexoltLib:
        if (at(results.nexoltLib))
            record = recordFromNexoltLib(row.product, (*results.nexoltLib)[row.index]);
        break;
    case FoundSource::Tkb11Lib:
        if (at(results.tkb11Lib)) record = recordFromTkb11((*results.tkb11Lib)[row.index]);
        break;
    case FoundSource::Kestrel:
        record = recordFromKestrel(row.product, row.index);
        break;
    }
    if (record) record->RootID = rootId;
    return record;
}

} // namespace iomira
