#include "bench_store.h"

#include "app/demo_store.h"
#include "core/sqlite_store.h"
#include "poll_requests.h"

#include <QStringList>

namespace iomira::bench {

bool writeBenchStore(const QString& path, const DevicePort& portOf, int count, int groupCount,
                     bool logging) {
    QStringList groups;
    for (int g = 0; g < groupCount; ++g)
        groups << QStringLiteral("Group %1").arg(g + 1);
    std::vector<SeedController> seeds;
    for (int i = 0; i < count; ++i)
        seeds.push_back({QString::fromLatin1(benchDeviceModel(i).name),
                         QStringLiteral("Controller %1").arg(i + 1, 3, 10, QLatin1Char('0')),
                         portOf(i), i * groupCount / count});
    auto store = SqliteStore::open(path, nullptr);
    return store && writeSeedStore(*store, groups, seeds, logging);
}

} // namespace iomira::bench
