// The main window's menus. Captions come from the string table each time a menu opens.

#include "ui/main/main_frame.h"

#include "app/product_pages.h"
#include "core/global_settings.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "ui/main/about_dialog.h"
#include "ui/main/open_script.h"
#include "ui/tree/device_list_pane.h"
#include "ui/tree/view_tree.h"

#include <QDesktopServices>
#include <QDockWidget>
#include <QLocale>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QUrl>

namespace iomira {

namespace {

constexpr int kGroupCommandBase = 11024;
constexpr int kLinkNotificationCommand = 33010;
constexpr int kLogViewerCommand = 33020;
const char kTextIdProperty[] = "textId";
const char kAppendedProperty[] = "appended";

QAction* item(QMenu* menu, int textId, int command) {
    QAction* action = menu->addAction(loadString(textId));
    action->setProperty(kTextIdProperty, textId);
    action->setData(command);
    return action;
}

QMenu* submenu(QMenu* parent, int textId) {
    QMenu* menu = parent->addMenu(loadString(textId));
    menu->menuAction()->setProperty(kTextIdProperty, textId);
    return menu;
}

void recaption(QMenu* menu) {
    for (QAction* action : menu->actions()) {
        const int id = action->property(kTextIdProperty).toInt();
        if (id > 0) action->setText(loadString(id));
    }
}

void recaptionOnOpen(QMenu* menu) {
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { recaption(menu); });
}

void removeAppended(QMenu* menu) {
    for (QAction* action : menu->actions()) {
        if (action->property(kAppendedProperty).toBool()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
}

QAction* appended(QAction* action) {
    action->setProperty(kAppendedProperty, true);
    return action;
}

} // namespace

void CMainFrame::createMenus() {
    QMenuBar* bar = menuBar();
    const std::pair<int, QMenu*> menus[] = {{TEXT_GROUP, groupMenu()},
                                            {TEXT_MENU_VIEW, viewMenu()},
                                            {TEXT_MENU_ADVANCED, advancedMenu()},
                                            {TEXT_MENU_FUNCTION, functionMenu()}};
    for (const auto& [textId, menu] : menus) {
        menu->setTitle(loadString(textId));
        menu->menuAction()->setProperty(kTextIdProperty, textId);
        bar->addMenu(menu);
    }
}

QMenu* CMainFrame::groupMenu() {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("GroupMenu"));
    connect(item(menu, TEXT_ADD_IO_CONTROLLER, 32771), &QAction::triggered, this, [this] {
        if (addControllers) addControllers();
    });
    connect(item(menu, TEXT_MANAGE_CONTROLLERS, 32795), &QAction::triggered, this, [this] {
        if (manageControllers) manageControllers();
    });
    connect(item(menu, TEXT_CONTROL_MULTIPLE, 32825), &QAction::triggered, this, [this] {
        if (showOutputMirror) showOutputMirror();
    });
    menu->addSeparator();
    connect(item(menu, TEXT_BACKUP, 32799), &QAction::triggered, this, [this] {
        if (backup) backup();
    });
    connect(item(menu, TEXT_RESTORE, 32800), &QAction::triggered, this, [this] {
        if (restore) restore();
    });
    connect(item(menu, TEXT_OPEN_SCRIPT, 32802), &QAction::triggered, this,
            [this] { openScript(this, *pane_, prompts_); });
    recaptionOnOpen(menu);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillGroupItems(menu); });
    return menu;
}

void CMainFrame::fillGroupItems(QMenu* menu) {
    removeAppended(menu);
    CROOTDataList& groups = pane_->groups();
    if (groups.size() < 2) return;
    appended(menu->addSeparator());
    for (int index = 0; index < groups.size(); ++index) {
        const CROOTData* group = groups.GroupAt(index);
        if (!group) continue;
        QAction* action = appended(menu->addAction(group->RootName));
        const int rootId = group->RootID;
        action->setData(kGroupCommandBase + rootId);
        action->setCheckable(true);
        action->setChecked(pane_->groupShown() && pane_->shownGroupId() == rootId);
        connect(action, &QAction::triggered, this, [this, rootId] {
            if (QTreeWidgetItem* groupItem = pane_->findGroupItem(rootId))
                pane_->tree()->setCurrentItem(groupItem);
            pane_->showGroup(rootId);
        });
    }
}

