// Saves pictures of every advanced settings dialog and of a finished connection test, in
// English and Korean, into the folder given as argument. Run it under Xvfb (or any display)
// to see the dialogs as a user does.

#include "common/event_pump.h"
#include "common/loopback_ports.h"

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "ui/dialogs/connection_test_dialog.h"
#include "ui/dialogs/pulse_control_box.h"
#include "ui/dialogs/pulse_settings_dialog.h"
#include "ui/dialogs/settings_dialog.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>

#include <cstdio>

using namespace iomira;

namespace {

class SilentPrompts final : public UserPrompts {
  public:
    void error(const QString&) override {}
    void information(const QString&) override {}
    bool ask(const QString&, bool) override { return true; }
};

void save(QWidget& window, const QDir& folder, const QString& name) {
    window.show();
    test::pumpFor(150);
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    window.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

void settingsShots(const QDir& folder, const QString& suffix, SilentPrompts& prompts) {
    for (const char* model :
         {"TKA-35", "TKA-35P", "RLX-810", "RLX-820", "RLX-830", "RLX-840", "RLX-850"}) {
        CQUORVISData record = recordForModel(QString::fromLatin1(model));
        record.UsePulseDo[1] = 1;
        record.SignalLevelDo[1] = 255;
        record.DurationDo[1] = 500;
        auto dialog = makeSettingsDialog(loadString(TEXT_MODIFY), record,
                                         QString::fromLatin1(model), prompts, nullptr);
        if (auto* pulses = dynamic_cast<CPulseSettingsDlg*>(dialog.get()))
            pulses->pulses()->outputList()->setCurrentRow(1);
        save(*dialog, folder, QString::fromLatin1(model) + suffix);
    }
}

void connectionTestShot(const QDir& folder, const QString& suffix, SilentPrompts& prompts) {
    test::LoopbackListener listener;
    std::vector<CQUORVISData> records(4);
    records[0].setHostAddr(QStringLiteral("127.0.0.1"));
    records[0].HostPort = listener.port();
    records[1].IsServer = 1;
    records[2].setHostAddr(QStringLiteral("127.0.0.1"));
    records[2].HostPort = test::refusedLoopbackPort();
    records[3].setHostAddr(QStringLiteral("no-such-controller.invalid"));
    records[3].HostPort = 502;
    CTCPTestDlg dialog(records, prompts);
    test::pumpUntil([&] { return !dialog.test().recordsRemain(); });
    save(dialog, folder, QStringLiteral("connection_test") + suffix);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    SilentPrompts prompts;
    for (const auto& [language, suffix] : {std::pair{LANG_ENGLISH, "_en"}, {LANG_KOREAN, "_ko"}}) {
        setLanguage(language);
        settingsShots(folder, QString::fromLatin1(suffix), prompts);
        connectionTestShot(folder, QString::fromLatin1(suffix), prompts);
    }
    return 0;
}
