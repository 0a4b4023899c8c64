#include "ui/windows/notification_window.h"

#include "app/window_placement.h"
#include "core/global_settings.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace iomira {

namespace {

constexpr int kButtonHeight = 24;
constexpr int kNavigationWidth = 62;
constexpr int kGap = 10;
constexpr int kNavigationRise = 55;
const QColor kTextColor(0x41, 0x41, 0x41);

QFont messageFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    return font;
}

Qt::WindowFlags popupFlags(bool titleBar) {
    Qt::WindowFlags flags = Qt::Tool | Qt::WindowStaysOnTopHint;
    if (!titleBar)
        flags |= Qt::FramelessWindowHint;
    else
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    return flags;
}

} // namespace

CDlgMSG::CDlgMSG(Store& store, UserPrompts& prompts, QWidget* owner)
    : QWidget(owner, popupFlags(false)), store_(store), prompts_(prompts) {
    setObjectName(QStringLiteral("NotificationWindow"));
    setWindowTitle(loadString(TEXT_NOTIFICATION));
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    const int texts[ButtonCount] = {TEXT_PREVIOUS,      TEXT_FIRST,   TEXT_NEXT,       TEXT_END,
                                    TEXT_IO_CONTROLLER, TEXT_CONFIRM, TEXT_CONFIRM_ALL};
    for (int b = 0; b < ButtonCount; ++b) {
        buttons_[b] = new QPushButton(loadString(texts[b]), this);
        buttons_[b]->setFont(messageFont());
        connect(buttons_[b], &QPushButton::clicked, this, [this, b] { press(Button(b)); });
    }
    placeAtStart();
    refresh();
}

void CDlgMSG::placeAtStart() {
    placing_ = true;
    resize(kWidth, kHeight);
    const int x = getGlobal(store_, MSG_LastPosX), y = getGlobal(store_, MSG_LastPosY);
    const int cx = getGlobal(store_, MSG_LastPosCX), cy = getGlobal(store_, MSG_LastPosCY);
    if (x == 0 && y == 0 && cx == 0 && cy == 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        move(work.width() - kWidth, work.bottom() + 1 - kHeight);
    } else {
        move(x, y);
    }
    keepOnScreen();
    placing_ = false;
}

// The frame around the window while it has its title bar: as the window system drew it the
// last time, or the height of a title bar before it has been shown with one.
QMargins CDlgMSG::titleBarFrame() {
    const QRect outer = frameGeometry(), inner = geometry();
    const QMargins shown(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (!windowFlags().testFlag(Qt::FramelessWindowHint) && !shown.isNull()) titleFrame_ = shown;
    if (!titleFrame_.isNull()) return titleFrame_;
    return QMargins(0, style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0);
}

// The window with its title bar lies inside the available part of the screen it is on (of
// the primary screen when its place is on no screen), whatever place it was given.
void CDlgMSG::keepOnScreen() {
    const QMargins frame = titleBarFrame();
    // A window's position is that of its frame.
    const QRect outer(pos(), size().grownBy(frame));
    const QScreen* screen = QGuiApplication::screenAt(outer.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect fitted = fitIntoArea(outer, screen->availableGeometry());
    if (fitted.size() != outer.size()) resize(fitted.size().shrunkBy(frame));
    if (fitted.topLeft() != pos()) move(fitted.topLeft());
}

void CDlgMSG::savePlacement() {
    if (placing_ || isMinimized()) return;
    const QRect r = geometry();
    if (r.x() == 0 && r.y() == 0 && r.width() == 0 && r.height() == 0) return;
    setGlobal(store_, MSG_LastPosX, r.x());
    setGlobal(store_, MSG_LastPosY, r.y());
    setGlobal(store_, MSG_LastPosCX, r.width());
    setGlobal(store_, MSG_LastPosCY, r.height());
}

void CDlgMSG::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    savePlacement();
}

void CDlgMSG::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOutButtons();
    savePlacement();
}

