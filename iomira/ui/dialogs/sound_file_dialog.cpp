#include "ui/dialogs/sound_file_dialog.h"

#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "ui/dialogs/sound_dialog_list.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace iomira {

CSoundFileDlg::CSoundFileDlg(const SoundLibrary& library, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), library_(library), prompts_(prompts), table_(newSoundTable(this)) {
    setWindowTitle(loadString(TEXT_SOUND_FILE_TITLE));
    fillSoundTable(table_, library_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* select =
        buttons->addButton(loadString(TEXT_ALARM_SELECT), QDialogButtonBox::AcceptRole);
    select->setObjectName(QStringLiteral("SelectButton"));
    QPushButton* play =
        buttons->addButton(loadString(TEXT_PLAY_SOUND), QDialogButtonBox::ActionRole);
    play->setObjectName(QStringLiteral("PlayButton"));
    QPushButton* cancel = buttons->addButton(loadString(TEXT_CANCEL), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    select->setDefault(true);

    // The box's own accept would close without a selection; Select decides for itself.
    connect(select, &QPushButton::clicked, this, &CSoundFileDlg::select);
    connect(play, &QPushButton::clicked, this,
            [this] { playSelectedSound(table_, library_, prompts_); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellDoubleClicked, this, &CSoundFileDlg::select);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    sizeForSoundTable(this);
}

void CSoundFileDlg::select() {
    const int32_t id = selectedSoundId(table_);
    if (id == 0) {
        prompts_.error(loadString(TEXT_SELECT_SOUND_FILE));
        return;
    }
    chosenId_ = id;
    accept();
}

} // namespace iomira
