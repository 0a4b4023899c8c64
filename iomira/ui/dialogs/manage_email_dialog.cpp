#include "ui/dialogs/manage_email_dialog.h"

#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "monitor/shared_controllers.h"
#include "ui/common/dialog_buttons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace iomira {

namespace {

QString text(int id) {
    return loadString(id);
}

QGroupBox* portBox(int titleId, const QString& prefix,
                   std::array<QCheckBox*, kDigitalPorts>& boxes) {
    auto* box = new QGroupBox(text(titleId));
    auto* grid = new QGridLayout(box);
    for (int i = 0; i < kDigitalPorts; ++i) {
        boxes[i] = new QCheckBox(prefix + QString::number(i));
        grid->addWidget(boxes[i], i / 4, i % 4);
    }
    return box;
}

} // namespace

CManageEmailDlg::CManageEmailDlg(const EmailDialogTables& tables, QWidget* parent)
    : QDialog(parent), tables_(tables) {
    build();
    fillAccounts();
    fillRecipientLists();
    fillGroups();
    mailThread_ = std::make_unique<CSendMailThread>(
        [this](int32_t id) -> std::optional<CMailAccount> {
            if (const CMailAccount* a = tables_.accounts.find(id)) return *a;
            return std::nullopt;
        },
        [this](const MailReport& report) { sampleReported(report); });
}

// The mail thread is asked to quit and awaited before the widgets go.
CManageEmailDlg::~CManageEmailDlg() {
    mailThread_.reset();
}

void CManageEmailDlg::build() {
    setWindowTitle(text(TEXT_EMAIL_NOTIFICATION));
    group_ = new QComboBox;
    single_ = new QListWidget;
    single_->setSelectionMode(QAbstractItemView::SingleSelection);
    multi_ = new QListWidget;
    multi_->setSelectionMode(QAbstractItemView::MultiSelection);
    multi_->hide();
    multiMode_ = new QCheckBox(text(TEXT_NM_MULTI_SELECT));
    multiMode_->setObjectName(QStringLiteral("multiMode"));

    auto* left = new QVBoxLayout;
    auto* groupRow = new QHBoxLayout;
    groupRow->addWidget(new QLabel(text(TEXT_GROUP)));
    groupRow->addWidget(group_, 1);
    left->addLayout(groupRow);
    left->addWidget(single_, 1);
    left->addWidget(multi_, 1);

    auto* frame = new QGroupBox(text(TEXT_EMAIL_NOTIFICATION));
    auto* right = new QVBoxLayout(frame);
    notify_ = new QCheckBox(text(TEXT_EMAIL_NOTIFICATION));
    right->addWidget(notify_);
    right->addWidget(buildMailFields(), 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(frame, 2);

    accountSetting_ = makeDialogButton(TEXT_MAIL_ACCOUNT_SETTING, this, "AccountSettingButton");
    sample_ = makeDialogButton(TEXT_NM_SEND_SAMPLE, this, "SampleButton");
    apply_ = makeDialogButton(TEXT_APPLY, this, "ApplyButton");
    QPushButton* close = makeDialogButton(TEXT_CLOSE, this, "CloseButton");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(multiMode_, 1);
    for (QPushButton* b : {accountSetting_, sample_, apply_, close})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    resize(860, 560);

    connect(group_, &QComboBox::currentIndexChanged, this, [this] { fillControllers(); });
    connect(single_, &QListWidget::currentItemChanged, this, &CManageEmailDlg::singleChanged);
    connect(multi_, &QListWidget::itemSelectionChanged, this, &CManageEmailDlg::multiChanged);
    connect(multiMode_, &QCheckBox::toggled, this, &CManageEmailDlg::modeToggled);
    connect(notify_, &QCheckBox::toggled, this, [this] { enableFields(); });
    connect(accountSetting_, &QPushButton::clicked, this, [this] {
        if (tables_.showAccountSetting) tables_.showAccountSetting(this);
        fillAccounts();
    });
    connect(sample_, &QPushButton::clicked, this, &CManageEmailDlg::sendSample);
    connect(apply_, &QPushButton::clicked, this, &CManageEmailDlg::apply);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    enableFields();
}

QWidget* CManageEmailDlg::buildMailFields() {
    auto* fields = new QWidget;
    auto* layout = new QVBoxLayout(fields);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* ports = new QHBoxLayout;
    ports->addWidget(portBox(TEXT_INPUT_PORT, QStringLiteral("DI"), inputs_));
    ports->addWidget(portBox(TEXT_OUTPUT_PORT, QStringLiteral("DO"), outputs_));
    layout->addLayout(ports);

    account_ = new QComboBox;
    to_ = new QComboBox;
    to_->setEditable(true);
    subject_ = new QLineEdit;
    message_ = new QPlainTextEdit;
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(text(TEXT_NM_FROM)), 0, 0);
    grid->addWidget(account_, 0, 1);
    grid->addWidget(new QLabel(text(TEXT_NM_TO)), 1, 0);
    grid->addWidget(to_, 1, 1);
    grid->addWidget(new QLabel(text(TEXT_NM_SUBJECT)), 2, 0);
    grid->addWidget(subject_, 2, 1);
    layout->addLayout(grid);
    layout->addWidget(message_, 1);
    for (int id : {TEXT_NM_NOTE_PORT, TEXT_NM_NOTE_STATE, TEXT_NM_NOTE_TIME, TEXT_NM_NOTE_DEVICE})
        layout->addWidget(new QLabel(text(id)));
    return fields;
}

