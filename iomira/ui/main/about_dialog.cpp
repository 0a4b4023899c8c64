#include "ui/main/about_dialog.h"

#include "core/string_table.h"
#include "core/texts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace iomira {

QString productNameAndVersion() {
    const QStringList words = loadString(TEXT_APP_TITLE).split(QLatin1Char(' '));
    return words.mid(0, 2).join(QLatin1Char(' '));
}

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(loadString(TEXT_ABOUT_CAPTION));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    auto* text = new QLabel(productNameAndVersion(), this);
    QFont font = text->font();
    font.setPointSizeF(font.pointSizeF() * 1.3);
    font.setBold(true);
    text->setFont(font);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(loadString(TEXT_OK));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

} // namespace iomira
