// A backup of 1000 controllers in 34 groups: gathering, encoding and writing the file, then
// reading and decoding it. Goal: the backup (gather + encode + write) under 0.5 s.
#include "app/backup_file.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace iomira;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kControllers = 1000;
constexpr int kGroups = 34;
constexpr int kRuns = 15;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Controllers with every text filled, as a maintained installation has them.
void fill(CROOTDataList& groups, ControllerTable& controllers) {
    for (int g = 0; g < kGroups; ++g)
        groups.insert(std::make_unique<CROOTData>(g, QStringLiteral("Building %1 층").arg(g), g));
    for (int id = 0; id < kControllers; ++id) {
        auto r = std::make_unique<CQUORVISData>();
        r->DeviceId = id;
        r->RootID = id % kGroups;
        r->Index = id / kGroups;
        r->DeviceComment = QStringLiteral("보일러 室 %1").arg(id);
        r->setHostAddr(QStringLiteral("plc-%1.example.test").arg(id));
        r->MailSubject = QStringLiteral("Alarm of controller %1").arg(id);
        for (int n = 0; n < kDigitalPorts; ++n)
            r->DoMsgOnOn[n] = QStringLiteral("Output %1 on").arg(n);
        controllers.insert(std::move(r));
    }
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("backup.bin"));
    CROOTDataList groups;
    ControllerTable controllers;
    fill(groups, controllers);
    CMailAccountMap accounts;
    CScheduleDataList mailSchedules, messageSchedules;
    SoundLibrary sounds;
    sounds.installBuiltIn(dir.path());
    const BackupSources sources{groups,           controllers, accounts,        mailSchedules,
                                messageSchedules, sounds,      BackupSwitches{}};

    std::vector<double> backups, restores;
    qsizetype fileSize = 0;
    for (int run = 0; run < kRuns; ++run) {
        const Clock::time_point start = Clock::now();
        QString error;
        const QByteArray bytes = encodeBackup(gatherBackup(sources), &error);
        if (bytes.isEmpty() || !writeBackupFile(path, bytes, &error)) {
            std::fprintf(stderr, "backup failed: %s\n", qPrintable(error));
            return 1;
        }
        const Clock::time_point written = Clock::now();
        QByteArray back;
        if (!readBackupFile(path, back, &error)) return 1;
        const BackupReadOutcome read = decodeBackup(back);
        if (read.status != BackupReadStatus::Ok ||
            read.contents.controllers.size() != static_cast<size_t>(kControllers))
            return 1;
        backups.push_back(ms(written - start));
        restores.push_back(ms(Clock::now() - written));
        fileSize = bytes.size();
    }
    std::printf("backup of %d controllers in %d groups: %lld bytes\n", kControllers, kGroups,
                static_cast<long long>(fileSize));
    std::printf("gather + encode + write: median %.2f ms (goal < 500 ms)\n", median(backups));
    std::printf("read + decode:           median %.2f ms\n", median(restores));
    return 0;
}
