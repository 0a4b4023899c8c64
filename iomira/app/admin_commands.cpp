#include "app/admin_commands.h"

#include "app/admin_session.h"
#include "app/backup_file.h"
#include "app/console_prompts.h"
#include "app/script_import.h"
#include "app/script_reader.h"
#include "core/string_table.h"
#include "core/texts.h"

namespace iomira {

namespace {

const QString kBackup = QStringLiteral("--backup");
const QString kRestore = QStringLiteral("--restore");
const QString kImport = QStringLiteral("--import");
const QString kReplace = QStringLiteral("--replace");
const QString kMerge = QStringLiteral("--merge");
const QString kVersion = QStringLiteral("--version");

bool isAdminOption(const QString& argument) {
    static const QStringList options = {kBackup,
                                        kRestore,
                                        kImport,
                                        kReplace,
                                        kMerge,
                                        kVersion,
                                        QStringLiteral("--help"),
                                        QStringLiteral("-h")};
    const QString name = argument.section(QLatin1Char('='), 0, 0);
    return options.contains(name);
}

AdminRequest invalid(const QString& error) {
    AdminRequest request;
    request.command = AdminCommand::Invalid;
    request.error = error;
    return request;
}

AdminCommand commandOf(const QString& option) {
    if (option == kBackup) return AdminCommand::Backup;
    if (option == kRestore) return AdminCommand::Restore;
    return AdminCommand::Import;
}

// The file of "--backup FILE" or "--backup=FILE"; empty when none follows.
QString fileOf(const QStringList& arguments, int& i) {
    const QString& argument = arguments[i];
    const int equals = argument.indexOf(QLatin1Char('='));
    if (equals >= 0) return argument.mid(equals + 1);
    if (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1String("--")))
        return arguments[++i];
    return {};
}

} // namespace

AdminRequest parseAdminArguments(const QStringList& arguments) {
    if (std::none_of(arguments.begin(), arguments.end(), isAdminOption)) return {};
    AdminRequest request;
    bool help = false;
    bool version = false;
    int existingOptions = 0;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            help = true;
        } else if (name == kVersion) {
            version = true;
        } else if (name == kReplace || name == kMerge) {
            request.existing = name == kReplace ? RestoreExisting::Replace : RestoreExisting::Merge;
            ++existingOptions;
        } else if (name == kBackup || name == kRestore || name == kImport) {
            if (request.command != AdminCommand::None)
                return invalid(loadString(TEXT_CLI_ONE_COMMAND));
            request.command = commandOf(name);
            request.file = fileOf(arguments, i);
            if (request.file.isEmpty())
                return invalid(loadString(TEXT_CLI_NEEDS_FILE).replace(QLatin1String("%s"), name));
        } else {
            return invalid(
                loadString(TEXT_CLI_UNKNOWN_OPTION).replace(QLatin1String("%s"), argument));
        }
    }
    if (help) return AdminRequest{AdminCommand::Help, {}, RestoreExisting::Ask, {}};
    if (version) return AdminRequest{AdminCommand::Version, {}, RestoreExisting::Ask, {}};
    if (request.command == AdminCommand::None) return invalid(loadString(TEXT_CLI_ONE_COMMAND));
    if (existingOptions > 1 || (existingOptions == 1 && request.command != AdminCommand::Restore))
        return invalid(loadString(TEXT_CLI_RESTORE_ONLY));
    return request;
}

QString adminUsage() {
    return loadString(TEXT_CLI_USAGE);
}

QString programVersionLine() {
    return QStringLiteral("iomira " IOMIRA_VERSION);
}

namespace {

QString filled(int id, const QStringList& values) {
    QString text = loadString(id);
    for (const QString& value : values)
        text = text.arg(value);
    return text;
}

class AdminRun {
  public:
    AdminRun(const QString& storePath, QTextStream& out, QTextStream& err)
        : storePath_(storePath), out_(out), prompts_(err) {}

