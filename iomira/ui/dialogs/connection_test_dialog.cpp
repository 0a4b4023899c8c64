#include "ui/dialogs/connection_test_dialog.h"

#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "ui/common/dialog_buttons.h"
#include "ui/common/message_box_prompts.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace iomira {

CTCPTestDlg::CTCPTestDlg(std::vector<CQUORVISData> records, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), test_(std::move(records)), prompts_(prompts), log_(new QPlainTextEdit(this)),
      ok_(makeDialogButton(TEXT_OK, this, "OkButton")),
      cancel_(makeDialogButton(TEXT_CANCEL, this, "CancelButton")) {
    setObjectName(QStringLiteral("ConnectionTestDialog"));
    setWindowTitle(loadString(TEXT_APP_TITLE));
    log_->setObjectName(QStringLiteral("LogField"));
    log_->setReadOnly(true);
    log_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    log_->setMinimumSize(460, 280);
    cancel_->hide();
    ok_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(log_);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &CTCPTestDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CTCPTestDlg::reject);
    connect(&test_, &ConnectionTest::logChanged, this, &CTCPTestDlg::showLog);
    test_.start();
}

void CTCPTestDlg::accept() {
    if (mayClose()) QDialog::accept();
}

void CTCPTestDlg::reject() {
    if (mayClose()) QDialog::reject();
}

bool CTCPTestDlg::mayClose() {
    return !test_.recordsRemain() || prompts_.ask(loadString(TEXT_EXIT_CONNECTION_TEST));
}

void CTCPTestDlg::showLog(const QString& text) {
    QString shown = text;
    shown.remove(QLatin1Char('\r')); // the field breaks lines at "\n" alone
    log_->setPlainText(shown);
    log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
}

void runConnectionTest(QWidget* parent, std::vector<CQUORVISData> records) {
    MessageBoxPrompts prompts(parent);
    CTCPTestDlg dialog(std::move(records), prompts, parent);
    dialog.exec();
}

} // namespace iomira
