// Administration of a plant of many controllers in the running program (offscreen):
//   iomira_admin_bench [CONTROLLERS]   (default 1000)
// Prints the time to write a backup of them, to restore that backup into a program with an
// empty store (registration, store and device tree included) and to import a CSV script of
// as many controllers into another empty one.

#include "app/backup_file.h"
#include "app/backup_restore.h"
#include "app/script_import.h"
#include "app/script_reader.h"
#include "core/user_prompts.h"
#include "ui/main/main_frame.h"
#include "ui/main/quorvis2_app.h"
#include "ui/tree/device_list_pane.h"
#include "ui/tree/view_tree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace iomira;

class SilentPrompts final : public UserPrompts {
  public:
    void error(const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    void information(const QString&) override {}
    bool ask(const QString&, bool) override { return true; }
};

// Groups of 30 clients on loopback that never connect by themselves.
BackupContents plant(int controllers) {
    BackupContents contents;
    const int groups = (controllers + 29) / 30;
    for (int g = 0; g < groups; ++g)
        contents.groups.emplace_back(g + 1, QStringLiteral("Hall %1").arg(g), g);
    for (int i = 0; i < controllers; ++i) {
        CQUORVISData c;
        c.DeviceComment = QStringLiteral("Pump %1").arg(i);
        c.RootID = i / 30 + 1;
        c.Index = i % 30;
        c.HostAddr = QStringLiteral("127.0.%1.%2").arg(i / 250).arg(i % 250 + 1);
        c.HostPort = 502;
        c.NumberOfPortInput = 8;
        c.NumberOfPortOutput = 8;
        contents.controllers.emplace_back(c);
    }
    return contents;
}

QByteArray script(int controllers) {
    QByteArray csv = "Comment,Group,Product,HostAddr,HostPort\r\n";
    for (int i = 0; i < controllers; ++i)
        csv += QStringLiteral("Valve %1,Hall %2,TKA-35,127.0.%3.%4,502\r\n")
                   .arg(i)
                   .arg(i / 30)
                   .arg(i / 250)
                   .arg(i % 250 + 1)
                   .toUtf8();
    return csv;
}

int treeControllers(CQuorvis2App& app) {
    QTreeWidget* tree = app.mainFrame()->pane()->tree();
    int count = 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        count += tree->topLevelItem(i)->childCount();
    return count;
}

std::unique_ptr<CQuorvis2App> startOn(const QString& store, SilentPrompts& prompts) {
    qputenv("IOMIRA_STORE", store.toUtf8());
    auto app = std::make_unique<CQuorvis2App>();
    app->setPrompts(&prompts);
    if (!app->InitInstance()) std::exit(1);
    return app;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int controllers = argc > 1 ? std::atoi(argv[1]) : 1000;
    QTemporaryDir dir;
    qputenv("IOMIRA_DOCUMENTS", dir.filePath("documents").toUtf8());
    SilentPrompts prompts;

    QElapsedTimer timer;
    auto restored = startOn(dir.filePath("restored.sqlite"), prompts);
    ConfigurationTables tables = restored->configuration();
    timer.start();
    const RestoreSummary summary =
        applyRestore(tables, plant(controllers), prompts, RestoreExisting::Replace);
    QCoreApplication::processEvents();
    const double restoreMs = timer.nsecsElapsed() / 1e6;
    std::printf("restore of %d controllers (registration, store, tree): %.0f ms (goal < 3000), "
                "%d in the tree\n",
                summary.controllers, restoreMs, treeControllers(*restored));

    timer.restart();
    const BackupContents contents = backupOf(tables);
    QString error;
    const QByteArray bytes = encodeBackup(contents, &error);
    const bool written = writeBackupFile(dir.filePath("plant.bin"), bytes, &error);
    std::printf("backup of %d controllers: %.1f ms (goal < 500), %lld bytes%s\n",
                restoredControllerCount(contents), timer.nsecsElapsed() / 1e6,
                static_cast<long long>(bytes.size()), written ? "" : " NOT WRITTEN");
    restored.reset();

    QFile file(dir.filePath("plant.csv"));
    if (!file.open(QIODevice::WriteOnly) || file.write(script(controllers)) < 0) return 1;
    file.close();
    auto imported = startOn(dir.filePath("imported.sqlite"), prompts);
    timer.restart();
    const ScriptReadOutcome read = readScriptFile(file.fileName());
    const ScriptImportSummary import = importScript(imported->configuration().directory, read);
    QCoreApplication::processEvents();
    std::printf("import of a %d-row CSV (reading, registration, store, tree): %.0f ms "
                "(goal < 3000), %d added, %d in the tree\n",
                import.read, timer.nsecsElapsed() / 1e6, import.added, treeControllers(*imported));
    return 0;
}
