#include "ui/windows/controller_windows.h"

#include "app/window_placement.h"
#include "core/controller_keys.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "monitor/shared_controllers.h"
#include "ui/common/child_frame.h"
#include "ui/tree/view_tree.h"
#include "ui/windows/digital_view.h"
#include "ui/windows/model_view.h"

#include <QEvent>
#include <QMdiArea>
#include <QStyle>
#include <QTimer>
#include <QTreeWidgetItem>

#include <algorithm>

namespace iomira {

namespace {
const char kViewKindProperty[] = "viewKind";
// The stored place of a window shown minimized, kept until the area has laid it out.
const char kMinimizedPlaceProperty[] = "minimizedPlace";
constexpr int kShowCurrentInputs = MB_INPUTS;

bool hasStoredPlace(const CQUORVISData& c) {
    return c.LastPosX != 0 || c.LastPosY != 0 || c.LastPosCX != 0 || c.LastPosCY != 0;
}
} // namespace

ControllerWindows::ControllerWindows(QMdiArea& area, Store& store, UserPrompts& prompts,
                                     QObject* parent)
    : QObject(parent), area_(area), store_(store), prompts_(prompts) {
    area_.installEventFilter(this);
}

// The area lines minimized windows up along its bottom whenever it is shown, resized or a
// window is minimized; the places the user gave them are applied after it.
bool ControllerWindows::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &area_ && (event->type() == QEvent::Show || event->type() == QEvent::Resize))
        QTimer::singleShot(0, this, &ControllerWindows::placeMinimized);
    return QObject::eventFilter(watched, event);
}

void ControllerWindows::placeMinimized() {
    for (CChildFrame* frame : windows()) {
        const QVariant place = frame->property(kMinimizedPlaceProperty);
        if (!place.isValid() || !frame->isVisible()) continue;
        // Windows opened after it may have brought it back up while the area was settling.
        if (!frame->isMinimized()) frame->showMinimized();
        frame->move(place.toPoint());
        if (area_.isVisible()) frame->setProperty(kMinimizedPlaceProperty, QVariant());
    }
}

void ControllerWindows::setControllers(SharedControllers& controllers, ViewServices services) {
    controllers_ = &controllers;
    services_ = std::move(services);
}

std::vector<CChildFrame*> ControllerWindows::windows() const {
    std::vector<CChildFrame*> out;
    for (QMdiSubWindow* sub : area_.subWindowList(QMdiArea::CreationOrder)) {
        if (auto* frame = qobject_cast<CChildFrame*>(sub)) out.push_back(frame);
    }
    return out;
}

CChildFrame* ControllerWindows::findWindow(int deviceId) const {
    for (CChildFrame* frame : windows()) {
        if (frame->deviceId() == deviceId) return frame;
    }
    return nullptr;
}

void ControllerWindows::closeWindow(int deviceId) {
    if (CChildFrame* frame = findWindow(deviceId)) frame->closeByProgram();
}

void ControllerWindows::save(const CQUORVISData& c) {
    saveController(store_, c);
}

void ControllerWindows::showGroup(int rootId) {
    if (!controllers_) return;
    std::vector<CQUORVISData*> leaving;
    controllers_->table().forEach([&](const CQUORVISData& c) {
        if (c.RootID != rootId && c.LastOpened == 1)
            leaving.push_back(const_cast<CQUORVISData*>(&c));
    });
    for (CQUORVISData* c : leaving) {
        controllers_->edit(c->DeviceId, [](CQUORVISData& r) { r.LastOpened = 0; });
        save(*c);
    }
    assignGroup(rootId);
}

void ControllerWindows::assignGroup(int rootId) {
    ControllerTable& table = controllers_->table();
    std::vector<WindowPlan::Controller> group;
    for (const CQUORVISData* c : table.GroupMembers(rootId)) {
        if (c) group.push_back({c->DeviceId, c->DeviceType});
    }
    const std::vector<CChildFrame*> existing = windows();
    std::vector<ViewKind> kinds;
    for (CChildFrame* frame : existing)
        kinds.push_back(static_cast<ViewKind>(frame->property(kViewKindProperty).toInt()));
    const WindowPlan plan = planGroupWindows(group, kinds);
    // Until a window has been given to the group, its old place does not take a cell.
    settling_.assign(existing.begin(), existing.end());

    const auto opened = [this](int deviceId) {
        controllers_->edit(deviceId, [](CQUORVISData& r) { r.LastOpened = 1; });
        CQUORVISData* c = controllers_->table().find(deviceId);
        if (c) save(*c);
        return c;
    };
    for (const WindowPlan::Assignment& a : plan.retarget) {
        CChildFrame* frame = existing[a.window];
        std::erase(settling_, frame);
        if (CQUORVISData* c = opened(a.deviceId)) retarget(*frame, *c);
    }
    for (int deviceId : plan.open) {
        if (opened(deviceId)) openWindow(deviceId);
    }
    for (int window : plan.hide)
        existing[window]->hide();
    settling_.clear();
}

QWidget* ControllerWindows::makeView(CQUORVISData& c) {
    if (viewKindOf(c.DeviceType) == ViewKind::Digital) return new CQuorvis2View(c, services_);
    return new CModelView(c, services_);
}

void ControllerWindows::place(CChildFrame& frame, const CQUORVISData& c) {
    if (!hasStoredPlace(c)) return;
    frame.move(c.LastPosX, c.LastPosY);
}

QRect ControllerWindows::visibleArea() const {
    return QRect(QPoint(0, 0), area_.viewport()->size());
}

