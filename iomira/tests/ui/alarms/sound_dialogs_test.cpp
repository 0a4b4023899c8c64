#include "core/controller_keys.h"
#include "core/sound_library.h"
#include "core/string_table.h"
#include "monitor/shared_controllers.h"
#include "notify/notify_test_support.h"
#include "ui/dialogs/sound_file_add_dialog.h"
#include "ui/dialogs/sound_file_dialog.h"
#include "ui/dialogs/sound_file_setting_dialog.h"
#include "ui/dialogs/sound_notification_dialog.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace iomira {
namespace {

constexpr int kBell = 500;
constexpr int kDevice = 42;

// One controller with four named inputs, a library with the built-in siren (whose file is
// not in the start folder) and one real file, all in a store of the test's own.
class SoundDialogs : public ::testing::Test {
  protected:
    SoundDialogs() {
        setLanguage(LANG_ENGLISH);
        bellPath = files.dir.filePath("bell.wav");
        QFile bell(bellPath);
        EXPECT_TRUE(bell.open(QIODevice::WriteOnly));
        bell.write("RIFF");
        bell.close();
        library.installBuiltIn(files.dir.filePath("start"));
        library.add(*files.store, {kBell, "bell.wav", bellPath});
        auto c = std::make_unique<CQUORVISData>();
        c->DeviceId = kDevice;
        c->NumberOfPortInput = 4;
        c->NumberOfPortOutput = 4;
        c->DeviceComment = "Pump house";
        c->DiComment = {"Door", "Window", "Gate", "Pump", "", "", "", ""};
        saveController(*files.store, *c);
        table.insert(std::move(c));
    }

    SoundDialogTables tables() { return {*files.store, library, shared, prompts}; }
    CQUORVISData& controller() { return *table.find(kDevice); }
    QString key() const { return QStringLiteral("ID_%1").arg(kDevice); }

