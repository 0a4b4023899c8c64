#include "ui/dialogs/sound_notification_dialog.h"
#include "ui/common/dialog_buttons.h"

#include "core/controller_keys.h"
#include "core/sound_library.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"
#include "ui/dialogs/sound_file_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace iomira {

namespace {

constexpr int kInputColumnWidth = 205;
constexpr int kSoundColumnWidth = 150;

QTreeWidget* checkList(QWidget* parent, const QStringList& headers, const char* name) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setColumnCount(static_cast<int>(headers.size()));
    list->setHeaderLabels(headers);
    list->setAllColumnsShowFocus(true);
    return list;
}

QTreeWidgetItem* checkRow(QTreeWidget* list, const QStringList& texts, int input) {
    auto* row = new QTreeWidgetItem(list, texts);
    row->setData(0, Qt::UserRole, input);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(0, Qt::Unchecked);
    return row;
}

std::vector<int> tickedInputs(const QTreeWidget* list) {
    std::vector<int> inputs;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = list->topLevelItem(i);
        if (row->checkState(0) == Qt::Checked) inputs.push_back(row->data(0, Qt::UserRole).toInt());
    }
    return inputs;
}

} // namespace

CSoundDlg::CSoundDlg(const SoundDialogTables& tables, int deviceId, QWidget* parent)
    : QDialog(parent), tables_(tables), deviceId_(deviceId),
      inputs_(checkList(this, {loadString(TEXT_INPUT_PORT)}, "InputList")),
      onList_(checkList(this, {loadString(TEXT_INPUT_PORT), loadString(TEXT_SOUND_FILENAME)},
                        "OnList")),
      offList_(checkList(this, {loadString(TEXT_INPUT_PORT), loadString(TEXT_SOUND_FILENAME)},
                         "OffList")) {
    setWindowTitle(loadString(TEXT_SOUND_NOTIFICATION));
    chooseSound = [this]() -> std::optional<int32_t> {
        CSoundFileDlg chooser(tables_.sounds, tables_.prompts, this);
        if (chooser.exec() != QDialog::Accepted) return std::nullopt;
        return chooser.chosenId();
    };
    inputs_->setColumnWidth(0, kInputColumnWidth);
    inputs_->setMinimumWidth(kInputColumnWidth + 8);

    const CQUORVISData* controller = tables_.controllers.table().find(deviceId_);
    auto* name = new QLabel(controller ? controller->DeviceComment : QString(), this);
    name->setObjectName(QStringLiteral("ControllerName"));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);

    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    QPushButton* setOn = makeDialogButton(loadString(TEXT_SET_ON_SOUND) + QStringLiteral(" >>"),
                                          this, "SetOnButton");
    QPushButton* setOff = makeDialogButton(loadString(TEXT_SET_OFF_SOUND) + QStringLiteral(" >>"),
                                           this, "SetOffButton");
    middle->addWidget(setOn);
    middle->addWidget(setOff);
    middle->addStretch(1);
    connect(setOn, &QPushButton::clicked, this, [this] { assign(SOUND_ON); });
    connect(setOff, &QPushButton::clicked, this, [this] { assign(SOUND_OFF); });

    auto* lists = new QHBoxLayout;
    lists->addWidget(inputs_);
    lists->addLayout(middle);
    lists->addWidget(buildSoundColumn(), 1);

    QPushButton* close = makeDialogButton(loadString(TEXT_CLOSE), this, "CloseButton");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);

    fillInputs();
    fillSounds(SOUND_ON);
    fillSounds(SOUND_OFF);
}

QWidget* CSoundDlg::buildSoundColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    for (SoundEdge edge : {SOUND_ON, SOUND_OFF}) {
        auto* box = new QGroupBox(
            loadString(edge == SOUND_ON ? TEXT_ON_SOUND_LIST : TEXT_OFF_SOUND_LIST), column);
        QTreeWidget* list = soundList(edge);
        list->setColumnWidth(0, kSoundColumnWidth);
        list->setColumnWidth(1, kSoundColumnWidth);
        list->setMinimumWidth(2 * kSoundColumnWidth + 8);
        QPushButton* remove =
            makeDialogButton(QStringLiteral("<< ") + loadString(TEXT_DELETE), box,
                             edge == SOUND_ON ? "DeleteOnButton" : "DeleteOffButton");
        connect(remove, &QPushButton::clicked, this, [this, edge] { clear(edge); });
        auto* boxLayout = new QVBoxLayout(box);
        boxLayout->addWidget(list);
        boxLayout->addWidget(remove, 0, Qt::AlignLeft);
        layout->addWidget(box);
    }
    return column;
}

void CSoundDlg::fillInputs() {
    inputs_->clear();
    const CQUORVISData* c = tables_.controllers.table().find(deviceId_);
    if (!c) return;
    for (int input = 0; input < std::clamp(c->NumberOfPortInput, 0, kDigitalPorts); ++input)
        checkRow(inputs_, {c->DiComment[input]}, input);
}

void CSoundDlg::fillSounds(SoundEdge edge) {
    QTreeWidget* list = soundList(edge);
    list->clear();
    const CQUORVISData* c = tables_.controllers.table().find(deviceId_);
    if (!c) return;
    for (const SoundAssignmentRow& row : soundAssignmentRows(*c, tables_.sounds, edge))
        checkRow(list, {row.port, row.sound}, row.input);
}

void CSoundDlg::assign(SoundEdge edge) {
    const std::vector<int> inputs = tickedInputs(inputs_);
    if (inputs.empty()) {
        tables_.prompts.error(loadString(TEXT_SELECT_INPUT_PORTS));
        return;
    }
    const std::optional<int32_t> soundId = chooseSound ? chooseSound() : std::nullopt;
    if (soundId) change(edge, inputs, *soundId);
}

void CSoundDlg::clear(SoundEdge edge) {
    const std::vector<int> inputs = tickedInputs(soundList(edge));
    if (inputs.empty()) {
        tables_.prompts.error(loadString(TEXT_SELECT_INPUT_PORTS));
        return;
    }
    change(edge, inputs, 0);
}

void CSoundDlg::change(SoundEdge edge, const std::vector<int>& inputs, int32_t soundId) {
    const CQUORVISData* current = tables_.controllers.table().find(deviceId_);
    if (!current) return;
    // The record changes only once the store holds the change, so the two never disagree.
    CQUORVISData updated = *current;
    setInputSounds(updated, inputs, edge, soundId);
    if (!saveController(tables_.store, updated)) {
        tables_.prompts.error(
            loadString(TEXT_NOT_SAVED).replace(QLatin1String("%s"), tables_.store.lastError()));
        return;
    }
    tables_.controllers.edit(deviceId_,
                             [&](CQUORVISData& c) { setInputSounds(c, inputs, edge, soundId); });
    fillSounds(edge);
}

} // namespace iomira
