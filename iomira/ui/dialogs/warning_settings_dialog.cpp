#include "ui/dialogs/warning_settings_dialog.h"

#include "app/tree_texts.h"
#include "core/quorvis_data.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"
#include "ui/common/text_widths.h"
#include "ui/common/tree_icons.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace iomira {

namespace {

constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kIsControllerRole = Qt::UserRole + 2;

QLineEdit* textField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setMaxLength(kWarningTextLimit);
    // Wide enough for the default questions, which most fields hold, in the shown language.
    const WarningForm defaults = defaultWarningForm();
    field->setMinimumWidth(
        std::max(fieldWidthFor(*field, defaults.allOn), fieldWidthFor(*field, defaults.allOff)));
    return field;
}

} // namespace

CWarningMSGDlg::CWarningMSGDlg(Context context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)), tree_(new QTreeWidget(this)),
      use_(new QCheckBox(loadString(TEXT_USE), this)),
      allPorts_(new QRadioButton(loadString(TEXT_APPLY_ALL_OUTPUTS), this)),
      eachPort_(new QRadioButton(loadString(TEXT_APPLY_EACH_OUTPUT), this)),
      allOn_(textField(this)), allOff_(textField(this)) {
    setObjectName(QStringLiteral("WarningMessageDialog"));
    setWindowTitle(loadString(TEXT_WARNING_MESSAGE));
    tree_->setHeaderHidden(true);
    tree_->setMinimumWidth(widthForCharacters(*tree_, 28));

    auto* all = new QGridLayout;
    all->addWidget(allPorts_, 0, 0, 1, 2);
    all->addWidget(new QLabel(loadString(TEXT_ON), this), 1, 0);
    all->addWidget(allOn_, 1, 1);
    all->addWidget(new QLabel(loadString(TEXT_OFF), this), 2, 0);
    all->addWidget(allOff_, 2, 1);
    auto* each = new QGridLayout;
    each->addWidget(eachPort_, 0, 0, 1, 3);
    each->addWidget(new QLabel(loadString(TEXT_ON), this), 1, 1);
    each->addWidget(new QLabel(loadString(TEXT_OFF), this), 1, 2);
    for (int i = 0; i < kDigitalPorts; ++i) {
        rowUse_[i] = new QCheckBox(
            loadString(TEXT_OUTPUT_TOOLTIP).replace(QLatin1String("%d"), QString::number(i)), this);
        rowOn_[i] = textField(this);
        rowOff_[i] = textField(this);
        each->addWidget(rowUse_[i], i + 2, 0);
        each->addWidget(rowOn_[i], i + 2, 1);
        each->addWidget(rowOff_[i], i + 2, 2);
    }
    auto* note = new QLabel(loadString(TEXT_WARNING_NOTE), this);
    note->setWordWrap(true);
    auto* applyButton = new QPushButton(loadString(TEXT_APPLY), this);
    auto* closeButton = new QPushButton(loadString(TEXT_CLOSE), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(applyButton);
    buttons->addWidget(closeButton);

    auto* right = new QVBoxLayout;
    right->addWidget(use_);
    right->addLayout(all);
    right->addLayout(each);
    right->addWidget(note);
    right->addStretch(1);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(tree_);
    layout->addLayout(right, 1);

    connect(use_, &QCheckBox::clicked, this, &CWarningMSGDlg::updateEnabled);
    connect(allPorts_, &QRadioButton::clicked, this, &CWarningMSGDlg::updateEnabled);
    connect(eachPort_, &QRadioButton::clicked, this, &CWarningMSGDlg::updateEnabled);
    connect(applyButton, &QPushButton::clicked, this, &CWarningMSGDlg::apply);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { selectionChanged(item); });
    fillTree();
    selectionChanged(nullptr);
}

void CWarningMSGDlg::fillTree() {
    ControllerTable& table = context_.controllers.table();
    context_.groups.forEach([&](const CROOTData& group) {
        auto* groupItem = new QTreeWidgetItem(tree_, QStringList(group.RootName));
        groupItem->setIcon(0, treeIcon(ICON_GROUP));
        groupItem->setData(0, kIdRole, group.RootID);
        table.forEach([&](const CQUORVISData& c) {
            if (c.RootID != group.RootID || c.NumberOfPortOutput < 1) return;
            auto* item = new QTreeWidgetItem(groupItem, QStringList(c.DeviceComment));
            item->setIcon(0, treeIcon(ICON_CLOSED_AUTOMATIC));
            item->setData(0, kIdRole, c.DeviceId);
            item->setData(0, kIsControllerRole, true);
        });
        groupItem->sortChildren(0, Qt::AscendingOrder);
    });
    tree_->sortItems(0, Qt::AscendingOrder);
    tree_->expandAll();
}

