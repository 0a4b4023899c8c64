#include "core/string_table.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <thread>
#include <vector>

#include <ostream>

static void initStringResource() {
    Q_INIT_RESOURCE(strings);
}

// Readable failure output for texts.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

using iomira::LANG_CHINESE;
using iomira::LANG_ENGLISH;
using iomira::LANG_KOREAN;
using iomira::loadString;

struct Row {
    int line = 0;
    QStringList cells;
};

// The rows exactly as the program's resource holds them, comments and blank lines left out.
std::vector<Row> tableRows() {
    initStringResource();
    QFile file(QStringLiteral(":/iomira/strings.tsv"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    std::vector<Row> rows;
    for (int n = 0; n < lines.size(); ++n) {
        if (lines[n].isEmpty() || lines[n].startsWith(u'#')) continue;
        rows.push_back({n + 1, lines[n].split(u'\t')});
    }
    return rows;
}

// printf conversions, the %p and %t template markers and escaped line breaks, in order.
QStringList placeholders(const QString& text) {
    static const QRegularExpression token(
        QStringLiteral(R"(%(?:%|[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|L|z|j)?[diouxXeEfgGcspt])|\\n)"));
    QStringList found;
    for (const auto& m : token.globalMatch(text))
        found << m.captured();
    return found;
}

// Only \n, \t and \\ are escapes; any other backslash would show up on screen.
bool hasOnlyKnownEscapes(const QString& cell) {
    for (qsizetype i = 0; i < cell.size(); ++i) {
        if (cell[i] != u'\\') continue;
        if (i + 1 == cell.size() || !QStringLiteral("nt\\").contains(cell[i + 1])) return false;
        ++i;
    }
    return true;
}

TEST(StringTableFile, EveryRowHasAnIdAndThreeTexts) {
    const auto rows = tableRows();
    ASSERT_GT(rows.size(), 300u);
    for (const Row& row : rows) {
        SCOPED_TRACE("line " + std::to_string(row.line));
        ASSERT_EQ(row.cells.size(), 4);
        bool isNumber = false;
        EXPECT_GT(row.cells[0].toInt(&isNumber), 0);
        EXPECT_TRUE(isNumber) << row.cells[0].toStdString();
        for (const QString& cell : row.cells) {
            EXPECT_FALSE(cell.isEmpty());
            EXPECT_FALSE(cell.contains(u'\r'));
            EXPECT_TRUE(hasOnlyKnownEscapes(cell)) << cell.toStdString();
        }
    }
}

TEST(StringTableFile, IdsAreUnique) {
    QSet<int> seen;
    for (const Row& row : tableRows()) {
        const int id = row.cells[0].toInt();
        EXPECT_FALSE(seen.contains(id)) << "id " << id << " again on line " << row.line;
        seen.insert(id);
    }
}

TEST(StringTableFile, PlaceholdersAgreeInAllLanguages) {
    for (const Row& row : tableRows()) {
        if (row.cells.size() != 4) continue;
        const QStringList english = placeholders(row.cells[1]);
        EXPECT_EQ(placeholders(row.cells[2]), english)
            << "Korean of id " << row.cells[0].toStdString();
        EXPECT_EQ(placeholders(row.cells[3]), english)
            << "Chinese of id " << row.cells[0].toStdString();
    }
}

TEST(StringTableFile, HoldsTheNumberedStringsOtherPartsUse) {
    const int numbered[] = {
        100, 101, 104, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121,
        125, 126, 127, 129, 131, 133, 134, 135, 139, 140, 141, 142, 143, 144, 145, 151, 154, 156,
        157, 158, 159, 163, 164, 165, 166, 167, 168, 174, 175, 176, 178, 179, 180, 181, 182, 183,
        184, 185, 186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 198, 199, 200, 201, 204,
        217, 218, 219, 220, 221, 226, 231, 232, 233, 265, 266, 267, 277, 297, 298, 299, 300, 301,
        304, 307, 310, 330, 338, 370, 389, 397, 398, 399, 400, 401, 402, 403, 404, 405, 412, 413,
        431, 432, 433, 434, 436, 437, 438, 439, 440, 441, 442, 443};
    for (int id : numbered)
        for (int language : {LANG_ENGLISH, LANG_KOREAN, LANG_CHINESE})
            EXPECT_FALSE(loadString(id, language).isEmpty())
                << "id " << id << " language " << language;
}

struct Expected {
    int id;
    const char* en;
    const char* ko;
    const char* zh;
};

TEST(StringTableLookup, ReturnsEachLanguageUnescaped) {
    const Expected cases[] = {
        // The store loader recognises the default group by exactly these three names.
        {151, "Group", "그룹", "组"},
        {217, "[Error 01] Illegal function code.", "[오류 01] 잘못된 기능 코드입니다.",
         "[错误 01] 非法功能码。"},
        {310, "[Error %d] Modbus error.", "[오류 %d] Modbus 오류입니다.",
         "[错误 %d] Modbus 错误。"},
        {134, "Iomira 2.1C (January 23, 2024)", "Iomira 2.1C (2024년 1월 23일)",
         "Iomira 2.1C (2024年1月23日)"},
        // Fixed texts read the same whatever the language.
        {5050, "루트를 찾을 수 없습니다.", "루트를 찾을 수 없습니다.", "루트를 찾을 수 없습니다."},
    };
    for (const Expected& c : cases) {
        EXPECT_EQ(loadString(c.id, LANG_ENGLISH), QString::fromUtf8(c.en)) << c.id;
        EXPECT_EQ(loadString(c.id, LANG_KOREAN), QString::fromUtf8(c.ko)) << c.id;
        EXPECT_EQ(loadString(c.id, LANG_CHINESE), QString::fromUtf8(c.zh)) << c.id;
    }
    const QString question = loadString(190, LANG_ENGLISH);
    EXPECT_EQ(question.split(u'\n').size(), 3);
    EXPECT_FALSE(question.contains(u'\\'));
    EXPECT_TRUE(loadString(100, LANG_ENGLISH).contains(QStringLiteral("failed.  Make sure")));
}

TEST(StringTableLookup, CurrentLanguageSelectsTheColumn) {
    EXPECT_EQ(iomira::currentLanguage(), LANG_ENGLISH);
    iomira::setLanguage(LANG_KOREAN);
    EXPECT_EQ(iomira::currentLanguage(), LANG_KOREAN);
    EXPECT_EQ(loadString(151), QStringLiteral("그룹"));
    iomira::setLanguage(LANG_CHINESE);
    EXPECT_EQ(loadString(151), QStringLiteral("组"));
    iomira::setLanguage(LANG_ENGLISH);
    EXPECT_EQ(loadString(151), QStringLiteral("Group"));
}

TEST(StringTableLookup, UnknownLanguageFallsBackToEnglish) {
    iomira::setLanguage(LANG_KOREAN);
    iomira::setLanguage(1041);
    EXPECT_EQ(iomira::currentLanguage(), LANG_ENGLISH);
    EXPECT_EQ(loadString(151), QStringLiteral("Group"));
    for (int language : {0, -1, 1041, 65535})
        EXPECT_EQ(loadString(158, language), QStringLiteral("Add I/O Controller")) << language;
}

TEST(StringTableLookup, UnknownIdGivesAnEmptyText) {
    for (int id : {0, -1, 99, 4999, 999999})
        for (int language : {LANG_ENGLISH, LANG_KOREAN, LANG_CHINESE})
            EXPECT_TRUE(loadString(id, language).isEmpty()) << id;
}

TEST(StringTableLookup, FirstUseFromSeveralThreadsSeesOneTable) {
    // The polling thread may be the first to ask for a text while the window thread does too.
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &mismatches] {
            for (int n = 0; n < 2000; ++n)
                if (loadString(217 + n % 5, LANG_KOREAN).isEmpty() ||
                    loadString(151, LANG_CHINESE) != QStringLiteral("组"))
                    ++mismatches[t];
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (int count : mismatches)
        EXPECT_EQ(count, 0);
}

} // namespace
