#pragma once

#include "app/link_counts.h"
#include "corvel/corvel.h"

#include <QDateTime>
#include <QMainWindow>
#include <QTimer>

#include <functional>

class QDockWidget;
class QLabel;
class QMdiArea;
class QMenu;

namespace iomira {

class CChildFrame;
class CDeviceListPane;
class ControllerDirectory;
class COutputMirrorWindow;
class Store;
class UserPrompts;

// The main window: menus, status bar, the device list docked left and the controllers'
// windows in the document area. Corvel reports every controller to it; it relays each
// notification to the device list and to the controller's own window.
class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    CMainFrame(Store& store, UserPrompts& prompts, ControllerDirectory& directory,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    corvel_window* corvelWindow() { return &target_.window; }
    CDeviceListPane* pane() const { return pane_; }
    QMdiArea* mdiArea() const { return mdi_; }

    // Passes a Corvel notification on, unchanged, to every window that follows it.
    void relay(uint32_t message, uintptr_t wparam, intptr_t lparam);
    // Disconnects a controller; Corvel reports nothing for that, so the close is relayed.
    bool disconnectController(int deviceId);
    void updateTitle();
    // The program is ending: the question has been answered or is not to be asked.
    void setClosingConfirmed(bool confirmed) { closingConfirmed_ = confirmed; }

    // The input notification switch as the Advanced menu shows and sets it.
    std::function<int()> inputNotification;
    std::function<void(int)> setInputNotification;
    // The link notification switch, beside it in the Advanced menu.
    std::function<bool()> linkNotification;
    std::function<void(bool)> setLinkNotification;
    // The counts the status bar shows, read twice a second.
    std::function<LinkCounts()> linkCounts;
    QLabel* linkStatus() const { return linkStatus_; }
    void showLinkCounts();
    // The Time Setting dialogs: kind 0 the e-mail schedules, 1 the notification schedules.
    std::function<void(int kind)> showSchedules;
    // The Advanced menu's warning message and log settings dialogs.
    std::function<void()> showWarningMessages;
    std::function<void()> showManageLog;
    // Opens the mail-account dialog (Advanced menu).
    std::function<void()> showMailAccounts;
    // Opens the e-mail notification settings (Advanced menu).
    std::function<void()> showEmailNotification;
    // Shows the multiple-port control (Group menu); while it is visible it hears every
    // notification relayed.
    std::function<void()> showOutputMirror;
    // The event viewer (View menu).
    std::function<void()> showLogViewer;
    // Opens the trend window on a controller's analog channels (or, without any, all its
    // channels), around `at` when it is valid: the hour around it from the log files.
    std::function<void(int deviceId, const QDateTime& at)> showTrend;
    // Opens the add dialog (Group menu).
    std::function<void()> addControllers;
    // Opens the controller management dialog (Group menu).
    std::function<void()> manageControllers;
    // Backup and Restore (Group menu).
    std::function<void()> backup;
    std::function<void()> restore;
    void setOutputMirror(COutputMirrorWindow* window) { mirror_ = window; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct CorvelTarget {
        corvel_window window; // first member: Corvel calls through it
        CMainFrame* frame;
    };
    static void corvelProc(corvel_window* window, uint32_t message, uintptr_t wparam,
                           intptr_t lparam);

    void createMenus();
    QMenu* groupMenu();
    QMenu* viewMenu();
    QMenu* advancedMenu();
    QMenu* functionMenu();
    void fillGroupItems(QMenu* menu);
    void fillAdvancedItems(QMenu* menu);
    void chooseLanguage(int value);
    void showAbout();
    void openProductPage(const QString& model);
    CChildFrame* childFor(int deviceId) const;

    Store& store_;
    UserPrompts& prompts_;
    CorvelTarget target_;
    QMdiArea* mdi_;
    QDockWidget* dock_;
    CDeviceListPane* pane_;
    COutputMirrorWindow* mirror_ = nullptr;
    QLabel* linkStatus_;
    QTimer linkStatusTimer_;
    bool closingConfirmed_ = false;
};

} // namespace iomira
