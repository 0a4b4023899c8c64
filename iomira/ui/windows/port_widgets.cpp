#include "ui/windows/port_widgets.h"

#include "app/tree_texts.h"
#include "corvel/corvel.h" // port kinds
#include "ui/common/lamp_images.h"
#include "ui/common/tree_icons.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMdiSubWindow>
#include <QToolButton>

#include <algorithm>
#include <map>
#include <tuple>

namespace iomira {

namespace {

int treeIconOf(ConnectionIcon icon) {
    switch (icon) {
    case ConnectionIcon::ClosedAuto:
        return ICON_CLOSED_AUTOMATIC;
    case ConnectionIcon::ClosedManual:
        return ICON_CLOSED_MANUAL;
    case ConnectionIcon::Connecting:
        return ICON_CONNECTING;
    case ConnectionIcon::Connected:
        return ICON_CONNECTED;
    case ConnectionIcon::NotResponding:
        return ICON_NOT_RESPONDING;
    case ConnectionIcon::Error:
        break;
    }
    return ICON_ERROR;
}

} // namespace

QToolButton* lampButton(QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIconSize(QSize(kLampSize, kLampSize));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLabel* nameLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setMinimumWidth(120);
    label->setCursor(Qt::IBeamCursor);
    return label;
}

const QIcon& cachedLamp(LampImage image) {
    static std::map<std::tuple<int, int, bool>, QIcon> cache;
    const std::tuple<int, int, bool> key{int(image.color), int(image.mark), image.unknown};
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.emplace(key, lampIcon(image)).first;
    return it->second;
}

void showLamp(QToolButton* button, const LampShown& lamp) {
    button->setIcon(cachedLamp(lamp.image));
    if (button->toolTip() != lamp.tooltip) button->setToolTip(lamp.tooltip);
}

void markLampsUnknown(const ControllerCommands& commands, int kind,
                      std::span<QToolButton* const> buttons, std::span<LampImage> images) {
    for (size_t port = 0; port < buttons.size() && port < images.size(); ++port) {
        const LampShown lamp = commands.unknownLamp(images[port], kind, int(port));
        images[port] = lamp.image;
        showLamp(buttons[port], lamp);
    }
}

StatusRow::StatusRow(QWidget* view)
    : view_(view), icon_(new QLabel(view)), text_(new QLabel(view)) {
    QFont bold = text_->font();
    bold.setPixelSize(15);
    bold.setBold(true);
    text_->setFont(bold);
    text_->setObjectName(QStringLiteral("StatusLine"));
    // Wide enough for the usual texts, so that windows placed side by side stay apart.
    const QFontMetrics metrics(bold);
    int width = 0;
    for (const QString& text : usualStatusTexts())
        width = std::max(width, metrics.horizontalAdvance(text));
    text_->setMinimumWidth(width);
}

void StatusRow::show(const StatusLine& line) {
    setText(line.text);
    const QIcon icon = treeIcon(treeIconOf(line.icon));
    icon_->setPixmap(icon.pixmap(QSize(16, 16), view_->devicePixelRatioF()));
    view_->setWindowIcon(icon);
    if (QWidget* frame = view_->parentWidget()) frame->setWindowIcon(icon);
}

// A longer text widens the window once and the window keeps that width, so that it does not
// jump at every change of state.
void StatusRow::setText(const QString& text) {
    text_->setText(text);
    const int wanted = text_->sizeHint().width();
    if (wanted <= text_->minimumWidth()) return;
    text_->setMinimumWidth(wanted);
    auto* frame = qobject_cast<QMdiSubWindow*>(view_->parentWidget());
    if (!frame) return;
    view_->adjustSize();
    frame->adjustSize();
}

} // namespace iomira