void CManageEmailDlg::fillGroups() {
    std::vector<const CROOTData*> groups;
    for (int i = 0; i < tables_.groups.size(); ++i)
        if (const CROOTData* g = tables_.groups.GroupAt(i)) groups.push_back(g);
    group_->clear();
    for (const CROOTData* g : groups)
        group_->addItem(g->RootName, g->RootID);
}

void CManageEmailDlg::fillControllers() {
    const int rootId = group_->currentData().toInt();
    single_->blockSignals(true);
    multi_->blockSignals(true);
    single_->clear();
    multi_->clear();
    multiSelection_.clear();
    tables_.controllers.table().forEach([&](const CQUORVISData& c) {
        if (!offersEmailSettings(c, rootId)) return;
        for (QListWidget* list : {single_, multi_}) {
            auto* item = new QListWidgetItem(c.DeviceComment, list);
            item->setData(Qt::UserRole, c.DeviceId);
        }
    });
    single_->blockSignals(false);
    multi_->blockSignals(false);
    showForm({}, nullptr);
}

void CManageEmailDlg::fillAccounts() {
    const QVariant chosen = account_->currentData();
    account_->clear();
    tables_.accounts.forEach([this](const CMailAccount& a) {
        account_->addItem(a.MailAccountComment, a.MailAccountId);
    });
    account_->setCurrentIndex(chosen.isValid() ? account_->findData(chosen) : -1);
}

void CManageEmailDlg::fillRecipientLists() {
    std::vector<const CQUORVISData*> all;
    tables_.controllers.table().forEach([&](const CQUORVISData& c) { all.push_back(&c); });
    const QString typed = to_->currentText();
    to_->clear();
    for (const QString& list : knownRecipientLists(all))
        to_->addItem(list);
    to_->setEditText(typed);
}

void CManageEmailDlg::enableFields() {
    const bool on = notify_->isChecked();
    const CQUORVISData* c = controller(shownId_);
    for (int i = 0; i < kDigitalPorts; ++i) {
        inputs_[i]->setEnabled(on && c && i < c->NumberOfPortInput);
        outputs_[i]->setEnabled(on && c && i < c->NumberOfPortOutput);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{account_, to_, subject_, message_})
        w->setEnabled(on);
}

void CManageEmailDlg::showForm(const EmailSettingsForm& form, const CQUORVISData* c) {
    shownId_ = c ? c->DeviceId : -1;
    notify_->setChecked(form.UseEmailNotification == 1);
    for (int i = 0; i < kDigitalPorts; ++i) {
        inputs_[i]->setChecked(form.inputs[i] == 1);
        outputs_[i]->setChecked(form.outputs[i] == 1);
    }
    account_->setCurrentIndex(account_->findData(form.mailAccountId));
    to_->setEditText(form.mailTo);
    subject_->setText(form.subject);
    message_->setPlainText(
        QString(form.content).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    enableFields();
}

EmailSettingsForm CManageEmailDlg::shownForm() const {
    EmailSettingsForm form;
    form.UseEmailNotification = notify_->isChecked() ? 1 : 0;
    for (int i = 0; i < kDigitalPorts; ++i) {
        form.inputs[i] = inputs_[i]->isChecked() ? 1 : 0;
        form.outputs[i] = outputs_[i]->isChecked() ? 1 : 0;
    }
    form.mailAccountId =
        account_->currentIndex() < 0 ? kNoMailAccount : account_->currentData().toInt();
    form.mailTo = to_->currentText();
    form.subject = subject_->text();
    // The editor keeps bare line feeds; mails and the store use CR LF.
    form.content = message_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return form;
}

const CQUORVISData* CManageEmailDlg::controller(int deviceId) const {
    return deviceId < 0 ? nullptr : tables_.controllers.table().find(deviceId);
}

} // namespace iomira
