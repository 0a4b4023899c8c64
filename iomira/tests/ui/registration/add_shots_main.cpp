// Saves pictures of the add dialog (both pages, a finished search, the notice of a running
// one) and of the modify dialog, in English and Korean, into the folder given as argument.
// It starts `tevronsim --demo` and searches it by address only; run it in a network namespace
// of its own (the demo takes fixed ports) and under Xvfb.

#include "common/event_pump.h"
#include "common/test_support.h"

#include "app/controller_search.h"
#include "core/controller_table.h"
#include "core/device_family.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/dialogs/add_controller_dialog.h"
#include "ui/dialogs/add_search_page.h"
#include "ui/dialogs/modify_controller_dialog.h"

#include "sim_process.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTreeWidget>

#include <cstdio>

using namespace iomira;

namespace {

void savePicture(const QPixmap& picture, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    picture.save(path);
    std::printf("%s\n", qPrintable(path));
}

void save(QWidget& window, const QDir& folder, const QString& name) {
    window.show();
    test::pumpFor(150);
    savePicture(window.grab(), folder, name);
}

CROOTDataList groupsOf(uint16_t language) {
    setLanguage(language);
    CROOTDataList groups;
    groups.insert(
        std::make_unique<CROOTData>(3, language == LANG_KOREAN ? "보일러실" : "Boiler room", 0));
    groups.insert(std::make_unique<CROOTData>(8, "Annex", 1));
    return groups;
}

// Types an address into the search page and starts a search by address; `finished` is set
// when it ends.
void startSearch(CAddIODevices& dialog, const QString& address, bool& finished) {
    auto* page = dialog.findChild<CAddIODevices0*>();
    QObject::connect(&page->search(), &ControllerSearch::finished,
                     [&finished] { finished = true; });
    dialog.findChild<QComboBox*>(QStringLiteral("SearchKind"))
        ->setCurrentIndex(ControllerSearch::BY_ADDRESS);
    page->findChild<QLineEdit*>(QStringLiteral("Address"))->setText(address);
    page->findChild<QPushButton*>(QStringLiteral("Search"))->click();
}

void addShots(const QDir& folder, const QString& suffix, uint16_t language) {
    const CROOTDataList groups = groupsOf(language);
    const ControllerTable registered;
    test::RecordingPrompts prompts;
    {
        CAddIODevices dialog(prompts, groups, registered, 3, language);
        save(dialog, folder, QStringLiteral("add_search_empty") + suffix);
        for (const char* address : {"127.0.0.5", "127.0.0.9"}) {
            bool finished = false;
            startSearch(dialog, QString::fromLatin1(address), finished);
            if (!test::pumpUntil([&] { return finished; }, 10000))
                std::fprintf(stderr, "search of %s did not finish\n", address);
            // A second search clears the list, so the rows of the first are kept in a picture.
            dialog.findChild<QTreeWidget*>()->selectAll();
            save(dialog, folder,
                 QStringLiteral("add_search_") + QString::fromLatin1(address) + suffix);
        }
    }
    {
        // Nobody answers there, so the notice stays up long enough to be seen over the dialog.
        CAddIODevices dialog(prompts, groups, registered, 3, language);
        dialog.show();
        test::pumpFor(150);
        bool finished = false;
        startSearch(dialog, QStringLiteral("127.0.0.250"), finished);
        test::pumpFor(300);
        const QRect around = dialog.frameGeometry().adjusted(-20, -20, 20, 20);
        savePicture(QGuiApplication::primaryScreen()->grabWindow(0, around.x(), around.y(),
                                                                 around.width(), around.height()),
                    folder, QStringLiteral("add_search_notice") + suffix);
        test::pumpUntil([&] { return finished; }, 15000);
    }
    for (const auto& [product, name] : {std::pair{2, "TKA-35"}, {6, "RLX-820"}, {0, "none"}}) {
        CAddIODevices dialog(prompts, groups, registered, 3, language);
        dialog.findChild<QTabWidget*>()->setCurrentIndex(1);
        dialog.findChild<QTabWidget*>()
            ->widget(1)
            ->findChild<QComboBox*>(QStringLiteral("Product"))
            ->setCurrentIndex(product);
        save(dialog, folder, QStringLiteral("add_manual_") + QString::fromLatin1(name) + suffix);
    }
    for (const char* model : {"TKA-35", "RLX-820", "TKB-11"}) {
        CQUORVISData record = recordForModel(QString::fromLatin1(model));
        record.RootID = 3;
        record.setHostAddr(QStringLiteral("127.0.0.5"));
        record.HostPort = 15023;
        record.DeviceComment = QStringLiteral("tka-35 boiler feed");
        CModifyDevices1Dlg dialog(prompts, groups, record);
        save(dialog, folder, QStringLiteral("modify_") + QString::fromLatin1(model) + suffix);
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    nexolt::test::SimProcess sim;
    if (!sim.start({TEVRONSIM_PATH, "--demo"})) {
        std::fprintf(stderr, "tevronsim --demo did not start\n");
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const auto& [language, suffix] : {std::pair{LANG_ENGLISH, "_en"}, {LANG_KOREAN, "_ko"}})
        addShots(folder, QString::fromLatin1(suffix), language);
    sim.stop();
    return 0;
}
