// Saves pictures of the digital window for a TKA-31, a TKA-33 and an RLX-830 in every
// connection state, and of the notification window, into the folder given as argument.
// Run it under Xvfb (or any display) to look at the lamps as a user sees them.

#include "app/demo_store.h"
#include "core/global_settings.h"
#include "core/quorvis_data.h"
#include "core/sqlite_store.h"
#include "core/string_table.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "monitor/corvel_registration.h"
#include "monitor/corvel_target.h"
#include "sim_child.h"
#include "ui/windows/digital_view.h"
#include "ui/windows/notification_window.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

using namespace iomira;

namespace {

class SilentPrompts final : public UserPrompts {
  public:
    void error(const QString&) override {}
    void information(const QString&) override {}
    bool ask(const QString&, bool) override { return true; }
};

void pump(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        corvel_dispatch(5);
        QApplication::processEvents();
    }
}

// Marks every lamp kind can show: a sound on an input, a pulse, a warning and a lock.
void decorate(CQUORVISData& c, int index) {
    for (int i = 0; i < kDigitalPorts; ++i) {
        c.DiComment[i] = QStringLiteral("Input %1").arg(i);
        c.DoComment[i] = QStringLiteral("Output %1").arg(i);
    }
    if (index == 0) {
        c.OnDiSoundId[3] = 1;
        c.UsePulseDo[1] = 1;
        c.SignalLevelDo[1] = 1;
        c.UsePulseDo[2] = 1;
        c.SignalLevelDo[2] = 0;
        c.UseWarningMsg = 1;
        c.WarningMsgType = 1;
        c.UseWarningMsgDo[3] = 1;
    } else if (index == 1) {
        c.OutputPortControl = 1;
    }
}

// A loopback listener whose queue is full, so that a connection to it stays "Connecting".
int fullListener(std::vector<int>& sockets) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 0);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    sockets.push_back(listener);
    for (int i = 0; i < 3; ++i) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
        sockets.push_back(filler);
    }
    return ntohs(address.sin_port);
}

void save(QWidget& sheet, const QString& folder, const QString& name) {
    sheet.adjustSize();
    sheet.show();
    pump(200);
    const QString path = QDir(folder).filePath(name);
    sheet.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    setLanguage(LANG_ENGLISH);
    simtest::SimChild sim("[tka31]\nmodel = TKA-31\nlisten = 127.0.0.1:0\n"
                          "[tka33]\nmodel = TKA-33\nlisten = 127.0.0.1:0\n"
                          "[rlx830]\nmodel = RLX-830\nlisten = 127.0.0.1:0\n");
    const char* const models[] = {"TKA-31", "TKA-33", "RLX-830"};
    const char* const devices[] = {"tka31", "tka33", "rlx830"};
    SilentPrompts prompts;
    std::vector<CQuorvis2View*> views;
    CorvelTarget target([&views](uint32_t m, uintptr_t id, intptr_t l) {
        for (CQuorvis2View* v : views)
            v->onCorvelNotification(m, id, l);
    });
    std::vector<std::unique_ptr<CQUORVISData>> records;
    QWidget sheet;
    auto* row = new QHBoxLayout(&sheet);
    for (int i = 0; i < 3; ++i) {
        auto c = std::make_unique<CQUORVISData>(
            seedRecord(QString::fromLatin1(models[i]), sim.port(devices[i])));
        c->DeviceId = 9000 + i;
        c->DeviceComment = QString::fromLatin1(models[i]);
        decorate(*c, i);
        registerInCorvel(target.window(), *c);
        auto* box = new QGroupBox(c->DeviceComment, &sheet);
        auto* inner = new QVBoxLayout(box);
        ViewServices services;
        services.prompts = &prompts;
        views.push_back(new CQuorvis2View(*c, services, box));
        inner->addWidget(views.back());
        row->addWidget(box, 0, Qt::AlignTop);
        records.push_back(std::move(c));
    }
    const auto redraw = [&] {
        for (CQuorvis2View* v : views)
            v->redraw();
    };

    redraw();
    save(sheet, folder, "digital-closed.png");
    std::vector<int> sockets;
    const int stalled = fullListener(sockets);
    pump(200);
    for (auto& c : records) {
        const int simPort = c->HostPort;
        c->HostPort = stalled;
        updateInCorvel(*c);
        int32_t error = 0;
        connect_device(c->DeviceId, &error);
        c->HostPort = simPort;
    }
    pump(300);
    redraw();
    save(sheet, folder, "digital-connecting.png");
    for (auto& c : records) {
        disconnect_device(c->DeviceId);
        updateInCorvel(*c);
        int32_t error = 0;
        connect_device(c->DeviceId, &error);
    }
    for (int fd : sockets)
        ::close(fd);
    pump(1500);
    sim.command("inputs tka31 0x25");
    sim.command("output tka31 0 1");
    sim.command("output tka31 1 1");
    sim.command("inputs tka33 0x3");
    sim.command("output tka33 0 1");
    sim.command("output rlx830 1 1");
    for (auto& c : records) {
        int32_t error = 0;
        read_discrete_inputs(c->DeviceId, c->NumberOfPortInput > 0 ? c->NumberOfPortInput : 1,
                             &error, 0);
        read_coils(c->DeviceId, c->NumberOfPortOutput, &error, 0);
    }
    pump(800);
    redraw();
    save(sheet, folder, "digital-connected.png");

    for (auto& c : records)
        disconnect_device(c->DeviceId);
    for (auto& c : records) {
        c->IsServer = 1;
        c->HostPort = simtest::free_port(false);
        c->HostAddr.clear();
        updateInCorvel(*c);
        int32_t error = 0;
        connect_device(c->DeviceId, &error);
    }
    redraw();
    save(sheet, folder, "digital-listening.png");

    for (auto& c : records) {
        disconnect_device(c->DeviceId);
        c->IsServer = 0;
        c->HostAddr = QStringLiteral("127.0.0.1");
        c->HostPort = simtest::free_port(false);
        updateInCorvel(*c);
        int32_t error = 0;
        connect_device(c->DeviceId, &error);
    }
    pump(800);
    redraw();
    save(sheet, folder, "digital-error.png");
    for (auto& c : records)
        delete_device(c->DeviceId);

    QTemporaryDir dir;
    std::unique_ptr<SqliteStore> store = SqliteStore::open(dir.filePath("s.sqlite"), nullptr);
    CDlgMSG notifications(*store, prompts, nullptr);
    notifications.inputNotification = [] { return 1; };
    for (int i = 0; i < 3; ++i)
        notifications.PostInputNotification(*records[0], i, i % 2);
    notifications.press(CDlgMSG::Next);
    pump(200);
    notifications.grab().save(QDir(folder).filePath("notification.png"));
    std::printf("%s\n", qPrintable(QDir(folder).filePath("notification.png")));
    return 0;
}
