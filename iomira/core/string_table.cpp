#include "core/string_table.h"

#include <QDebug>
#include <QFile>
#include <QHash>
#include <QList>
#include <QStringView>

#include <array>
#include <atomic>

// A resource inside a static library is linked in only when its initialiser is referenced,
// and Q_INIT_RESOURCE has to be expanded outside any namespace.
static void initStringResource() {
    Q_INIT_RESOURCE(strings);
}

namespace iomira {
namespace {

const char kTablePath[] = ":/iomira/strings.tsv";

// Column order of a row after its id: English, Korean, Chinese.
using Texts = std::array<QString, 3>;

std::atomic<int> g_language{LANG_ENGLISH};

int normalized(int languageId) {
    return languageId == LANG_KOREAN || languageId == LANG_CHINESE ? languageId : LANG_ENGLISH;
}

int columnOf(int languageId) {
    switch (normalized(languageId)) {
    case LANG_KOREAN:
        return 1;
    case LANG_CHINESE:
        return 2;
    default:
        return 0;
    }
}

// Cells carry tabs, newlines and backslashes as \t, \n and \\; anything else stays as written.
QString unescape(QStringView cell) {
    QString out;
    out.reserve(cell.size());
    for (qsizetype i = 0; i < cell.size(); ++i) {
        const QChar c = cell[i];
        if (c != u'\\' || i + 1 == cell.size()) {
            out.append(c);
            continue;
        }
        const QChar next = cell[i + 1];
        if (next == u'n') {
            out.append(u'\n');
        } else if (next == u't') {
            out.append(u'\t');
        } else if (next == u'\\') {
            out.append(u'\\');
        } else {
            out.append(c);
            continue;
        }
        ++i;
    }
    return out;
}

class StringTable {
  public:
    static const StringTable& instance() {
        static const StringTable table; // built once; C++ makes the first use thread-safe
        return table;
    }

    QString text(int id, int column) const {
        const auto it = rows_.constFind(id);
        return it == rows_.cend() ? QString() : (*it)[column];
    }

  private:
    StringTable() { load(); }

    void load() {
        initStringResource();
        QFile file(QString::fromLatin1(kTablePath));
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning("string table %s: %s", kTablePath, qPrintable(file.errorString()));
            return;
        }
        const QString content = QString::fromUtf8(file.readAll());
        const QList<QStringView> lines = QStringView(content).split(u'\n');
        for (qsizetype n = 0; n < lines.size(); ++n)
            addLine(lines[n], int(n + 1));
    }

    void addLine(QStringView line, int lineNumber) {
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#')) return;
        const QList<QStringView> cells = line.split(u'\t');
        bool isNumber = false;
        const int id = cells[0].toInt(&isNumber);
        if (cells.size() != 4 || !isNumber || cells[1].isEmpty()) {
            qWarning("string table line %d: expected id, en, ko and zh separated by tabs",
                     lineNumber);
            return;
        }
        if (rows_.contains(id)) {
            qWarning("string table line %d: id %d appears twice; the first row is kept", lineNumber,
                     id);
            return;
        }
        Texts texts{unescape(cells[1]), unescape(cells[2]), unescape(cells[3])};
        // A missing translation shows the English text rather than an empty caption.
        for (QString& t : texts)
            if (t.isEmpty()) t = texts[0];
        rows_.insert(id, texts);
    }

    QHash<int, Texts> rows_;
};

} // namespace

void setLanguage(int languageId) {
    g_language.store(normalized(languageId));
}

int currentLanguage() {
    return g_language.load();
}

QString loadString(int id) {
    return loadString(id, currentLanguage());
}

QString loadString(int id, int languageId) {
    return StringTable::instance().text(id, columnOf(languageId));
}

int languageForSetting(int stored, const QLocale& system) {
    switch (stored) {
    case 1:
        return LANG_KOREAN;
    case 2:
        return LANG_ENGLISH;
    case 3:
        return LANG_CHINESE;
    default:
        break;
    }
    if (system.language() == QLocale::Korean) return LANG_KOREAN;
    if (system.language() == QLocale::Chinese) return LANG_CHINESE;
    return LANG_ENGLISH;
}

} // namespace iomira
