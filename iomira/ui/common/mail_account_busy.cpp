#include "ui/common/mail_account_busy.h"

#include "core/texts.h"
#include "core/string_table.h"

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

namespace iomira {

namespace {

// One busy window at a time; it belongs to the window it was last shown over.
QPointer<QDialog> busyWindow;

std::function<void(QWidget*, const QString&)> sharedShow;
std::function<void()> sharedHide;

QDialog* createBusy(QWidget* over) {
    auto* dialog = new QDialog(over, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog->setObjectName(QStringLiteral("MailAccountBusy"));
    dialog->setWindowTitle(loadString(TEXT_MAIL_ACCOUNT_SETTING));
    dialog->setModal(false);
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(dialog);
    label->setObjectName(QStringLiteral("BusyText"));
    label->setAlignment(Qt::AlignCenter);
    auto* spinner = new QProgressBar(dialog);
    spinner->setRange(0, 0); // no end known: the bar keeps moving
    spinner->setTextVisible(false);
    layout->addWidget(label);
    layout->addWidget(spinner);
    dialog->setMinimumWidth(300);
    return dialog;
}

} // namespace

void setMailAccountBusyWindow(std::function<void(QWidget*, const QString&)> show,
                              std::function<void()> hide) {
    sharedShow = std::move(show);
    sharedHide = std::move(hide);
}

void showMailAccountBusy(QWidget* over, const QString& text) {
    if (sharedShow) {
        sharedShow(over, text);
        return;
    }
    if (busyWindow && busyWindow->parentWidget() != over) delete busyWindow;
    if (!busyWindow) busyWindow = createBusy(over);
    busyWindow->findChild<QLabel*>(QStringLiteral("BusyText"))->setText(text);
    busyWindow->adjustSize();
    if (over) {
        const QRect area = over->window()->frameGeometry();
        busyWindow->move(area.center() - busyWindow->rect().center());
    }
    busyWindow->show();
    busyWindow->raise();
}

void hideMailAccountBusy() {
    if (sharedHide) {
        sharedHide();
        return;
    }
    if (busyWindow) busyWindow->hide();
}

} // namespace iomira
