// Iomira: watches and drives networked I/O controllers over Modbus/TCP.

#include "ui/main/quorvis2_app.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Iomira"));
    QApplication::setOrganizationName(QStringLiteral("TarvexSystems"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    iomira::CQuorvis2App app;
    if (!app.InitInstance()) return 1;
    return QApplication::exec();
}