void CDlgMSG::layOutButtons() {
    const int w = width(), h = height();
    const int bottomY = h - kGap - kButtonHeight;
    const int navY = bottomY - kNavigationRise;
    const int centre = w / 2;
    buttons_[First]->setGeometry(centre - 2 * kNavigationWidth - 3, navY, kNavigationWidth,
                                 kButtonHeight);
    buttons_[Previous]->setGeometry(centre - kNavigationWidth - 1, navY, kNavigationWidth,
                                    kButtonHeight);
    buttons_[Next]->setGeometry(centre + 1, navY, kNavigationWidth, kButtonHeight);
    buttons_[End]->setGeometry(centre + kNavigationWidth + 3, navY, kNavigationWidth,
                               kButtonHeight);
    int total = -kGap;
    for (Button b : {Controller, Confirm, ConfirmAll})
        total += buttons_[b]->sizeHint().width() + kGap;
    int x = (w - total) / 2;
    for (Button b : {Controller, Confirm, ConfirmAll}) {
        const int bw = buttons_[b]->sizeHint().width();
        buttons_[b]->setGeometry(x, bottomY, bw, kButtonHeight);
        x += bw + kGap;
    }
}

void CDlgMSG::AddNotification(const QString& text, int deviceId) {
    if (list_.add(text, deviceId)) {
        keepOnScreen();
        show();
        raise();
        activateWindow();
    }
    refresh();
}

void CDlgMSG::PostInputNotification(const CQUORVISData& c, int input, int value) {
    if (!inputNotification || inputNotification() != 1) return;
    AddNotification(inputNotificationText(loadString(TEXT_INPUT_NOTIFICATION), c, input, value,
                                          QDateTime::currentDateTime()),
                    c.DeviceId);
}

void CDlgMSG::press(Button which) {
    switch (which) {
    case Previous:
        list_.previous();
        break;
    case First:
        list_.first();
        break;
    case Next:
        list_.next();
        break;
    case End:
        list_.end();
        break;
    case Confirm:
        if (list_.confirm()) hideMessages();
        break;
    case ConfirmAll:
        if (!prompts_.ask(loadString(TEXT_CLOSE_MESSAGES_QUESTION))) return;
        list_.confirmAll();
        hideMessages();
        break;
    case Controller:
        if (list_.currentDeviceId() > 0 && showController) showController(list_.currentDeviceId());
        return;
    case ButtonCount:
        return;
    }
    refresh();
}

void CDlgMSG::hideMessages() {
    hide();
    setTitleBar(false);
}

void CDlgMSG::refresh() {
    const NotificationList::Buttons b = list_.buttons();
    buttons_[Previous]->setEnabled(b.previous);
    buttons_[First]->setEnabled(b.first);
    buttons_[Next]->setEnabled(b.next);
    buttons_[End]->setEnabled(b.end);
    update();
}

void CDlgMSG::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setFont(messageFont());
    p.setPen(kTextColor);
    const QString counter = list_.counterText();
    if (!counter.isEmpty()) {
        const QRect band(0, 10, width(), 20);
        p.drawText(band, Qt::AlignCenter | Qt::TextSingleLine,
                   p.fontMetrics().elidedText(counter, Qt::ElideRight, band.width()));
    }
    const QRect body(30, 30, width() - 60, 100);
    p.drawText(body, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextExpandTabs,
               list_.currentText());
}

void CDlgMSG::setTitleBar(bool shown) {
    const bool frameless = windowFlags().testFlag(Qt::FramelessWindowHint);
    if (frameless != shown) return;
    const bool visible = isVisible();
    const QPoint at = pos();
    placing_ = true;
    setWindowFlags(popupFlags(shown));
    move(at);
    keepOnScreen();
    placing_ = false;
    if (!visible) return;
    show();
    // Shown, the window has the frame the window system gave it.
    keepOnScreen();
}

void CDlgMSG::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    setTitleBar(true);
}

void CDlgMSG::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (!frameGeometry().contains(QCursor::pos())) setTitleBar(false);
}

} // namespace iomira
