#include "ui/dialogs/sound_file_setting_dialog.h"

#include "core/sound_library.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"
#include "notify/alarm_rules_sound.h"
#include "ui/common/dialog_buttons.h"
#include "ui/dialogs/sound_dialog_list.h"
#include "ui/dialogs/sound_file_add_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace iomira {

CSoundFileSetting::CSoundFileSetting(const SoundDialogTables& tables, QWidget* parent)
    : QDialog(parent), tables_(tables), table_(newSoundTable(this)) {
    setWindowTitle(loadString(TEXT_SOUND_FILE_SETTING));
    fillSoundTable(table_, tables_.sounds);
    addSound = [this] { return CSoundFileAddDlg(tables_, this).exec() == QDialog::Accepted; };

    auto* buttons = new QDialogButtonBox(this);
    auto addButton = [&](int textId, const char* name) {
        QPushButton* b = makeDialogButton(textId, buttons, name);
        buttons->addButton(b, QDialogButtonBox::ActionRole);
        return b;
    };
    connect(addButton(TEXT_ADD, "AddButton"), &QPushButton::clicked, this, &CSoundFileSetting::add);
    connect(addButton(TEXT_DELETE, "DeleteButton"), &QPushButton::clicked, this,
            &CSoundFileSetting::remove);
    connect(addButton(TEXT_PLAY_SOUND, "PlayButton"), &QPushButton::clicked, this,
            [this] { playSelectedSound(table_, tables_.sounds, tables_.prompts); });
    QPushButton* close = buttons->addButton(loadString(TEXT_CLOSE), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    sizeForSoundTable(this);
}

void CSoundFileSetting::add() {
    if (addSound && addSound()) fillSoundTable(table_, tables_.sounds);
}

void CSoundFileSetting::remove() {
    const CSound* sound = tables_.sounds.find(selectedSoundId(table_));
    if (!sound) {
        tables_.prompts.error(loadString(TEXT_SELECT_SOUND_FILE));
        return;
    }
    // Inputs that name the sound keep its id: they play nothing and say "File not found.".
    const int uses = soundUseCount(tables_.controllers.table(), sound->SoundId);
    if (!tables_.prompts.ask(deleteSoundQuestion(*sound, uses))) return;
    if (!tables_.sounds.remove(tables_.store, sound->SoundId)) {
        tables_.prompts.error(
            loadString(TEXT_NOT_DELETED).replace(QLatin1String("%s"), tables_.store.lastError()));
        return;
    }
    fillSoundTable(table_, tables_.sounds);
}

} // namespace iomira
