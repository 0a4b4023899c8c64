#include "ui/common/table_progress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace iomira {

TableProgress::TableProgress(QWidget* parent, const QString& label, int total, bool shown) {
    if (!shown) return;
    dialog_ = std::make_unique<QProgressDialog>(label, QString(), 0, total, parent);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(0);
    dialog_->setValue(0);
}

TableProgress::~TableProgress() = default;

ControllerDirectory::TableProgress TableProgress::callback() {
    if (!dialog_) return {};
    QProgressDialog* dialog = dialog_.get();
    return [dialog](int done, int) {
        dialog->setValue(done);
        // Paints the dialog and the tree between two controllers; input stays with the
        // modal dialog, which has no button to cancel.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

} // namespace iomira