QMenu* CMainFrame::viewMenu() {
    auto* menu = new QMenu(this);
    QMenu* panes = submenu(menu, TEXT_TOOLBARS);
    QAction* paneToggle = dock_->toggleViewAction();
    paneToggle->setProperty(kTextIdProperty, int(TEXT_GROUP));
    panes->addAction(paneToggle);
    recaptionOnOpen(panes);
    QAction* status = item(menu, TEXT_STATUS_BAR, 59393);
    status->setCheckable(true);
    status->setChecked(true);
    connect(status, &QAction::toggled, statusBar(), &QStatusBar::setVisible);
    connect(item(menu, TEXT_LOG_VIEWER_MENU, kLogViewerCommand), &QAction::triggered, this, [this] {
        if (showLogViewer) showLogViewer();
    });

    QMenu* language = submenu(menu, TEXT_LANGUAGE);
    const std::pair<int, int> languages[] = {
        {TEXT_AUTOMATIC, 0}, {TEXT_KOREAN, 1}, {TEXT_ENGLISH, 2}, {TEXT_CHINESE, 3}};
    for (const auto& [textId, value] : languages) {
        QAction* action = item(language, textId, 32837 + value);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this,
                [this, value = value] { chooseLanguage(value); });
    }
    recaptionOnOpen(language);
    connect(language, &QMenu::aboutToShow, this, [this, language] {
        int stored = getGlobal(store_, LANGUAGE);
        if (stored < 0 || stored > 3) stored = 0;
        for (QAction* action : language->actions())
            action->setChecked(action->data().toInt() == 32837 + stored);
    });

    QMenu* window = submenu(menu, TEXT_WINDOW);
    connect(item(window, TEXT_CASCADE, 57650), &QAction::triggered, mdi_,
            &QMdiArea::cascadeSubWindows);
    connect(item(window, TEXT_TILE, 57651), &QAction::triggered, mdi_, &QMdiArea::tileSubWindows);
    recaptionOnOpen(window);
    recaptionOnOpen(menu);
    return menu;
}

QMenu* CMainFrame::advancedMenu() {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("AdvancedMenu"));
    connect(item(menu, TEXT_WARNING_MESSAGE, 32805), &QAction::triggered, this, [this] {
        if (showWarningMessages) showWarningMessages();
    });
    connect(item(menu, TEXT_MANAGE_LOG, 32816), &QAction::triggered, this, [this] {
        if (showManageLog) showManageLog();
    });
    connect(item(menu, TEXT_EMAIL_NOTIFICATION, 32819), &QAction::triggered, this, [this] {
        if (showEmailNotification) showEmailNotification();
    });
    connect(item(menu, TEXT_MAIL_ACCOUNT_SETTING, 32846), &QAction::triggered, this, [this] {
        if (showMailAccounts) showMailAccounts();
    });
    connect(item(menu, TEXT_TIME_SETTING_TITLE, 32848), &QAction::triggered, this, [this] {
        if (showSchedules) showSchedules(0);
    });
    recaptionOnOpen(menu);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillAdvancedItems(menu); });
    return menu;
}

void CMainFrame::fillAdvancedItems(QMenu* menu) {
    removeAppended(menu);
    appended(menu->addSeparator());
    const int current = inputNotification ? inputNotification() : 1;
    for (const auto& [textId, value] :
         {std::pair{TEXT_ENABLE_NOTIFY, 1}, {TEXT_DISABLE_NOTIFY, 0}}) {
        QAction* action = appended(item(menu, textId, value == 1 ? 32823 : 32822));
        action->setCheckable(true);
        action->setChecked(current == value);
        connect(action, &QAction::triggered, this, [this, value = value] {
            if (setInputNotification) setInputNotification(value);
        });
    }
    QAction* links = appended(item(menu, TEXT_LINK_NOTIFY_ITEM, kLinkNotificationCommand));
    links->setCheckable(true);
    links->setChecked(!linkNotification || linkNotification());
    connect(links, &QAction::triggered, this, [this](bool on) {
        if (setLinkNotification) setLinkNotification(on);
    });
    connect(appended(item(menu, TEXT_TIME_SETTING_TITLE, 32849)), &QAction::triggered, this,
            [this] {
                if (showSchedules) showSchedules(1);
            });
}

QMenu* CMainFrame::functionMenu() {
    auto* menu = new QMenu(this);
    connect(item(menu, TEXT_SOFTWARE_INFO, 32867), &QAction::triggered, this,
            &CMainFrame::showAbout);
    QMenu* products = submenu(menu, TEXT_PRODUCT_INFO);
    int count = 0;
    const ProductPage* pages = productPages(count);
    for (int i = 0; i < count; ++i) {
        const QString model = QString::fromLatin1(pages[i].model);
        QAction* action = products->addAction(model);
        action->setData(pages[i].command);
        connect(action, &QAction::triggered, this, [this, model] { openProductPage(model); });
    }
    recaptionOnOpen(menu);
    return menu;
}

void CMainFrame::chooseLanguage(int value) {
    setGlobal(store_, LANGUAGE, value);
    prompts_.information(loadString(TEXT_RESTART_FOR_LANGUAGE));
}

void CMainFrame::showAbout() {
    CAboutDialog(this).exec();
}

void CMainFrame::openProductPage(const QString& model) {
    const QUrl url(productPageUrl(model, QLocale::system().uiLanguages()));
    if (!QDesktopServices::openUrl(url)) prompts_.error(url.toString() + QLatin1Char('\n'));
}

} // namespace iomira