    test::TempStore files;
    test::ScriptedPrompts prompts;
    test::RecordingOutput output;
    SoundLibrary library;
    ControllerTable table;
    SharedControllers shared{table};
    QString bellPath;
};

template <typename T> T* child(QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void tick(QTreeWidget* list, int row) {
    list->topLevelItem(row)->setCheckState(0, Qt::Checked);
}

QStringList rowTexts(QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0) + " | " + list->topLevelItem(i)->text(1);
    return rows;
}

TEST_F(SoundDialogs, SettingASoundNeedsTickedInputsBeforeTheChooserOpens) {
    CSoundDlg dlg(tables(), kDevice);
    int chooserOpened = 0;
    dlg.chooseSound = [&]() -> std::optional<int32_t> {
        ++chooserOpened;
        return kBell;
    };
    EXPECT_EQ(child<QLabel>(dlg, "ControllerName")->text(), "Pump house");
    EXPECT_EQ(dlg.inputList()->topLevelItemCount(), 4);

    child<QPushButton>(dlg, "SetOnButton")->click();
    child<QPushButton>(dlg, "DeleteOffButton")->click();
    EXPECT_EQ(chooserOpened, 0);
    EXPECT_EQ(prompts.shown, (QStringList{"error: Please select input ports.",
                                          "error: Please select input ports."}));
    EXPECT_EQ(files.dword(key(), "OnDi0SoundId"), 0);
}

TEST_F(SoundDialogs, TickedInputsGetTheChosenSoundInTheStoreAtOnce) {
    CSoundDlg dlg(tables(), kDevice);
    dlg.chooseSound = [] { return std::optional<int32_t>(kBell); };
    tick(dlg.inputList(), 0);
    tick(dlg.inputList(), 3);
    child<QPushButton>(dlg, "SetOnButton")->click();

    for (int input : {0, 3}) {
        EXPECT_EQ(files.dword(key(), QStringLiteral("OnDi%1SoundId").arg(input)), kBell);
        EXPECT_EQ(controller().OnDiSoundId[input], kBell);
    }
    EXPECT_EQ(files.dword(key(), "OnDi1SoundId"), 0);
    EXPECT_EQ(files.dword(key(), "OffDi0SoundId"), 0);
    EXPECT_EQ(rowTexts(dlg.soundList(SOUND_ON)),
              (QStringList{"Door | bell.wav", "Pump | bell.wav"}));
    EXPECT_TRUE(rowTexts(dlg.soundList(SOUND_OFF)).isEmpty());

    // The OFF side is separate; a cancelled chooser changes nothing.
    dlg.chooseSound = [] { return std::optional<int32_t>(kBuiltInSoundId); };
    child<QPushButton>(dlg, "SetOffButton")->click();
    EXPECT_EQ(files.dword(key(), "OffDi3SoundId"), kBuiltInSoundId);
    dlg.chooseSound = [] { return std::optional<int32_t>(); };
    child<QPushButton>(dlg, "SetOnButton")->click();
    EXPECT_EQ(files.dword(key(), "OnDi3SoundId"), kBell);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(SoundDialogs, DeleteClearsOnlyTheTickedRowsOfItsList) {
    controller().OnDiSoundId = {kBell, 0, kBell, kBell, 0, 0, 0, 0};
    controller().OffDiSoundId = {kBell, 0, 0, 0, 0, 0, 0, 0};
    saveController(*files.store, controller());
    CSoundDlg dlg(tables(), kDevice);
    ASSERT_EQ(dlg.soundList(SOUND_ON)->topLevelItemCount(), 3);
    tick(dlg.soundList(SOUND_ON), 1); // Gate
    child<QPushButton>(dlg, "DeleteOnButton")->click();

    EXPECT_EQ(files.dword(key(), "OnDi2SoundId"), 0);
    EXPECT_EQ(files.dword(key(), "OnDi0SoundId"), kBell);
    EXPECT_EQ(files.dword(key(), "OnDi3SoundId"), kBell);
    EXPECT_EQ(files.dword(key(), "OffDi0SoundId"), kBell);
    EXPECT_EQ(rowTexts(dlg.soundList(SOUND_ON)),
              (QStringList{"Door | bell.wav", "Pump | bell.wav"}));
}

TEST_F(SoundDialogs, AControllerTheStoreRefusesToSaveKeepsItsSounds) {
    test::FailingStore failing;
    CSoundDlg dlg({failing, library, shared, prompts}, kDevice);
    dlg.chooseSound = [] { return std::optional<int32_t>(kBell); };
    tick(dlg.inputList(), 1);
    child<QPushButton>(dlg, "SetOnButton")->click();
    EXPECT_EQ(controller().OnDiSoundId[1], 0);
    EXPECT_EQ(prompts.shown, QStringList{"error: The settings could not be saved: disk full"});
    EXPECT_EQ(dlg.soundList(SOUND_ON)->topLevelItemCount(), 0);
}

TEST_F(SoundDialogs, DeletingALibrarySoundLeavesTheInputsThatNameIt) {
    controller().OnDiSoundId[1] = kBell;
    controller().OffDiSoundId[2] = kBell;
    saveController(*files.store, controller());
    CSoundFileSetting dlg(tables());
    QTableWidget* list = dlg.table();
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->item(0, 0)->text(), "Siren.wav"); // character codes: upper case first
    EXPECT_EQ(list->item(1, 0)->text(), "bell.wav");

    child<QPushButton>(dlg, "DeleteButton")->click(); // nothing selected
    prompts.answers = {false, true};
    list->selectRow(1);
    child<QPushButton>(dlg, "DeleteButton")->click(); // No
    EXPECT_TRUE(files.hasKey("SOUND_ID_500"));
    child<QPushButton>(dlg, "DeleteButton")->click(); // Yes
    const QString question = "ask: Are you sure to delete bell.wav?\nIt is set for 2 input "
                             "port(s), which will then play no sound.";
    EXPECT_EQ(prompts.shown,
              (QStringList{"error: Please select a sound file.", question, question}));

    EXPECT_FALSE(files.hasKey("SOUND_ID_500"));
    EXPECT_EQ(library.find(kBell), nullptr);
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_EQ(files.dword(key(), "OnDi1SoundId"), kBell);
    EXPECT_EQ(files.dword(key(), "OffDi2SoundId"), kBell);

    CSoundDlg sounds(tables(), kDevice);
    EXPECT_EQ(rowTexts(sounds.soundList(SOUND_ON)), QStringList{"Window | File not found."});
}

TEST_F(SoundDialogs, ALibrarySoundTheStoreKeepsIsNotRemoved) {
    test::FailingStore failing;
    CSoundFileSetting dlg({failing, library, shared, prompts});
    dlg.table()->selectRow(1);
    child<QPushButton>(dlg, "DeleteButton")->click();
    EXPECT_NE(library.find(kBell), nullptr);
    EXPECT_EQ(dlg.table()->rowCount(), 2);
    EXPECT_EQ(prompts.shown.last(), "error: The item could not be deleted: disk full");
}

TEST_F(SoundDialogs, PlaySoundPlaysTheSelectionAndTheBuiltInSirenWithoutAFile) {
    CSoundFileSetting dlg(tables());
    QPushButton* play = child<QPushButton>(dlg, "PlayButton");
    play->click();
    EXPECT_EQ(prompts.shown, QStringList{"error: Please select a sound file."});
    dlg.table()->selectRow(1);
    play->click();
    dlg.table()->selectRow(0); // Siren.wav, not in the start folder: the compiled-in copy plays
    play->click();
    EXPECT_EQ(output.played, (QStringList{bellPath, defaultSoundPath()}));
    EXPECT_TRUE(QFile::exists(defaultSoundPath()));
}

TEST_F(SoundDialogs, TheChooserReturnsTheSelectedIdOrAsksForOne) {
    CSoundFileDlg dlg(library, prompts);
    QTableWidget* list = dlg.findChild<QTableWidget*>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->item(0, 1)->text(), files.dir.filePath("start/Siren.wav"));
    child<QPushButton>(dlg, "SelectButton")->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(prompts.shown, QStringList{"error: Please select a sound file."});
    list->selectRow(0);
    child<QPushButton>(dlg, "PlayButton")->click();
    child<QPushButton>(dlg, "SelectButton")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.chosenId(), kBuiltInSoundId);
    EXPECT_EQ(output.played, QStringList{defaultSoundPath()});
}

