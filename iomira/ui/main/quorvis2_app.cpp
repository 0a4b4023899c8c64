#include "ui/main/quorvis2_app.h"

#include "app/controller_directory.h"

#include "app/effect_sound_output.h"
#include "core/controller_keys.h"
#include "core/deferred_store.h"
#include "core/freed_memory.h"
#include "core/log_pause_notice.h"
#include "core/object_loader.h"
#include "core/sound_output.h"
#include "core/sqlite_store.h"
#include "core/store_lock.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "monitor/corvel_registration.h"
#include "notify/alarm_rules_sound.h"
#include "notify/mail_account_store.h"
#include "ui/common/busy_window.h"
#include "ui/common/message_box_prompts.h"
#include "ui/dialogs/mail_account_setting_dialog.h"
#include "ui/dialogs/manage_email_dialog.h"
#include "ui/dialogs/schedule_list_dialog.h"
#include "ui/dialogs/sound_file_setting_dialog.h"
#include "ui/dialogs/sound_notification_dialog.h"
#include "ui/main/backup_commands.h"
#include "ui/main/main_frame.h"
#include "ui/tree/device_list_pane.h"
#include "ui/windows/controller_windows_wiring.h"

#include <QCoreApplication>
#include <QLocale>

namespace iomira {

namespace {
// Held writes get one last, longer chance when the program ends.
constexpr int kFinalStoreWaitMs = 3000;
constexpr int kHeldWritesRetryMs = 1000;
} // namespace

CQuorvis2App::CQuorvis2App() {
    // Sounds play through Qt Multimedia; the effect lives as long as the program.
    static EffectSoundOutput effect;
    setProgramSoundOutput(&effect);
}

CQuorvis2App::~CQuorvis2App() {
    // The polling thread reads the table; it ends before anything it reads goes away.
    if (poller_) poller_->stop();
    dispatcher_.reset();
    if (frame_) frame_->pane()->stopTimers();
    controllers_.forEach([](const CQUORVISData& c) { delete_device(c.DeviceId); });
    frame_.reset();
    saveHeldWritesBeforeEnd();
}

Store& CQuorvis2App::store() {
    return *store_;
}

bool CQuorvis2App::openStore() {
    StoreOpenError error;
    storeFile_ = SqliteStore::open(defaultStorePath(), &error);
    if (!storeFile_) {
        prompts_->error(storeOpenMessage(error));
        return false;
    }
    QString reason;
    storeLock_ = StoreLock::acquire(storeFile_->path(), &reason);
    if (!storeLock_) {
        prompts_->error(reason);
        return false;
    }
    holdRefusedWrites();
    return true;
}

// The operator hears of a refusing file once, after the save that met it has returned.
void CQuorvis2App::holdRefusedWrites() {
    storeFile_->setBusyWait(kInteractiveStoreWaitMs);
    const QString path = storeFile_->path();
    DeferredStoreEvents events;
    events.writesHeld = [this, path](const QString& reason) {
        heldWritesRetry_.start();
        QMetaObject::invokeMethod(
            this, [this, path, reason] { prompts_->warning(storeWritesHeldMessage(path, reason)); },
            Qt::QueuedConnection);
    };
    events.writesCaughtUp = [this, path] {
        heldWritesRetry_.stop();
        QMetaObject::invokeMethod(
            this, [this, path] { prompts_->information(storeWritesSavedMessage(path)); },
            Qt::QueuedConnection);
    };
    store_ = std::make_unique<DeferredStore>(*storeFile_, std::move(events));
    heldWritesRetry_.setInterval(kHeldWritesRetryMs);
    connect(&heldWritesRetry_, &QTimer::timeout, this, [this] { store_->retryPending(); });
}

void CQuorvis2App::saveHeldWritesBeforeEnd() {
    if (!store_ || !store_->hasPending()) return;
    storeFile_->setBusyWait(kFinalStoreWaitMs);
    if (store_->retryPending()) return;
    prompts_->error(storeWritesLostMessage(storeFile_->path(), store_->heldReason(),
                                           store_->pendingKeyCount()));
}

void CQuorvis2App::applyLanguage() {
    int stored = getGlobal(*store_, LANGUAGE);
    if (stored < 0 || stored > 3) {
        setGlobal(*store_, LANGUAGE, 0);
        stored = 0;
    }
    languageId_ = stored == 0 ? 0 : languageForSetting(stored, QLocale::system());
    setLanguage(languageForSetting(stored, QLocale::system()));
}

namespace {
constexpr int kDispatchRestMs = 1;
constexpr int kDispatchBacklog = 8; // events found by one dispatch that mean more are waiting
} // namespace

void CQuorvis2App::startDispatcher() {
    // Corvel's socket events and notifications run here, on the UI thread.
    dispatcher_ = std::make_unique<QSocketNotifier>(corvel_event_fd(), QSocketNotifier::Read);
    // Events that trickle in (a plant's answers, thousands a second, a few at a time) are
    // taken together: after a wake-up that found only a few, the descriptor rests for a
    // millisecond instead of waking the thread for each answer. A backlog is taken at once.
    connect(dispatcher_.get(), &QSocketNotifier::activated, this, [this] {
        if (corvel_dispatch(0) >= kDispatchBacklog) return;
        dispatcher_->setEnabled(false);
        QTimer::singleShot(kDispatchRestMs, Qt::PreciseTimer, this, [this] {
            if (dispatcher_) dispatcher_->setEnabled(true);
        });
    });
}

bool CQuorvis2App::loadStoredObjects() {
    ObjectLoadTargets targets{controllers_,
                              sounds_,
                              mailSchedules_,
                              messageSchedules_,
                              QCoreApplication::applicationDirPath(),
                              {},
                              {},
                              {},
                              {&directory_->groups(), {}, {}}};
    corvel_window* window = frame_->corvelWindow();
    targets.registerController = [window](const CQUORVISData& c) {
        return registerInCorvel(window, c);
    };
    targets.reportError = [this](const QString& message) { prompts_->error(message); };
    targets.repairs.save = [this](const CQUORVISData& c) { return saveController(*store_, c); };
    targets.repairs.report = [this](const QString& message) { prompts_->warning(message); };
    targets.loadMailAccount = [this](const QString&, const KeyValues& values) {
        mailAccounts_.insert(readMailAccount(values));
    };
    if (loadObjects(*store_, targets)) return true;
    prompts_->error(storeReadMessage(storeFile_->path(), store_->lastError()));
    return false;
}

// The port-change dispatch's sound, schedules and mails; the directory's monitoring owns the
// mail thread.
void CQuorvis2App::wireNotifications(CDeviceListPane& pane) {
    pane.dispatch().playInputSound = [this](const CQUORVISData& c, int input, int value) {
        PlayInputSound(sounds_, c, input, value);
    };
    pane.dispatch().inSchedule = [this](ScheduleKind kind) {
        return ScheduleGate(switches_, mailSchedules_, messageSchedules_).allows(kind);
    };
    pane.links()->enabled = [this] { return switches_.linkNotification == 1; };
    pane.links()->inSchedule = pane.dispatch().inSchedule;
    pane.startMailNotifications({controllers_, mailAccounts_, *monitorLog_, logSwitches_});
    frame_->showEmailNotification = [this, &pane] {
        const EmailDialogTables tables{*store_,
                                       pane.groups(),
                                       shared_,
                                       mailAccounts_,
                                       *prompts_,
                                       [this](QWidget* over) {
                                           showMailAccountSetting(*store_, mailAccounts_, shared_,
                                                                  over);
                                       },
                                       [](QWidget* over, const QString& text) {
                                           ShowBusy(text, over->window()->frameGeometry());
                                       },
                                       [] { HideBusy(); }};
        CManageEmailDlg(tables, frame_.get()).exec();
    };
}

ConfigurationTables CQuorvis2App::configuration() {
    return {*store_,           *directory_, mailAccounts_, mailSchedules_,
            messageSchedules_, sounds_,     switches_};
}

void CQuorvis2App::wireAdministration(CDeviceListPane& pane) {
    frame_->backup = [this] {
        ConfigurationTables tables = configuration();
        runBackupCommand(frame_.get(), tables, *prompts_);
    };
    frame_->restore = [this, &pane] {
        pane.changeKeepingShownGroup([this] {
            ConfigurationTables tables = configuration();
            if (runRestoreCommand(frame_.get(), tables, *prompts_)) logSwitches_.assign(switches_);
        });
    };
}

bool CQuorvis2App::InitInstance() {
    if (!prompts_) {
        ownPrompts_ = std::make_unique<MessageBoxPrompts>(nullptr);
        prompts_ = ownPrompts_.get();
    }
    if (corvel_event_fd() < 0) {
        prompts_->error(loadString(TEXT_SOCKETS_FAILED));
        return false;
    }
    if (!openStore()) return false;
    applyLanguage();
    controllers_.setSaver([this](const CQUORVISData& c) { saveController(*store_, c); });

    directory_ = std::make_unique<ControllerDirectory>(*store_, *prompts_);
    frame_ = std::make_unique<CMainFrame>(*store_, *prompts_, *directory_);
    CDeviceListPane* pane = frame_->pane();
    if (!pane->loadGroups()) {
        prompts_->error(storeReadMessage(storeFile_->path(), store_->lastError()));
        return false;
    }
    startDispatcher();

    log_ = std::make_unique<EventLog>();
    // Writing may stop on whichever thread logs; the operator hears of it on this one.
    log_->setPauseNotice([this](const LogPauseNotice& notice) {
        QMetaObject::invokeMethod(
            this, [this, notice] { prompts_->warning(logPauseMessage(notice)); },
            Qt::QueuedConnection);
    });
    writers_ = std::make_unique<EventLogWriters>(
        *log_, [](int id) { return get_tcp_connection_state(id); });
    monitorLog_ = std::make_unique<MonitorLog>(*writers_, logSwitches_);
    pane->setControllers(shared_, *monitorLog_, frame_->corvelWindow());
    // The sound and schedule dialogs work on the application's own tables.
    const SoundDialogTables soundTables{*store_, sounds_, shared_, *prompts_};
    pane->soundNotificationCommand = [this, soundTables](int id) {
        const CQUORVISData* c = controllers_.find(id);
        if (c && offersSoundDialog(*c)) CSoundDlg(soundTables, id, frame_.get()).exec();
    };
    pane->soundFileCommand = [this, soundTables] {
        CSoundFileSetting(soundTables, frame_.get()).exec();
    };
    frame_->showSchedules = [this](int kind) {
        const ScheduleKind k =
            kind == SCHEDULE_EMAIL ? SCHEDULE_EMAIL : SCHEDULE_NOTIFICATION_MESSAGE;
        CScheduleDlg(*store_, k == SCHEDULE_EMAIL ? mailSchedules_ : messageSchedules_, switches_,
                     k, *prompts_, frame_.get())
            .exec();
    };
    wireControllerWindows({*frame_, *store_, *prompts_, shared_, *monitorLog_,
                           [this] { return switches_.inputNotification; },
                           [this](const GlobalValue& value, int data) {
                               setGlobal(*store_, value, data);
                               readGlobalSwitches(*store_, switches_);
                               logSwitches_.assign(switches_);
                               log_->setRetention(logRetention(switches_));
                           }});
    wireNotifications(*pane);
    frame_->inputNotification = [this] { return switches_.inputNotification; };
    frame_->setInputNotification = [this](int value) {
        switches_.inputNotification = value;
        setGlobal(*store_, INPUT_NOTIFICATION, value);
    };
    frame_->linkNotification = [this] { return switches_.linkNotification == 1; };
    frame_->setLinkNotification = [this](bool on) {
        switches_.linkNotification = on ? 1 : 0;
        setGlobal(*store_, LINK_NOTIFICATION, switches_.linkNotification);
    };
    frame_->linkCounts = [this] { return countLinks(controllers_); };
    wireAdministration(*pane);
    frame_->showMailAccounts = [this] {
        showMailAccountSetting(*store_, mailAccounts_, shared_, frame_.get());
    };
    frame_->show();
    frame_->updateTitle();

    log_->OpenNewFile();
    // The stored log switches govern the first lines: the automatic connections log at once.
    readGlobalSwitches(*store_, switches_);
    logSwitches_.assign(switches_);
    log_->setRetention(logRetention(switches_));
    log_->deleteExpiredFiles();
    if (!loadStoredObjects()) return false;
    returnFreedMemory();
    pane->fillAtStartup();
    pane->startTimers();

    poller_ = std::make_unique<PollingThread>(shared_, *monitorLog_);
    if (!poller_->start()) prompts_->error(loadString(TEXT_THREAD_FAILED));
    return true;
}

} // namespace iomira
