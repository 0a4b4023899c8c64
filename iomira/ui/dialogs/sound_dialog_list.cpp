#include "ui/dialogs/sound_dialog_list.h"

#include "core/sound_library.h"
#include "core/sound_output.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "notify/alarm_rules_sound.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QWidget>

namespace iomira {

namespace {
constexpr int kNameWidth = 200;
constexpr int kPathWidth = 500;
} // namespace

QTableWidget* newSoundTable(QWidget* parent) {
    auto* table = new QTableWidget(0, 2, parent);
    table->setObjectName(QStringLiteral("SoundTable"));
    table->setHorizontalHeaderLabels({loadString(TEXT_NAME), loadString(TEXT_SOUND_PATH)});
    table->setColumnWidth(0, kNameWidth);
    table->setColumnWidth(1, kPathWidth);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setShowGrid(true);
    table->setWordWrap(false);
    table->setMinimumSize(kNameWidth + kPathWidth / 2, 220);
    return table;
}

void sizeForSoundTable(QWidget* dialog) {
    dialog->resize(kNameWidth + kPathWidth + 48, 320);
}

void fillSoundTable(QTableWidget* table, const SoundLibrary& library) {
    const std::vector<CSound> sounds = soundsByName(library);
    table->clearContents();
    table->setRowCount(static_cast<int>(sounds.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const CSound& s = sounds[static_cast<size_t>(row)];
        auto* name = new QTableWidgetItem(s.SoundName);
        name->setData(Qt::UserRole, s.SoundId);
        auto* path = new QTableWidgetItem(s.SoundPath);
        path->setToolTip(s.SoundPath);
        table->setItem(row, 0, name);
        table->setItem(row, 1, path);
        table->setRowHeight(row, table->fontMetrics().height() + 6);
    }
}

int32_t selectedSoundId(const QTableWidget* table) {
    const QList<QTableWidgetItem*> selected = table->selectedItems();
    if (selected.isEmpty()) return 0;
    const QTableWidgetItem* name = table->item(selected.first()->row(), 0);
    return name ? name->data(Qt::UserRole).toInt() : 0;
}

void playSelectedSound(const QTableWidget* table, const SoundLibrary& library,
                       UserPrompts& prompts) {
    const CSound* sound = library.find(selectedSoundId(table));
    if (!sound) {
        prompts.error(loadString(TEXT_SELECT_SOUND_FILE));
        return;
    }
    PlaySoundFile(sound->SoundPath);
}

} // namespace iomira