TEST_F(SoundDialogs, AddingAFileStoresItUnderAFreshIdNamedAfterTheFile) {
    const QString horn = files.dir.filePath("horn.wav");
    QFile(bellPath).copy(horn);
    controller().OffDiSoundId[0] = 9000; // a sound deleted earlier
    CSoundFileAddDlg dlg(tables());
    QPushButton* add = child<QPushButton>(dlg, "AddButton");
    add->click();
    child<QPushButton>(dlg, "PlayButton")->click();
    dlg.chooseFile = [&] { return files.dir.filePath("missing.wav"); };
    child<QPushButton>(dlg, "FindButton")->click();
    EXPECT_TRUE(child<QLineEdit>(dlg, "PathField")->text().isEmpty());
    EXPECT_EQ(prompts.shown, (QStringList{"error: Please select a sound file.",
                                          "error: Please select a sound file."}));

    dlg.chooseFile = [&] { return horn; };
    child<QPushButton>(dlg, "FindButton")->click();
    EXPECT_EQ(child<QLineEdit>(dlg, "PathField")->text(), horn);
    child<QPushButton>(dlg, "PlayButton")->click();
    EXPECT_EQ(output.played, QStringList{horn});
    prompts.answers = {false};
    add->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(library.size(), 2);
    add->click();
    EXPECT_EQ(prompts.shown.last(), "ask: Are you sure to add horn.wav?");
    ASSERT_EQ(dlg.result(), QDialog::Accepted);

    const int id = dlg.addedId();
    EXPECT_NE(id, 0);
    EXPECT_NE(id, 9000);
    EXPECT_NE(id, kBell);
    const QString soundKey = QStringLiteral("SOUND_ID_%1").arg(id);
    EXPECT_EQ(files.dword(soundKey, "SoundId"), id);
    EXPECT_EQ(files.text(soundKey, "SoundName"), "horn.wav");
    EXPECT_EQ(files.text(soundKey, "SoundPath"), horn);
    ASSERT_NE(library.find(id), nullptr);
    EXPECT_EQ(library.find(id)->SoundName, "horn.wav");
}

TEST_F(SoundDialogs, TheLibraryListIsRefilledAfterAnAdd) {
    CSoundFileSetting dlg(tables());
    dlg.addSound = [&] {
        library.add(*files.store, {77, "Alarm.wav", "/s/Alarm.wav"});
        return true;
    };
    child<QPushButton>(dlg, "AddButton")->click();
    ASSERT_EQ(dlg.table()->rowCount(), 3);
    EXPECT_EQ(dlg.table()->item(0, 0)->text(), "Alarm.wav");
}

} // namespace
} // namespace iomira
