#include "ui/windows/controller_windows_placeholder.h"

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "monitor/port_state.h"

#include <QLabel>
#include <QVBoxLayout>

namespace iomira {

PlaceholderView::PlaceholderView(CQUORVISData& controller, QWidget* parent)
    : QWidget(parent), c_(&controller), model_(new QLabel(this)), status_(new QLabel(this)),
      note_(new QLabel(this)) {
    setObjectName(QStringLiteral("PlaceholderView"));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    QFont bold = status_->font();
    bold.setPixelSize(15);
    bold.setBold(true);
    status_->setFont(bold);
    layout->addWidget(status_);
    layout->addWidget(model_);
    layout->addWidget(note_);
    refresh();
}

void PlaceholderView::setController(CQUORVISData& controller) {
    c_ = &controller;
    refresh();
}

void PlaceholderView::refresh() {
    const StatusLine line = statusLine(get_tcp_connection_state(c_->DeviceId),
                                       c_->AutomaticConnection, get_tcp_error_code(c_->DeviceId));
    status_->setText(line.text);
    model_->setText(modelText(*c_));
    note_->setText(loadString(TEXT_WINDOW_NOT_AVAILABLE));
    setWindowTitle(c_->DeviceComment);
}

void PlaceholderView::onCorvelNotification(uint32_t message, uintptr_t wparam, intptr_t) {
    if (static_cast<int>(wparam) == c_->DeviceId && message == CORVEL_WM_CONNECTION) refresh();
}

} // namespace iomira
