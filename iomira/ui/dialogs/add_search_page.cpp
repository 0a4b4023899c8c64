#include "ui/dialogs/add_search_page.h"

#include "app/controller_search.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/common/dialog_buttons.h"
#include "ui/dialogs/controller_fields.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace iomira {

CAddIODevices0::CAddIODevices0(UserPrompts& prompts, const CROOTDataList& groups, int rootId,
                               uint16_t languageId, QWidget* parent)
    : QWidget(parent),
      search_(new ControllerSearch(prompts, languageId, loadString(TEXT_ADD_IO_CONTROLLER), this)),
      kind_(new QComboBox(this)), searchButton_(makeDialogButton(TEXT_SEARCH, this, "Search")),
      address_(new QLineEdit(QStringLiteral("10.1.0.1"), this)),
      port_(new QLineEdit(QStringLiteral("50005"), this)), list_(new QTreeWidget(this)),
      groups_(new QComboBox(this)) {
    kind_->setObjectName(QStringLiteral("SearchKind"));
    kind_->addItem(loadString(TEXT_SEARCH_BY_MAC));
    kind_->addItem(loadString(TEXT_SEARCH_BY_ADDRESS));
    address_->setObjectName(QStringLiteral("Address"));
    port_->setObjectName(QStringLiteral("Port"));
    port_->setValidator(new QIntValidator(0, 65535, port_));
    list_->setObjectName(QStringLiteral("Found"));
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setAllColumnsShowFocus(true);
    list_->setHeaderLabels({loadString(TEXT_PRODUCT), loadString(TEXT_PRODUCT_INFO)});
    list_->header()->resizeSection(0, 80);
    list_->header()->resizeSection(1, 300);
    list_->setMinimumSize(400, 200);
    groups_->setObjectName(QStringLiteral("Group"));
    fillGroupList(*groups_, groups, rootId);

    // One grid, so the address, port and group fields start at the same column.
    auto* layout = new QGridLayout(this);
    layout->addWidget(kind_, 0, 0, 1, 2);
    layout->addWidget(searchButton_, 0, 2);
    layout->addWidget(new QLabel(loadString(TEXT_NETWORK_ADDRESS), this), 1, 0);
    layout->addWidget(address_, 1, 1, 1, 2);
    layout->addWidget(new QLabel(loadString(TEXT_PORT_NUMBER), this), 2, 0);
    layout->addWidget(port_, 2, 1, 1, 2);
    layout->addWidget(list_, 3, 0, 1, 3);
    layout->addWidget(new QLabel(loadString(TEXT_SELECT_GROUP), this), 4, 0);
    layout->addWidget(groups_, 4, 1, 1, 2);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(1, 1);

    connect(kind_, &QComboBox::currentIndexChanged, this, &CAddIODevices0::followKind);
    connect(searchButton_, &QPushButton::clicked, this, &CAddIODevices0::startSearch);
    connect(search_, &ControllerSearch::started, this, [this] {
        searchButton_->setEnabled(false);
        list_->clear();
        emit searchStarted();
    });
    connect(search_, &ControllerSearch::rowsAdded, this, &CAddIODevices0::showRows);
    connect(search_, &ControllerSearch::finished, this, [this] {
        searchButton_->setEnabled(true);
        emit searchFinished();
    });
    followKind();
}

int CAddIODevices0::chosenGroup() const {
    return iomira::chosenGroup(*groups_);
}

std::vector<FoundRow> CAddIODevices0::chosenRows() const {
    std::vector<FoundRow> rows;
    const std::vector<FoundRow>& found = search_->rows();
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->isSelected() && i < static_cast<int>(found.size()))
            rows.push_back(found[i]);
    }
    return rows;
}

FoundResults CAddIODevices0::results() const {
    return search_->results();
}

void CAddIODevices0::startSearch() {
    const auto kind = static_cast<ControllerSearch::Kind>(kind_->currentIndex());
    search_->start(kind, address_->text(), port_->text());
}

void CAddIODevices0::followKind() {
    const bool byAddress = kind_->currentIndex() == ControllerSearch::BY_ADDRESS;
    address_->setEnabled(byAddress);
    port_->setEnabled(byAddress);
}

void CAddIODevices0::showRows(int first, int count) {
    const std::vector<FoundRow>& rows = search_->rows();
    for (int i = first; i < first + count; ++i)
        new QTreeWidgetItem(list_, {rows[i].product, rows[i].information});
}

} // namespace iomira
