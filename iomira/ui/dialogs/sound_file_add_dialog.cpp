#include "ui/dialogs/sound_file_add_dialog.h"
#include "ui/common/dialog_buttons.h"

#include "core/sound_library.h"
#include "core/sound_output.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"
#include "notify/alarm_rules_sound.h"
#include "ui/common/text_widths.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace iomira {

CSoundFileAddDlg::CSoundFileAddDlg(const SoundDialogTables& tables, QWidget* parent)
    : QDialog(parent), tables_(tables), pathField_(new QLineEdit(this)) {
    setWindowTitle(loadString(TEXT_SOUND_FILE_SETTING));
    pathField_->setObjectName(QStringLiteral("PathField"));
    pathField_->setReadOnly(true);
    pathField_->setMinimumWidth(widthForCharacters(*pathField_, 64));
    chooseFile = [this] {
        return QFileDialog::getOpenFileName(this, loadString(TEXT_FIND_SOUND), QString(),
                                            QStringLiteral("*.wav"));
    };

    QPushButton* findButton = makeDialogButton(TEXT_FIND_SOUND, this, "FindButton");
    QPushButton* addButton = makeDialogButton(TEXT_ADD, this, "AddButton");
    QPushButton* playButton = makeDialogButton(TEXT_PLAY_SOUND, this, "PlayButton");
    QPushButton* cancelButton = makeDialogButton(TEXT_CANCEL, this, "CancelButton");
    connect(findButton, &QPushButton::clicked, this, &CSoundFileAddDlg::find);
    connect(addButton, &QPushButton::clicked, this, &CSoundFileAddDlg::add);
    connect(playButton, &QPushButton::clicked, this, &CSoundFileAddDlg::play);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(pathField_, 1);
    pathRow->addWidget(findButton);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(addButton);
    buttonRow->addWidget(playButton);
    buttonRow->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pathRow);
    layout->addLayout(buttonRow);
}

void CSoundFileAddDlg::find() {
    const QString chosen = chooseFile ? chooseFile() : QString();
    // The platform dialog only returns existing files; a scripted choice is held to the same.
    if (chosen.isEmpty() || !QFileInfo(chosen).isFile()) return;
    path_ = QFileInfo(chosen).absoluteFilePath();
    pathField_->setText(path_);
}

void CSoundFileAddDlg::add() {
    if (path_.isEmpty()) {
        tables_.prompts.error(loadString(TEXT_SELECT_SOUND_FILE));
        return;
    }
    const QString fileName = QFileInfo(path_).fileName();
    if (!tables_.prompts.ask(
            loadString(TEXT_ADD_SOUND_QUESTION).replace(QLatin1String("%s"), fileName)))
        return;
    const int32_t id = newUnreferencedSoundId(tables_.sounds, tables_.controllers.table());
    if (id < 0) {
        tables_.prompts.error(loadString(TEXT_NO_FREE_ID));
        return;
    }
    const CSound sound = soundForFile(id, path_);
    // Written first: an entry the store refused would vanish at the next start.
    if (!saveSound(tables_.store, sound)) {
        tables_.prompts.error(
            loadString(TEXT_NOT_SAVED).replace(QLatin1String("%s"), tables_.store.lastError()));
        return;
    }
    tables_.sounds.insert(sound);
    addedId_ = id;
    accept();
}

void CSoundFileAddDlg::play() {
    if (path_.isEmpty()) {
        tables_.prompts.error(loadString(TEXT_SELECT_SOUND_FILE));
        return;
    }
    PlaySoundFile(path_);
}

} // namespace iomira
