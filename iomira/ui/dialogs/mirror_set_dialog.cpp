#include "ui/dialogs/mirror_set_dialog.h"

#include "app/controller_directory.h"
#include "core/controller_table.h"
#include "core/quorvis_data.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
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
#include <QTreeWidget>
#include <QVBoxLayout>

namespace iomira {

CMirrorSetDialog::CMirrorSetDialog(ControllerDirectory& directory, OutputMirror& mirror,
                                   UserPrompts& prompts, const QString& set, QWidget* parent)
    : QDialog(parent), directory_(directory), mirror_(mirror), prompts_(prompts), original_(set),
      description_(new QLineEdit(set, this)), groups_(new QComboBox(this)),
      controllers_(new QListWidget(this)), selection_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("MirrorSetDialog"));
    setWindowTitle(loadString(TEXT_CONTROL_MULTIPLE));
    controllers_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    selection_->setHeaderLabels({loadString(TEXT_IO_CONTROLLER), loadString(TEXT_GROUP_NAME),
                                 loadString(TEXT_OUTPUT_PORT)});
    selection_->setRootIsDecorated(false);

    auto* box = new QGroupBox(loadString(TEXT_MIRROR_OUTPUTS), this);
    auto* picks = new QGridLayout;
    for (int port = 0; port < 8; ++port) {
        outputs_[port] = new QCheckBox(QStringLiteral("Do%1").arg(port), box);
        picks->addWidget(outputs_[port], port / 4, port % 4);
    }
    auto* add = makeDialogButton(QStringLiteral(">>"), box, "AddOutputs");
    auto* left = new QVBoxLayout;
    left->addWidget(groups_);
    left->addWidget(controllers_, 1);
    left->addLayout(picks);
    auto* inner = new QHBoxLayout(box);
    inner->addLayout(left);
    inner->addWidget(add);
    inner->addWidget(selection_, 1);

    auto* save = makeDialogButton(TEXT_SAVE, this, "Save");
    auto* cancel = makeDialogButton(TEXT_CANCEL, this, "Cancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(description_);
    layout->addWidget(box, 1);
    layout->addLayout(buttons);
    resize(760, 420);

    for (int i = 0; i < directory_.groups().size(); ++i)
        groups_->addItem(directory_.groups().GroupAt(i)->RootName);
    connect(groups_, &QComboBox::currentIndexChanged, this, &CMirrorSetDialog::showGroup);
    connect(add, &QPushButton::clicked, this, &CMirrorSetDialog::addChecked);
    connect(save, &QPushButton::clicked, this, &CMirrorSetDialog::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (!set.isEmpty()) {
        mirror_.select(set);
        for (const MirrorMember& m : mirror_.members())
            chosen_[m.deviceId][size_t(m.port)] = true;
    }
    showGroup(0);
    fillSelection();
}

void CMirrorSetDialog::showGroup(int index) {
    controllers_->clear();
    const CROOTData* group = directory_.groups().GroupAt(index);
    if (!group) return;
    const ControllerTable& table = directory_.controllers()->table();
    for (const CQUORVISData* c : table.GroupMembers(group->RootID)) {
        if (!c) continue;
        auto* item = new QListWidgetItem(c->DeviceComment, controllers_);
        item->setData(Qt::UserRole, c->DeviceId);
    }
}

void CMirrorSetDialog::addChecked() {
    for (QListWidgetItem* item : controllers_->selectedItems()) {
        const int deviceId = item->data(Qt::UserRole).toInt();
        const CQUORVISData* c = directory_.find(deviceId);
        if (!c) continue;
        std::array<bool, 8>& flags = chosen_[deviceId];
        for (int port = 0; port < 8; ++port)
            flags[size_t(port)] = port < c->NumberOfPortOutput && outputs_[port]->isChecked();
    }
    fillSelection();
}

void CMirrorSetDialog::fillSelection() {
    selection_->clear();
    for (const auto& [deviceId, flags] : chosen_) {
        const CQUORVISData* c = directory_.find(deviceId);
        if (!c) continue;
        QStringList ports;
        for (int port = 0; port < 8; ++port)
            if (flags[size_t(port)]) ports << QStringLiteral("Do%1").arg(port);
        const CROOTData* group = directory_.groups().find(c->RootID);
        new QTreeWidgetItem(selection_, {c->DeviceComment, group ? group->RootName : QString(),
                                         ports.join(QStringLiteral(", "))});
    }
}

bool CMirrorSetDialog::save() {
    const QString name = description_->text();
    const OutputMirror::SaveOutcome outcome = mirror_.saveSet(original_, name, chosen_);
    if (!outcome.problem.isEmpty()) {
        prompts_.error(outcome.problem);
        return false;
    }
    if (!outcome.saved) return false;
    saved_ = name;
    prompts_.information(loadString(TEXT_SAVING_DONE));
    accept();
    return true;
}

} // namespace iomira
