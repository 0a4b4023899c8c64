// Writes a store holding the simulator's demo controllers, for scripts/demo:
//   iomira_demo_store STORE_FILE FIRST_PORT

#include "app/demo_store.h"
#include "core/sqlite_store.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = false;
    const int firstPort = args.size() == 3 ? args[2].toInt(&ok) : 0;
    if (!ok || firstPort <= 0 || firstPort > 65535 - 13) {
        std::fprintf(stderr, "usage: iomira_demo_store STORE_FILE FIRST_PORT\n");
        return 2;
    }
    iomira::StoreOpenError error;
    auto store = iomira::SqliteStore::open(args[1], &error);
    if (!store) {
        std::fprintf(stderr, "%s\n", qPrintable(iomira::storeOpenMessage(error)));
        return 1;
    }
    if (!iomira::writeSeedStore(*store, iomira::demoGroups(), iomira::demoControllers(firstPort))) {
        std::fprintf(stderr, "writing the store failed: %s\n", qPrintable(store->lastError()));
        return 1;
    }
    return 0;
}
