#include "ui/windows/window_menu.h"

#include "app/context_menu_rules.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "monitor/view_services.h"

#include <QApplication>
#include <QMenu>

namespace iomira {

void addControllerCommands(QMenu& menu, const CQUORVISData& c, int connectionState,
                           const ViewServices& services) {
    const int id = c.DeviceId;
    for (const MenuEntry& entry : controllerWindowEntries(c, connectionState)) {
        if (entry.command == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(loadString(entry.textId));
        action->setEnabled(entry.enabled);
        // The command may close the window, so it runs after the menu has returned.
        auto run = services.treeCommand;
        QObject::connect(action, &QAction::triggered, &menu, [run, id, command = entry.command] {
            if (run)
                QMetaObject::invokeMethod(
                    qApp, [run, id, command] { run(id, command); }, Qt::QueuedConnection);
        });
    }
    if (!services.showTrend) return;
    menu.addSeparator();
    QObject::connect(menu.addAction(loadString(TEXT_TREND)), &QAction::triggered, &menu,
                     [trend = services.showTrend, id] {
                         QMetaObject::invokeMethod(
                             qApp, [trend, id] { trend(id); }, Qt::QueuedConnection);
                     });
}

} // namespace iomira
