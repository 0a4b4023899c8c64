#include "ui/windows/output_mirror_window.h"

#include "app/context_menu_rules.h"
#include "app/controller_directory.h"
#include "app/tree_texts.h"
#include "core/quorvis_data.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "monitor/port_state.h"
#include "ui/common/dialog_buttons.h"
#include "ui/common/tree_icons.h"
#include "ui/windows/port_widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace iomira {

namespace {

QTreeWidget* listView(QWidget* parent, const QStringList& columns) {
    auto* view = new QTreeWidget(parent);
    view->setHeaderLabels(columns);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    return view;
}

} // namespace

COutputMirrorWindow::COutputMirrorWindow(ControllerDirectory& directory, ViewServices services,
                                         QWidget* parent)
    : QDialog(parent), directory_(directory), services_(std::move(services)),
      mirror_(directory, services_.log, *services_.prompts), sets_(new QListWidget(this)),
      members_(listView(this, {loadString(TEXT_IO_CONTROLLER), loadString(TEXT_GROUP_NAME),
                               loadString(TEXT_OUTPUT_PORT)})),
      log_(listView(this, {loadString(TEXT_TIME), loadString(TEXT_LOG)})),
      autoScroll_(new QCheckBox(loadString(TEXT_AUTO_SCROLL), this)) {
    setObjectName(QStringLiteral("OutputMirrorWindow"));
    setWindowTitle(loadString(TEXT_CONTROL_MULTIPLE));
    setModal(false);
    sets_->setMinimumWidth(160);
    members_->setMinimumWidth(460);
    members_->setContextMenuPolicy(Qt::CustomContextMenu);
    autoScroll_->setChecked(true);

    auto* add = makeDialogButton(TEXT_ADD, this, "Add");
    auto* modify = makeDialogButton(TEXT_MODIFY_BUTTON, this, "Modify");
    auto* remove = makeDialogButton(TEXT_DELETE, this, "Delete");
    auto* on = makeDialogButton(TEXT_ON, this, "On");
    auto* off = makeDialogButton(TEXT_OFF, this, "Off");
    auto* clearLog = makeDialogButton(TEXT_DELETE, this, "DeleteLog");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {add, modify, remove})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(on);
    buttons->addWidget(off);
    auto* right = new QVBoxLayout;
    right->addWidget(members_, 1);
    right->addLayout(buttons);
    auto* top = new QHBoxLayout;
    top->addWidget(sets_);
    top->addLayout(right, 1);

    auto* logBox = new QGroupBox(loadString(TEXT_LOG), this);
    auto* logLayout = new QVBoxLayout(logBox);
    logLayout->addWidget(log_);
    auto* logButtons = new QHBoxLayout;
    logButtons->addWidget(clearLog);
    logButtons->addStretch(1);
    logButtons->addWidget(autoScroll_);
    logLayout->addLayout(logButtons);
    log_->header()->resizeSection(0, 150);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(logBox, 1);
    resize(720, 560);

    connect(sets_, &QListWidget::currentTextChanged, this, &COutputMirrorWindow::selectSet);
    connect(add, &QPushButton::clicked, this, [this] { openEditor(QString()); });
    connect(modify, &QPushButton::clicked, this, [this] {
        if (!mirror_.selected().isEmpty()) openEditor(mirror_.selected());
    });
    connect(remove, &QPushButton::clicked, this, &COutputMirrorWindow::deleteSet);
    connect(on, &QPushButton::clicked, this, [this] { mirror_.switchMembers(true); });
    connect(off, &QPushButton::clicked, this, [this] { mirror_.switchMembers(false); });
    connect(clearLog, &QPushButton::clicked, log_, &QTreeWidget::clear);
    connect(members_, &QWidget::customContextMenuRequested, this, &COutputMirrorWindow::memberMenu);

    mirror_.addRow = [this](const QString& row) { addLogRow(row); };
    mirror_.refreshRows = [this](int deviceId) { refreshRowsOf(deviceId); };
    mirror_.startPulseTimer = [this](int index, int ms) {
        QTimer::singleShot(ms, this, [this, index, generation = generation_] {
            if (generation == generation_) mirror_.pulseTimeUp(index);
        });
    };
}