int CWarningMSGDlg::selectedDeviceId() const {
    QTreeWidgetItem* item = tree_->currentItem();
    if (!item || !item->data(0, kIsControllerRole).toBool()) return -1;
    return item->data(0, kIdRole).toInt();
}

void CWarningMSGDlg::selectController(int deviceId) {
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        if ((*it)->data(0, kIsControllerRole).toBool() &&
            (*it)->data(0, kIdRole).toInt() == deviceId)
            tree_->setCurrentItem(*it);
    }
}

void CWarningMSGDlg::selectionChanged(QTreeWidgetItem*) {
    const int id = selectedDeviceId();
    const CQUORVISData* c = id >= 0 ? context_.controllers.table().find(id) : nullptr;
    setForm(c ? warningFormFor(*c) : defaultWarningForm());
    rows_ = c ? qBound(0, c->NumberOfPortOutput, kDigitalPorts) : kDigitalPorts;
    for (int i = 0; i < kDigitalPorts; ++i) {
        rowUse_[i]->setVisible(i < rows_);
        rowOn_[i]->setVisible(i < rows_);
        rowOff_[i]->setVisible(i < rows_);
    }
    use_->setEnabled(c != nullptr);
    updateEnabled();
}

WarningForm CWarningMSGDlg::form() const {
    WarningForm form;
    form.use = use_->isChecked();
    form.type = eachPort_->isChecked() ? 1 : 0;
    form.allOn = allOn_->text();
    form.allOff = allOff_->text();
    for (int i = 0; i < kDigitalPorts; ++i) {
        form.rowUse[i] = rowUse_[i]->isChecked();
        form.rowOn[i] = rowOn_[i]->text();
        form.rowOff[i] = rowOff_[i]->text();
    }
    return form;
}

void CWarningMSGDlg::setForm(const WarningForm& form) {
    use_->setChecked(form.use);
    allPorts_->setChecked(form.type == 0);
    eachPort_->setChecked(form.type == 1);
    allOn_->setText(form.allOn);
    allOff_->setText(form.allOff);
    for (int i = 0; i < kDigitalPorts; ++i) {
        rowUse_[i]->setChecked(form.rowUse[i]);
        rowOn_[i]->setText(form.rowOn[i]);
        rowOff_[i]->setText(form.rowOff[i]);
    }
    updateEnabled();
}

void CWarningMSGDlg::updateEnabled() {
    const bool use = use_->isChecked() && use_->isEnabled();
    const bool each = eachPort_->isChecked();
    allPorts_->setEnabled(use);
    eachPort_->setEnabled(use);
    allOn_->setEnabled(use && !each);
    allOff_->setEnabled(use && !each);
    for (int i = 0; i < kDigitalPorts; ++i) {
        rowUse_[i]->setEnabled(use && each);
        rowOn_[i]->setEnabled(use && each);
        rowOff_[i]->setEnabled(use && each);
    }
}

bool CWarningMSGDlg::apply() {
    const int id = selectedDeviceId();
    if (id < 0 || !context_.controllers.table().find(id)) {
        context_.prompts.error(loadString(TEXT_SELECT_CONTROLLERS_WARNING));
        return false;
    }
    const WarningForm fields = form();
    if (!warningFormValid(fields)) {
        context_.prompts.error(loadString(TEXT_WARNING_TOO_LONG));
        return false;
    }
    if (!context_.prompts.ask(loadString(TEXT_CHANGE_SETTINGS_QUESTION))) return false;
    context_.controllers.edit(id, [&](CQUORVISData& c) { applyWarningForm(fields, c); });
    if (const CQUORVISData* c = context_.controllers.table().find(id); c && context_.save)
        context_.save(*c);
    if (context_.refreshWindow) context_.refreshWindow(id);
    return true;
}

} // namespace iomira
