// Iomira: watches and drives networked I/O controllers over Modbus/TCP.

#include "app/admin_commands.h"
#include "core/descriptor_limit.h"
#include "core/sqlite_store.h"
#include "core/string_table.h"
#include "ui/main/quorvis2_app.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>

#include <cstdio>

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Iomira"));
    QCoreApplication::setOrganizationName(QStringLiteral("TarvexSystems"));
}

// The administration options need no display: no window system is touched.
int administer(int argc, char** argv, const iomira::AdminRequest& request) {
    QCoreApplication application(argc, argv);
    nameApplication();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return iomira::runAdminCommand(request, iomira::defaultStorePath(), out, err);
}

} // namespace

int main(int argc, char** argv) {
    // One descriptor per controller: a plant's thousands must not meet the default of 1024.
    iomira::raiseDescriptorLimit();
    iomira::setLanguage(iomira::languageForSetting(0, QLocale::system()));
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const iomira::AdminRequest request = iomira::parseAdminArguments(arguments);
    if (request.command != iomira::AdminCommand::None) return administer(argc, argv, request);

    QApplication application(argc, argv);
    nameApplication();
    QApplication::setStyle(QStringLiteral("Fusion"));
    iomira::CQuorvis2App app;
    if (!app.InitInstance()) return 1;
    return QApplication::exec();
}