void COutputMirrorWindow::showEvent(QShowEvent* event) {
    rebuildSets(mirror_.selected());
    QDialog::showEvent(event);
}

void COutputMirrorWindow::rebuildSets(const QString& select) {
    const QStringList names = mirror_.sets();
    {
        const QSignalBlocker quiet(sets_);
        sets_->clear();
        sets_->addItems(names);
    }
    const QString chosen = names.contains(select) ? select : names.value(0);
    const QList<QListWidgetItem*> found = sets_->findItems(chosen, Qt::MatchExactly);
    if (!found.isEmpty()) sets_->setCurrentItem(found.first());
    selectSet(chosen);
}

void COutputMirrorWindow::selectSet(const QString& set) {
    ++generation_;
    mirror_.select(set);
    members_->clear();
    for (size_t i = 0; i < mirror_.members().size(); ++i) {
        members_->addTopLevelItem(new QTreeWidgetItem);
        fillMemberRow(int(i));
    }
    for (int column = 0; column < 3; ++column)
        members_->resizeColumnToContents(column);
}

void COutputMirrorWindow::fillMemberRow(int index) {
    const MirrorMember& m = mirror_.members()[size_t(index)];
    QTreeWidgetItem* row = members_->topLevelItem(index);
    const CQUORVISData* c = directory_.find(m.deviceId);
    if (!row || !c) return;
    const int state = get_tcp_connection_state(c->DeviceId);
    row->setText(0, c->DeviceComment);
    row->setIcon(0, treeIcon(controllerIcon(state, c->AutomaticConnection)));
    const CROOTData* group = directory_.groups().find(c->RootID);
    row->setText(1, group ? group->RootName : QString());
    row->setText(2, c->DoComment[m.port]);
    const int value = get_received_port_value(c->DeviceId, CORVEL_KIND_OUTPUT, m.port);
    const bool error = get_output_port_read_error(c->DeviceId) == 1;
    const bool rlxPulse = get_rlx8xx_output_pulse(c->DeviceId, m.port) == 1;
    row->setIcon(2, cachedLamp(outputLamp(outputFacts(*c, m.port, value, error, rlxPulse))));
}

void COutputMirrorWindow::refreshRowsOf(int deviceId) {
    for (size_t i = 0; i < mirror_.members().size(); ++i)
        if (mirror_.members()[i].deviceId == deviceId) fillMemberRow(int(i));
}

void COutputMirrorWindow::addLogRow(const QString& row) {
    auto* item = new QTreeWidgetItem(
        {row.section(QLatin1Char('\t'), 0, 0), row.section(QLatin1Char('\t'), 1)});
    log_->addTopLevelItem(item);
    if (autoScroll_->isChecked()) log_->scrollToItem(item);
}

void COutputMirrorWindow::deleteSet() {
    const QString set = mirror_.selected();
    if (set.isEmpty()) return;
    mirror_.deleteSet(set);
    rebuildSets();
}

void COutputMirrorWindow::openEditor(const QString& set) {
    if (!editSet) return;
    const QString saved = editSet(set);
    rebuildSets(saved.isEmpty() ? set : saved);
}

void COutputMirrorWindow::memberMenu(const QPoint& at) {
    QTreeWidgetItem* row = members_->itemAt(at);
    if (!row || !services_.treeCommand) return;
    const int index = members_->indexOfTopLevelItem(row);
    const int deviceId = mirror_.members()[size_t(index)].deviceId;
    QMenu menu(this);
    QAction* connectAction = menu.addAction(loadString(TEXT_CONNECT));
    connectAction->setEnabled(get_tcp_connection_state(deviceId) != TCP_ESTABLISHED);
    if (menu.exec(members_->viewport()->mapToGlobal(at)) == connectAction)
        services_.treeCommand(deviceId, CMD_CONNECT);
}

void COutputMirrorWindow::onCorvelNotification(uint32_t message, uintptr_t wparam,
                                               intptr_t lparam) {
    const int deviceId = static_cast<int>(wparam);
    if (message == CORVEL_WM_DATA)
        mirror_.dataArrived(deviceId, static_cast<int>(lparam));
    else if (message == CORVEL_WM_CONNECTION)
        mirror_.connectionChanged(deviceId, lparam);
}

} // namespace iomira
