#include "ui/main/open_script.h"

#include "app/script_import.h"
#include "app/script_reader.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "ui/tree/device_list_pane.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QProgressDialog>

#include <memory>

namespace iomira {

namespace {

QString chooseScript(QWidget* parent) {
    QFileDialog dialog(parent, loadString(TEXT_OPEN_SCRIPT));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({loadString(TEXT_INI_FILES), loadString(TEXT_CSV_FILES)});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

// A long table shows how far the adding is; the events run between controllers so that the
// window keeps drawing.
std::unique_ptr<QProgressDialog> progressFor(QWidget* parent, const ScriptReadOutcome& outcome) {
    if (!scriptImportShowsProgress(outcome)) return nullptr;
    auto dialog =
        std::make_unique<QProgressDialog>(loadString(TEXT_SCRIPT_ADDING), QString(), 0,
                                          static_cast<int>(outcome.records.size()), parent);
    dialog->setWindowTitle(loadString(TEXT_APP_TITLE));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setValue(0);
    return dialog;
}

} // namespace

void openScript(QWidget* parent, CDeviceListPane& pane, UserPrompts& prompts) {
    const QString path = chooseScript(parent);
    if (path.isEmpty()) return;
    const ScriptReadOutcome outcome = readScriptFile(path);
    if (!outcome.error.isEmpty()) {
        prompts.error(outcome.error);
        return;
    }
    ScriptImportSummary summary{0, 0, outcome.warnings};
    if (!outcome.records.empty()) {
        std::unique_ptr<QProgressDialog> progress = progressFor(parent, outcome);
        ControllerDirectory::TableProgress step;
        if (progress) {
            step = [dialog = progress.get()](int done, int) {
                dialog->setValue(done);
                QCoreApplication::processEvents();
            };
        }
        summary = pane.addScript(outcome, step);
    }
    if (scriptSummaryWanted(summary)) prompts.warning(scriptSummaryText(summary));
}

} // namespace iomira
