#include "ui/common/child_frame.h"

#include "core/quorvis_data.h"

#include <QCloseEvent>

namespace iomira {

CChildFrame::CChildFrame(CQUORVISData& controller, RecordSaver saver, QWidget* parent)
    : QMdiSubWindow(parent), controller_(&controller), saver_(std::move(saver)) {
    applyFrameFlags();
    setAttribute(Qt::WA_DeleteOnClose);
    setOption(QMdiSubWindow::RubberBandResize, false);
    setWindowTitle(controller.DeviceComment);
    connect(this, &QMdiSubWindow::aboutToActivate, this,
            [this] { emit activatedForController(deviceId()); });
}

// No close button and no system menu with Close: controller windows close only when the
// program closes them. Minimising stays the user's. The document area adds the system menu
// when it takes the window in, so this is applied again then.
void CChildFrame::applyFrameFlags() {
    const Qt::WindowFlags wanted = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowMinimizeButtonHint;
    if (windowFlags() != wanted) setWindowFlags(wanted);
}

void CChildFrame::showEvent(QShowEvent* event) {
    applyFrameFlags();
    QMdiSubWindow::showEvent(event);
}

int CChildFrame::deviceId() const {
    return controller_->DeviceId;
}

void CChildFrame::setController(CQUORVISData& controller) {
    controller_ = &controller;
    setWindowTitle(controller.DeviceComment);
}

void CChildFrame::onCorvelNotification(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (auto* view = dynamic_cast<ControllerView*>(widget()))
        view->onCorvelNotification(message, wparam, lparam);
}

void CChildFrame::closeByProgram() {
    closingByProgram_ = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (closingByProgram_)
        QMdiSubWindow::closeEvent(event);
    else
        event->ignore();
}

void CChildFrame::savePlacement() {
    const QRect r = geometry();
    if (r.x() == 0 && r.y() == 0 && r.width() == 0 && r.height() == 0) return;
    if (isMinimized()) {
        controller_->LastPosXMin = r.x();
        controller_->LastPosYMin = r.y();
        controller_->LastPosCXMin = r.width();
        controller_->LastPosCYMin = r.height();
    } else {
        controller_->LastPosX = r.x();
        controller_->LastPosY = r.y();
        controller_->LastPosCX = r.width();
        controller_->LastPosCY = r.height();
    }
    if (saver_) saver_(*controller_);
}

void CChildFrame::moveEvent(QMoveEvent* event) {
    QMdiSubWindow::moveEvent(event);
    if (!applyingState_) savePlacement();
}

void CChildFrame::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    if (!applyingState_) savePlacement();
}

void CChildFrame::setMinimizedByUser(bool minimized) {
    if (minimized)
        showMinimized();
    else
        showNormal();
}

void CChildFrame::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || applyingState_) return;
    const bool minimized = isMinimized();
    controller_->Minimized = minimized ? 1 : 0;
    if (saver_) saver_(*controller_);
    const CQUORVISData& c = *controller_;
    if (minimized && c.LastPosXMin && c.LastPosYMin && c.LastPosCXMin && c.LastPosCYMin) {
        // The document area lines minimised windows up after this event; the stored place
        // is taken once it has done so.
        const QPoint place(c.LastPosXMin, c.LastPosYMin);
        QMetaObject::invokeMethod(
            this,
            [this, place] {
                if (!isMinimized()) return;
                applyingState_ = true;
                move(place);
                applyingState_ = false;
            },
            Qt::QueuedConnection);
    }
}

void CChildFrame::focusInEvent(QFocusEvent* event) {
    QMdiSubWindow::focusInEvent(event);
    if (isVisible()) emit activatedForController(deviceId());
}

} // namespace iomira
