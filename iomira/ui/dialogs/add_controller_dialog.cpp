#include "ui/dialogs/add_controller_dialog.h"

#include "app/add_gathering.h"
#include "app/controller_form.h"
#include "app/controller_search.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "ui/common/dialog_buttons.h"
#include "ui/dialogs/add_manual_page.h"
#include "ui/dialogs/add_search_page.h"
#include "ui/dialogs/search_progress_notice.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace iomira {

CAddIODevices::CAddIODevices(UserPrompts& prompts, const CROOTDataList& groups,
                             const ControllerTable& registered, int rootId, uint16_t languageId,
                             QWidget* parent)
    : QDialog(parent), prompts_(prompts), registered_(registered), tabs_(new QTabWidget(this)),
      searchPage_(new CAddIODevices0(prompts, groups, rootId, languageId, this)),
      manualPage_(new CAddIODevices1(groups, rootId, this)),
      test_(makeDialogButton(TEXT_CONNECTION_TEST, this, "ConnectionTest")),
      add_(makeDialogButton(TEXT_ADD, this, "Add")),
      cancel_(makeDialogButton(TEXT_CANCEL, this, "Cancel")),
      notice_(new SearchProgressNotice(this)), targetGroup_(rootId) {
    setWindowTitle(loadString(TEXT_ADD_IO_CONTROLLER));
    tabs_->addTab(searchPage_, loadString(TEXT_SEARCH_AND_ADD));
    tabs_->addTab(manualPage_, loadString(TEXT_ADD_MANUALLY));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(test_);
    buttons->addStretch(1);
    buttons->addWidget(add_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);

    connect(add_, &QPushButton::clicked, this, &CAddIODevices::accept);
    connect(cancel_, &QPushButton::clicked, this, &CAddIODevices::reject);
    connect(test_, &QPushButton::clicked, this, &CAddIODevices::testConnections);
    connect(searchPage_, &CAddIODevices0::searchStarted, this, [this] { showSearching(true); });
    connect(searchPage_, &CAddIODevices0::searchFinished, this, [this] { showSearching(false); });
}

CAddIODevices::~CAddIODevices() = default;

void CAddIODevices::showSearching(bool searching) {
    add_->setEnabled(!searching);
    cancel_->setEnabled(!searching);
    test_->setEnabled(!searching);
    if (searching)
        notice_->showCentred();
    else
        notice_->hide();
}

bool CAddIODevices::gather() {
    accepted_.clear();
    if (tabs_->currentWidget() == searchPage_) {
        const int rootId = searchPage_->chosenGroup();
        if (rootId < 0) {
            prompts_.error(loadString(TEXT_SELECT_GROUP_FIRST));
            return false;
        }
        const std::vector<FoundRow> rows = searchPage_->chosenRows();
        if (rows.empty()) {
            prompts_.error(loadString(TEXT_NM_SELECT_CONTROLLERS));
            return false;
        }
        targetGroup_ = rootId;
        return checkedGathering(gatherFoundRows(rows, searchPage_->results(), rootId, registered_),
                                true);
    }
    const ControllerForm form = manualPage_->form();
    if (const QString error = manualFormError(form); !error.isEmpty()) {
        prompts_.error(error);
        return false;
    }
    targetGroup_ = form.rootId;
    return checkedGathering(gatherManualRecord(manualPage_->record(), registered_), false);
}

bool CAddIODevices::checkedGathering(const Gathering& gathering, bool searchPage) {
    // A found controller whose settings cannot be read stops the whole Add.
    if (gathering.buildFailed) return false;
    if (!gathering.rejected.isEmpty() &&
        !prompts_.ask(rejectedQuestion(gathering.rejected, searchPage), true))
        return false;
    if (gathering.accepted.empty()) {
        prompts_.error(loadString(TEXT_NO_CONTROLLERS_ACCEPTED));
        return false;
    }
    accepted_ = gathering.accepted;
    return true;
}

void CAddIODevices::accept() {
    if (!gather()) return;
    if (exceedsGroup(registered_, targetGroup_, accepted_.size())) {
        prompts_.error(loadString(TEXT_GROUP_FULL));
        return;
    }
    QDialog::accept();
}

void CAddIODevices::testConnections() {
    if (gather() && connectionTest) connectionTest(this, accepted_);
}

} // namespace iomira
