#pragma once

#include "app/controller_windows_plan.h"
#include "monitor/view_services.h"

#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>
#include <vector>

class QMdiArea;
class QTreeWidgetItem;

namespace iomira {

class CChildFrame;
class CQUORVISData;
class SharedControllers;
class Store;
class UserPrompts;

// The windows of the shown group's controllers. Windows are pooled per view kind: a group
// switch re-targets the windows that exist, opens more only when needed and hides the rest.
class ControllerWindows : public QObject {
    Q_OBJECT
  public:
    ControllerWindows(QMdiArea& area, Store& store, UserPrompts& prompts,
                      QObject* parent = nullptr);

    // Start-up: the controller table and what the windows need from the program.
    void setControllers(SharedControllers& controllers, ViewServices services);

    // Every controller outside the group leaves the shown group; the group's controllers get
    // windows; surplus windows hide.
    void showGroup(int rootId);
    // The controller of a tree item (a controller or one of its lines) comes forward.
    void activateItemController(const QTreeWidgetItem* item);
    // Restores a minimized window; otherwise moves it into the visible part of the area
    // and activates it.
    void activateController(int deviceId);

    CChildFrame* openWindow(int deviceId);
    void retarget(CChildFrame& frame, CQUORVISData& controller);
    CChildFrame* findWindow(int deviceId) const;
    void closeWindow(int deviceId);
    // Every controller window, hidden ones included, in document order.
    std::vector<CChildFrame*> windows() const;
    // The controller's record or connection changed: its window's title and content follow.
    void refreshWindow(int deviceId);
    // The controller's ports changed: its window is closed and a new one opened in the
    // default place.
    void reopenWindow(int deviceId);

  signals:
    // A controller's window gained the focus.
    void windowActivated(int deviceId);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void placeMinimized();
    void assignGroup(int rootId);
    void place(CChildFrame& frame, const CQUORVISData& c);
    void settle(CChildFrame& frame, bool storedPlace);
    void bringIntoView(CChildFrame& frame);
    QRect visibleArea() const;
    std::vector<QRect> occupiedPlaces(const CChildFrame& except) const;
    void fill(CChildFrame& frame, CQUORVISData& c);
    void showAsStored(CChildFrame& frame, const CQUORVISData& c, QPoint minimizedPlace);
    void save(const CQUORVISData& c);
    QWidget* makeView(CQUORVISData& c);

    QMdiArea& area_;
    Store& store_;
    UserPrompts& prompts_;
    SharedControllers* controllers_ = nullptr;
    ViewServices services_;
    // Windows being given to another group; their places are not taken yet.
    std::vector<CChildFrame*> settling_;
};

} // namespace iomira
