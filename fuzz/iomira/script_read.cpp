// Feeds arbitrary bytes to both script readers, as a hand-made or damaged file would give them.
#include "app/script_reader.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const iomira::ScriptReadOutcome ini = iomira::readIniScript(bytes);
    const iomira::ScriptReadOutcome csv = iomira::readCsvScript(bytes);
    // Every record keeps its ports within the eight a record holds.
    for (const auto* outcome : {&ini, &csv}) {
        for (const iomira::ScriptRecord& r : outcome->records) {
            if (r.record.NumberOfPortInput > iomira::kDigitalPorts ||
                r.record.NumberOfPortOutput > iomira::kDigitalPorts ||
                r.record.HostAddr.size() > iomira::kHostAddrMaxLength)
                __builtin_trap();
        }
    }
    return 0;
}