    int backup(const QString& file) {
        if (!open(AdminSession::ReadOnly)) return ADMIN_FAILED;
        ConfigurationTables t = session_->tables();
        const BackupContents contents = backupOf(t);
        QString error;
        const QByteArray bytes = encodeBackup(contents, &error);
        if (bytes.isEmpty() || !writeBackupFile(file, bytes, &error)) return fail(error);
        const int controllers = restoredControllerCount(contents);
        out_ << filled(TEXT_CLI_BACKUP_DONE,
                       {file, QString::number(contents.groups.size()), QString::number(controllers),
                        QString::number(contents.mailAccounts.size()),
                        QString::number(contents.mailSchedules.size() +
                                        contents.messageSchedules.size()),
                        QString::number(contents.sounds.size())})
             << '\n';
        return finished();
    }

    int restore(const QString& file, RestoreExisting existing) {
        if (!open(AdminSession::Exclusive)) return ADMIN_FAILED;
        QByteArray bytes;
        QString error;
        if (!readBackupFile(file, bytes, &error)) return fail(error);
        BackupReadOutcome read = decodeBackup(bytes);
        if (read.status != BackupReadStatus::Ok) return fail(read.message);
        for (const QString& warning : read.warnings)
            prompts_.problem(warning);
        ConfigurationTables t = session_->tables();
        if (existing == RestoreExisting::Ask) {
            if (!holdsOnlyDefaults(t)) return fail(loadString(TEXT_CLI_STORE_NOT_EMPTY));
            existing = RestoreExisting::Replace;
        }
        const RestoreSummary summary =
            applyRestore(t, std::move(read.contents), prompts_, existing);
        for (const QString& comment : summary.skipped)
            prompts_.problem(loadString(TEXT_CLI_SKIPPED_SERVER).arg(comment));
        out_ << filled(TEXT_CLI_RESTORE_DONE,
                       {file, QString::number(summary.groups), QString::number(summary.controllers),
                        QString::number(summary.mailAccounts), QString::number(summary.schedules),
                        QString::number(summary.sounds)})
             << '\n';
        return finished();
    }

    int import(const QString& file) {
        if (!open(AdminSession::Exclusive)) return ADMIN_FAILED;
        const ScriptReadOutcome read = readScriptFile(file);
        if (!read.error.isEmpty()) return fail(read.error);
        for (const QString& warning : read.warnings)
            prompts_.problem(warning);
        const ScriptImportSummary summary = importScript(session_->directory(), read);
        for (const QString& warning : summary.warnings)
            prompts_.problem(warning);
        out_ << filled(TEXT_CLI_IMPORT_DONE,
                       {file, QString::number(summary.added), QString::number(summary.read)})
             << '\n';
        if (summary.added < summary.read && prompts_.problems() == 0) ++skipped_;
        return finished();
    }

  private:
    bool open(AdminSession::Access access) {
        QString error;
        session_ = AdminSession::open(storePath_, access, prompts_, &error);
        if (!session_) prompts_.problem(error);
        return session_ != nullptr;
    }

    int fail(const QString& error) {
        prompts_.problem(error);
        return ADMIN_FAILED;
    }

    int finished() const {
        out_.flush();
        return prompts_.problems() + skipped_ > 0 ? ADMIN_SKIPPED : ADMIN_DONE;
    }

    QString storePath_;
    QTextStream& out_;
    ConsolePrompts prompts_;
    std::unique_ptr<AdminSession> session_;
    int skipped_ = 0;
};

} // namespace

int runAdminCommand(const AdminRequest& request, const QString& storePath, QTextStream& out,
                    QTextStream& err) {
    AdminRun run(storePath, out, err);
    switch (request.command) {
    case AdminCommand::Help:
        out << adminUsage() << '\n';
        out.flush();
        return ADMIN_DONE;
    case AdminCommand::Version:
        out << programVersionLine() << '\n';
        out.flush();
        return ADMIN_DONE;
    case AdminCommand::Backup:
        return run.backup(request.file);
    case AdminCommand::Restore:
        return run.restore(request.file, request.existing);
    case AdminCommand::Import:
        return run.import(request.file);
    case AdminCommand::Invalid:
    case AdminCommand::None:
        break;
    }
    err << request.error << ' ' << loadString(TEXT_CLI_SEE_HELP) << '\n';
    err.flush();
    return ADMIN_FAILED;
}

} // namespace iomira
