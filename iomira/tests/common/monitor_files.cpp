#include "common/monitor_files.h"

#include "corvel/corvel.h"
#include "sim_child.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <chrono>

namespace iomira::test {

TestFiles::TestFiles()
    : store(SqliteStore::open(dir.filePath(QStringLiteral("store.sqlite")), nullptr)),
      log(dir.filePath(QStringLiteral("Iomira"))),
      writers(log, [](int id) { return get_tcp_connection_state(id); }),
      monitorLog(writers, switches) {
    log.OpenNewFile();
}

std::vector<QStringList> TestFiles::entries() const {
    std::vector<QStringList> out;
    const QDir folder(dir.filePath(QStringLiteral("Iomira")));
    for (const QString& name :
         folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
        for (int i = 1; i < lines.size(); ++i) {
            if (!lines[i].isEmpty()) out.push_back(lines[i].split(QLatin1Char('\t')));
        }
    }
    return out;
}

QStringList TestFiles::etcOf(const QString& name) const {
    QStringList out;
    for (const QStringList& columns : entries()) {
        if (columns.size() == 8 && columns[0] == name) out << columns[7];
    }
    return out;
}

int nextDeviceId() {
    static int next = 1000;
    return next++;
}

std::string simDevice(const std::string& name, const std::string& model, const std::string& extra) {
    return "[" + name + "]\nmodel = " + model + "\nlisten = 127.0.0.1:0\n" + extra;
}

int countRequests(const std::vector<std::string>& log, const std::string& device, long function) {
    int count = 0;
    for (const std::string& line : log) {
        if (simtest::json_text(line, "device") != device) continue;
        if (function >= 0 && simtest::json_number(line, "function") != function) continue;
        ++count;
    }
    return count;
}

} // namespace iomira::test
