#include "ui/main/main_frame.h"

#include "ui/windows/output_mirror_window.h"

#include "app/tree_texts.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "ui/common/child_frame.h"
#include "ui/tree/device_list_pane.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

namespace iomira {

namespace {
constexpr int kPaneWidth = 250;
constexpr int kLinkStatusMs = 500;
} // namespace

CMainFrame::CMainFrame(Store& store, UserPrompts& prompts, ControllerDirectory& directory,
                       QWidget* parent)
    : QMainWindow(parent), store_(store),
      prompts_(prompts), target_{{&CMainFrame::corvelProc}, this}, mdi_(new QMdiArea(this)),
      dock_(new QDockWidget(this)), pane_(new CDeviceListPane(directory, dock_)),
      linkStatus_(new QLabel(this)) {
    setObjectName(QStringLiteral("MainFrame"));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setBackground(QColor(0xE9, 0xEC, 0xF0));
    setCentralWidget(mdi_);

    dock_->setObjectName(QStringLiteral("GroupDock"));
    dock_->setWindowTitle(loadString(151));
    dock_->setWidget(pane_);
    dock_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable |
                       QDockWidget::DockWidgetClosable);
    pane_->setMinimumWidth(180);
    addDockWidget(Qt::LeftDockWidgetArea, dock_);
    resizeDocks({dock_}, {kPaneWidth}, Qt::Horizontal);

    pane_->disconnectOperation = [this](int id) { disconnectController(id); };
    connect(pane_, &CDeviceListPane::shownGroupChanged, this, &CMainFrame::updateTitle);
    connect(pane_, &CDeviceListPane::groupsChanged, this, &CMainFrame::updateTitle);
    connect(pane_, &CDeviceListPane::controllerRemoved, this, [this](int id) {
        if (CChildFrame* child = childFor(id)) child->closeByProgram();
    });

    createMenus();
    statusBar()->showMessage(QString());
    linkStatus_->setObjectName(QStringLiteral("LinkStatus"));
    statusBar()->addPermanentWidget(linkStatus_);
    linkStatusTimer_.setInterval(kLinkStatusMs);
    connect(&linkStatusTimer_, &QTimer::timeout, this, &CMainFrame::showLinkCounts);
    linkStatusTimer_.start();
    resize(1100, 720);
    updateTitle();
}

void CMainFrame::showLinkCounts() {
    if (!linkCounts) return;
    const LinkCounts counts = linkCounts();
    linkStatus_->setText(linkCountsText(counts));
    // A controller in trouble draws the eye.
    const bool trouble = counts.error > 0 || counts.notResponding > 0;
    linkStatus_->setStyleSheet(trouble ? QStringLiteral("color: #B02418;") : QString());
}

CMainFrame::~CMainFrame() {
    // Corvel may still hold this window for registered controllers; nothing is relayed now.
    target_.frame = nullptr;
}

void CMainFrame::corvelProc(corvel_window* window, uint32_t message, uintptr_t wparam,
                            intptr_t lparam) {
    auto* target = reinterpret_cast<CorvelTarget*>(window);
    if (target->frame) target->frame->relay(message, wparam, lparam);
}

// Asked for every notification, thousands a second: the area's sub-windows are its viewport's
// children, read without the ordered list subWindowList() builds each time.
CChildFrame* CMainFrame::childFor(int deviceId) const {
    for (QObject* object : mdi_->viewport()->children()) {
        auto* child = qobject_cast<CChildFrame*>(object);
        if (child && child->deviceId() == deviceId) return child;
    }
    return nullptr;
}

void CMainFrame::relay(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (!pane_->onCorvelNotification(message, wparam, lparam)) return;
    if (mirror_ && mirror_->isVisible()) mirror_->onCorvelNotification(message, wparam, lparam);
    if (CChildFrame* child = childFor(static_cast<int>(wparam)))
        child->onCorvelNotification(message, wparam, lparam);
}

bool CMainFrame::disconnectController(int deviceId) {
    if (disconnect_device(deviceId) != CORVEL_OK) return false;
    relay(CORVEL_WM_CONNECTION, static_cast<uintptr_t>(deviceId), CORVEL_FD_CLOSE);
    return true;
}

void CMainFrame::updateTitle() {
    setWindowTitle(mainWindowTitle(pane_->shownGroupName(), pane_->groupShown()));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!closingConfirmed_ && !prompts_.ask(loadString(TEXT_EXIT_QUESTION))) {
        event->ignore();
        return;
    }
    closingConfirmed_ = true;
    pane_->stopTimers();
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (auto* child = qobject_cast<CChildFrame*>(sub)) child->closeByProgram();
    }
    event->accept();
}

} // namespace iomira
