#include "ui/common/busy_window.h"

#include "core/string_table.h"
#include "core/texts.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

#include <cmath>

namespace iomira {

namespace {
const QColor kBackground(240, 240, 240);
constexpr int kTextHeight = 24;
} // namespace

QPixmap spinnerFrame(int frame, qreal devicePixelRatio) {
    const int pixels = qRound(kSpinnerSize * devicePixelRatio);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(kBackground);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(devicePixelRatio, devicePixelRatio);
    p.translate(kSpinnerSize / 2.0, kSpinnerSize / 2.0);
    for (int spoke = 0; spoke < kSpinnerFrames; ++spoke) {
        // Spokes behind the leading one fade out.
        const int behind = (frame - spoke + kSpinnerFrames) % kSpinnerFrames;
        const int shade = 60 + behind * 14;
        QPen pen(QColor(shade, shade, shade + 10), 3.4);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        const double angle = spoke * 2.0 * M_PI / kSpinnerFrames - M_PI / 2.0;
        p.drawLine(QPointF(8.0 * std::cos(angle), 8.0 * std::sin(angle)),
                   QPointF(16.0 * std::cos(angle), 16.0 * std::sin(angle)));
    }
    p.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

CMsgDlg::CMsgDlg() : text_(new QLabel(this)) {
    setObjectName(QStringLiteral("BusyWindow"));
    setWindowTitle(loadString(TEXT_ADD_IO_CONTROLLER));
    setModal(false);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    setPalette(palette);
    text_->setAlignment(Qt::AlignCenter);
    text_->setMinimumHeight(kTextHeight);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addSpacing(kSpinnerSize + 8);
    setFixedSize(280, 24 + kTextHeight + kSpinnerSize + 16);
    timer_.setInterval(kSpinnerStepMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kSpinnerFrames;
        update(spinnerArea());
    });
    timer_.start();
}

CMsgDlg* CMsgDlg::instance(bool create) {
    static QPointer<CMsgDlg> busy;
    if (!busy && create) {
        busy = new CMsgDlg();
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, busy.data(), &QObject::deleteLater);
    }
    return busy;
}

QRect CMsgDlg::spinnerArea() const {
    return QRect((width() - kSpinnerSize) / 2, text_->geometry().bottom() + 6, kSpinnerSize,
                 kSpinnerSize);
}

void CMsgDlg::ShowBusy(const QString& text, const QRect& area) {
    move(area.center() - QPoint(width() / 2, height() / 2));
    show();
    text_->setText(text);
}

QString CMsgDlg::text() const {
    return text_->text();
}

void CMsgDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    p.drawPixmap(spinnerArea().topLeft(), spinnerFrame(frame_, devicePixelRatioF()));
}

void ShowBusy(const QString& text, const QRect& area) {
    CMsgDlg::instance()->ShowBusy(text, area);
}

void HideBusy() {
    if (CMsgDlg* busy = CMsgDlg::instance(false)) busy->HideBusy();
}

} // namespace iomira