std::vector<QRect> ControllerWindows::occupiedPlaces(const CChildFrame& except) const {
    std::vector<QRect> places;
    for (CChildFrame* frame : windows()) {
        if (frame == &except || !frame->isVisible() ||
            std::find(settling_.begin(), settling_.end(), frame) != settling_.end())
            continue;
        places.push_back(frame->geometry());
    }
    return places;
}

// Once the frame has its size: a window without a place of its own takes the first free
// cell of the area, and none is left outside the part of the area that can be seen. An area
// that is not on the screen has no such part; its windows keep their places.
void ControllerWindows::settle(CChildFrame& frame, bool storedPlace) {
    if (!area_.isVisible() || frame.isMinimized()) return;
    const QRect area = visibleArea();
    const int step = frame.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &frame);
    const QRect wanted = storedPlace
                             ? moveIntoArea(frame.geometry(), area)
                             : firstFreeCell(frame.size(), area, occupiedPlaces(frame), step);
    // Moved even when it stays, so that the area does not place it by itself when shown.
    if (!storedPlace || wanted.topLeft() != frame.pos()) frame.move(wanted.topLeft());
}

void ControllerWindows::bringIntoView(CChildFrame& frame) {
    if (!area_.isVisible() || frame.isMinimized()) return;
    const QRect wanted = moveIntoArea(frame.geometry(), visibleArea());
    if (wanted.topLeft() != frame.pos()) frame.move(wanted.topLeft());
}

// The frame fits its view, then shows the controller's current values.
void ControllerWindows::fill(CChildFrame& frame, CQUORVISData& c) {
    frame.adjustSize();
    if (get_tcp_connection_state(c.DeviceId) == TCP_ESTABLISHED)
        frame.onCorvelNotification(CORVEL_WM_DATA, static_cast<uintptr_t>(c.DeviceId),
                                   kShowCurrentInputs);
}

void ControllerWindows::showAsStored(CChildFrame& frame, const CQUORVISData& c,
                                     QPoint minimizedPlace) {
    if (c.LastOpened == 0) {
        frame.hide();
    } else if (c.Minimized == 1) {
        frame.setProperty(kMinimizedPlaceProperty, minimizedPlace);
        frame.showMinimized();
        QTimer::singleShot(0, this, &ControllerWindows::placeMinimized);
    } else {
        if (frame.isMinimized())
            frame.showNormal();
        else
            frame.show();
    }
}

CChildFrame* ControllerWindows::openWindow(int deviceId) {
    CQUORVISData* c = controllers_ ? controllers_->table().find(deviceId) : nullptr;
    if (!c) {
        prompts_.error(loadString(TEXT_DATA_IS_NULL));
        return nullptr;
    }
    auto* frame = new CChildFrame(*c, [this](const CQUORVISData& r) { save(r); });
    connect(frame, &CChildFrame::activatedForController, this, &ControllerWindows::windowActivated);
    frame->setProperty(kViewKindProperty, int(viewKindOf(c->DeviceType)));
    QWidget* view = makeView(*c);
    frame->setWidget(view);
    area_.addSubWindow(frame);
    const auto fit = [frame] { frame->adjustSize(); };
    if (auto* digital = qobject_cast<CQuorvis2View*>(view))
        connect(digital, &CQuorvis2View::contentResized, frame, fit);
    else if (auto* model = qobject_cast<CModelView*>(view))
        connect(model, &CModelView::contentResized, frame, fit);
    const QPoint minimizedPlace(c->LastPosXMin, c->LastPosYMin);
    const bool storedPlace = hasStoredPlace(*c);
    place(*frame, *c);
    save(*c);
    fill(*frame, *c);
    settle(*frame, storedPlace);
    showAsStored(*frame, *c, minimizedPlace);
    return frame;
}

void ControllerWindows::retarget(CChildFrame& frame, CQUORVISData& c) {
    // Moving a frame that is still minimized records its place as the minimized one.
    const QPoint minimizedPlace(c.LastPosXMin, c.LastPosYMin);
    const bool storedPlace = hasStoredPlace(c);
    frame.setController(c);
    if (auto* view = dynamic_cast<ControllerView*>(frame.widget())) view->setController(c);
    place(frame, c);
    fill(frame, c);
    settle(frame, storedPlace);
    showAsStored(frame, c, minimizedPlace);
}

void ControllerWindows::refreshWindow(int deviceId) {
    CChildFrame* frame = findWindow(deviceId);
    if (!frame) return;
    frame->setWindowTitle(frame->controller().DeviceComment);
    if (auto* view = dynamic_cast<ControllerView*>(frame->widget())) view->redraw();
}

void ControllerWindows::reopenWindow(int deviceId) {
    CChildFrame* frame = findWindow(deviceId);
    if (!frame) return;
    const bool shown = frame->isVisible();
    frame->closeByProgram();
    delete frame;
    controllers_->edit(
        deviceId, [](CQUORVISData& r) { r.LastPosX = r.LastPosY = r.LastPosCX = r.LastPosCY = 0; });
    if (CQUORVISData* c = controllers_->table().find(deviceId)) save(*c);
    if (shown) openWindow(deviceId);
}

void ControllerWindows::activateItemController(const QTreeWidgetItem* item) {
    if (!item) {
        prompts_.error(loadString(TEXT_ITEM_IS_NULL));
        return;
    }
    if (itemType(item) == ITEM_INFO) item = item->parent();
    if (item && itemType(item) == ITEM_CONTROLLER) activateController(itemData(item));
}

void ControllerWindows::activateController(int deviceId) {
    CChildFrame* frame = findWindow(deviceId);
    if (!frame || !frame->isVisible()) return;
    if (frame->isMinimized()) {
        frame->showNormal();
        bringIntoView(*frame);
    } else {
        bringIntoView(*frame);
        area_.setActiveSubWindow(frame);
    }
}

} // namespace iomira
