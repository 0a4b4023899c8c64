#include "app/script_reader.h"

#include "app/script_keys.h"
#include "core/texts.h"
#include "monitor/error_text.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace iomira {

namespace {

// Far beyond any list of controllers written by hand or by a tool; a larger file is a mistake
// that must not be read into memory whole.
constexpr qsizetype kScriptMaxBytes = 64 * 1024 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file, or the "[%d] %s" text of the failure in `error`.
QByteArray readAll(const QString& path, QString& error) {
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(QFile::encodeName(path), "rb"));
    if (!file) {
        error = socketErrorText(errno ? errno : ENOENT);
        return {};
    }
    QByteArray bytes;
    char buffer[64 * 1024];
    for (;;) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, static_cast<qsizetype>(got));
        if (bytes.size() > kScriptMaxBytes) {
            error = scriptText(TEXT_SCRIPT_FILE_TOO_LARGE,
                               {path, QString::number(kScriptMaxBytes / (1024 * 1024))});
            return {};
        }
        if (got < sizeof buffer) break;
    }
    // Reading a folder, or a disk failing under the read.
    if (std::ferror(file.get())) {
        error = socketErrorText(errno ? errno : EIO);
        return {};
    }
    return bytes;
}

} // namespace

ScriptForm scriptFormOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("ini"), Qt::CaseInsensitive) == 0) return ScriptForm::Ini;
    if (suffix.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0) return ScriptForm::Csv;
    return ScriptForm::None;
}

ScriptReadOutcome readScriptFile(const QString& path) {
    ScriptReadOutcome outcome;
    const QByteArray bytes = readAll(path, outcome.error);
    if (!outcome.error.isEmpty()) return outcome;
    switch (scriptFormOf(path)) {
    case ScriptForm::Ini:
        return readIniScript(bytes);
    case ScriptForm::Csv:
        return readCsvScript(bytes);
    case ScriptForm::None:
        break;
    }
    outcome.error = scriptText(TEXT_SCRIPT_NOT_A_SCRIPT, {QFileInfo(path).fileName()});
    return outcome;
}

} // namespace iomira
