#include "ui/dialogs/search_progress_notice.h"

#include "core/string_table.h"
#include "core/texts.h"

#include <QLabel>
#include <QVBoxLayout>

namespace iomira {

SearchProgressNotice::SearchProgressNotice(QWidget* over)
    : QDialog(over, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(loadString(TEXT_APP_TITLE));
    setObjectName(QStringLiteral("SearchProgressNotice"));
    setModal(false);
    auto* label = new QLabel(loadString(TEXT_SEARCHING), this);
    label->setAlignment(Qt::AlignCenter);
    // A raised box, so the notice stands out over the dialog even where no frame is drawn.
    label->setFrameStyle(QFrame::Panel | QFrame::Raised);
    label->setLineWidth(2);
    label->setMargin(18);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
}

void SearchProgressNotice::showCentred() {
    adjustSize();
    const QWidget* over = parentWidget();
    if (over) move(over->geometry().center() - rect().center());
    show();
    raise();
}

} // namespace iomira
