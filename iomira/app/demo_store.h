#pragma once

#include "core/quorvis_data.h"

#include <QString>

#include <vector>

namespace iomira {

class Store;

// A controller for a store made for the demo or a benchmark: a model name as the simulator
// knows it, served on a loopback address and port.
struct SeedController {
    QString model;
    QString name;
    int port = 0;
    int group = 0; // position in the list of group names
    QString host = QStringLiteral("127.0.0.1");
};

// A record for a model served by the simulator on host:port, connected automatically.
CQUORVISData seedRecord(const QString& model, int port,
                        const QString& host = QStringLiteral("127.0.0.1"));

// Writes the groups (RootID = position, Index = position) and the controllers, each
// connected at start and logged when `useLog`; the first controller is the one shown at
// start. False when a write failed or a model is unknown.
bool writeSeedStore(Store& store, const QStringList& groupNames,
                    const std::vector<SeedController>& controllers, bool useLog = true);

// The simulator's demo set: one controller of each model on ports from firstPort, each on
// its own address from 127.0.0.2 up, in the simulator's order, in two groups.
std::vector<SeedController> demoControllers(int firstPort);
QStringList demoGroups();

} // namespace iomira
