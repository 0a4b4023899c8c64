// Reading the event log back: every kind of line the writers make, through a real log file,
// parses into its columns, time and category; damaged lines are kept and flagged; the header
// is known; times parse as local time or not at all.

#include "common/test_support.h"
#include "core/event_log.h"
#include "core/log_entries.h"
#include "core/log_line.h"
#include "core/log_retention.h"
#include "core/log_texts.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/system_error.h"
#include "core/texts.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace iomira {

inline void PrintTo(LogLineCategory category, std::ostream* out) {
    *out << "category " << static_cast<int>(category);
}

namespace {

using Category = LogLineCategory;

const QDateTime kNow(QDate(2026, 5, 6), QTime(17, 8, 9));
const QString kTime = QStringLiteral("20260506/17:08:09");

CQUORVISData tank() {
    CQUORVISData c;
    c.DeviceId = 5;
    c.DeviceComment = QString::fromUtf8("Tank 탱크 %d");
    c.HostAddr = "tank.local";
    c.DiComment[1] = QString::fromUtf8("Level 水位");
    c.DoComment[2] = "Valve, main";
    return c;
}

struct Written {
    QString line;
    QStringList columns;
    Category category;
};

// A state entry with a message and no port, as most request and response lines are.
Written message(const QString& text, Category category) {
    const CQUORVISData c = tank();
    return {stateEntryLine(c, text, -1, LOG_VALUE_NONE, 3, kNow),
            {c.DeviceComment, c.HostAddr, "", "Established", kTime, "", "", text},
            category};
}

Written logMessage(int textId, Category category) {
    return message(logText(textId), category);
}

std::vector<Written> everyKind() {
    const CQUORVISData c = tank();
    CQUORVISData server = tank();
    server.IsServer = 1;
    const QString name = c.DeviceComment;
    std::vector<Written> kinds = {
        {stateEntryLine(c, {}, -1, LOG_VALUE_NONE, 3, kNow),
         {name, "tank.local", "", "Established", kTime, "", "", ""},
         Category::Connection},
        {stateEntryLine(server, {}, -1, LOG_VALUE_NONE, 1, kNow),
         {name, "", "", "Listen", kTime, "", "", ""},
         Category::Connection},
        {stateEntryLine(c, logText(TEXT_SEND_WRITE_COIL), 2, LOG_ON, 3, kNow),
         {name, "", "Valve, main", "Established", kTime, "2", "ON", "Send a write coil request"},
         Category::Output},
        {stateEntryLine(c, logText(TEXT_SEND_WRITE_PULSE), 2, LOG_PULSE, 3, kNow),
         {name, "", "Valve, main", "Established", kTime, "2", "PULSE",
          "Send a write pulse request"},
         Category::Output},
        {stateEntryLine(c, logText(TEXT_OUTPUT_PORT_STATUS), 2, LOG_OFF, 3, kNow),
         {name, "", "Valve, main", "Established", kTime, "2", "OFF", "Output port status"},
         Category::Output},
        {inputStatusEntryLine(c, 1, LOG_ON, kNow),
         {name, "", QString::fromUtf8("Level 水位"), "", kTime, "1", "ON", "Input port status"},
         Category::Input},
        {valueEntryLine(c, "COUNTER", logText(TEXT_COUNTER_VALUE), 3, 4294967295LL, kNow),
         {name, "", "COUNTER", "", kTime, "3", "4294967295", "Counter value"},
         Category::Input},
        {valueEntryLine(c, "ANALOG", logText(TEXT_ANALOG_VALUE), 1, 512, kNow),
         {name, "", "ANALOG", "", kTime, "1", "512", "Analog value"},
         Category::Input},
        {valueEntryLine(c, "ANALOG", "[E03] " + logText(TEXT_RTD_DISCONNECTED), 0, 3, kNow),
         {name, "", "ANALOG", "", kTime, "0", "3", "[E03] RTD Sensor Disconnected."},
         Category::Input},
        {temperatureEntryLine(c, "-3.5", kNow),
         {name, "", "ANALOG", "", kTime, "0", "-3.5", "Temperature"},
         Category::Input},
        {noticeEntryLine(removalLogText({"20260401_000000.txt", 0}, 30), kNow),
         {"", "", "", "", kTime, "", "",
          "Deleted the log file 20260401_000000.txt, older than 30 days."},
         Category::Other},
        message(systemErrorText(ECONNREFUSED), Category::Connection),
        message("[-2] Name or service not known", Category::Connection),
        message("Not responding", Category::Connection),
        message("Communication lost", Category::Connection),
        message("Communication restored", Category::Connection),
        message(logText(TEXT_INVALID_LENGTH) + " (3 more since the last line)",
                Category::Connection),
        message(loadString(TEXT_ILLEGAL_ADDRESS, LANG_KOREAN), Category::Input),
        message(loadString(TEXT_DEVICE_BUSY, LANG_ENGLISH), Category::Input),
        message(loadString(TEXT_MODBUS_ERROR, LANG_CHINESE).replace("%d", "11"), Category::Input),
        message("Something no writer says", Category::Other),
    };
    const std::pair<int, Category> texts[] = {
        {TEXT_SEND_READ_INPUTS, Category::Input},
        {TEXT_SEND_READ_INPUTS_INITIAL, Category::Input},
        {TEXT_SEND_READ_ALL_REGISTERS, Category::Input},
        {TEXT_SEND_READ_INPUT_REGISTERS, Category::Input},
        {TEXT_RESPONSE_INPUTS, Category::Input},
        {TEXT_RESPONSE_ADC, Category::Input},
        {TEXT_ERROR_READ_INPUTS, Category::Input},
        {TEXT_ERROR_READ_ADC, Category::Input},
        {TEXT_SEND_RESET_COUNTER, Category::Input},
        {TEXT_SEND_READ_OUTPUTS, Category::Output},
        {TEXT_SEND_READ_OUTPUTS_INITIAL, Category::Output},
        {TEXT_RESPONSE_OUTPUTS, Category::Output},
        {TEXT_ERROR_READ_OUTPUTS, Category::Output},
        {TEXT_COIL_DONE, Category::Output},
        {TEXT_COIL_ERROR, Category::Output},
        {TEXT_PULSE_DONE, Category::Output},
        {TEXT_PULSE_ERROR, Category::Output},
        {TEXT_SOCKET_NOT_ESTABLISHED, Category::Connection},
        {TEXT_UNKNOWN_FUNCTION, Category::Connection},
    };
    for (const auto& [id, category] : texts)
        kinds.push_back(logMessage(id, category));
    return kinds;
}

// The file's lines, each with its own line end.
QList<QByteArray> fileLines(const QByteArray& contents) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < contents.size()) {
        const qsizetype end = contents.indexOf('\n', start);
        const qsizetype next = end < 0 ? contents.size() : end + 1;
        lines << contents.mid(start, next - start);
        start = next;
    }
    return lines;
}

void expectColumns(const LogLine& line, const QStringList& columns) {
    ASSERT_EQ(columns.size(), LOG_COLUMN_COUNT);
    for (int i = 0; i < LOG_COLUMN_COUNT; ++i)
        EXPECT_EQ(line.columns[i], columns[i]) << i;
}

TEST(LogLineReading, EveryKindTheWritersMakeReadsBackFromTheFile) {
    QTemporaryDir dir;
    EventLog log(dir.path(), [] { return kNow; });
    ASSERT_EQ(log.OpenNewFile(), 0);
    const std::vector<Written> kinds = everyKind();
    for (const Written& kind : kinds)
        ASSERT_EQ(log.WriteEntry(kind.line), 0);
    const QList<QByteArray> lines = fileLines(test::readFile(log.currentPath()));
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(kinds.size() + 1));

    const LogLine header = parseLogLine(lines[0]);
    EXPECT_TRUE(header.header);
    EXPECT_FALSE(header.malformed());
    EXPECT_EQ(header.category, Category::Other);
    for (size_t i = 0; i < kinds.size(); ++i) {
        SCOPED_TRACE(kinds[i].line.toStdString());
        const LogLine line = parseLogLine(lines[static_cast<qsizetype>(i + 1)]);
        EXPECT_FALSE(line.header);
        EXPECT_EQ(line.flaws, 0u);
        expectColumns(line, kinds[i].columns);
        EXPECT_EQ(line.category, kinds[i].category);
        EXPECT_EQ(line.time, kNow);
        EXPECT_EQ(line.raw + "\r\n", kinds[i].line);
    }
}

TEST(LogLineReading, ADamagedLineIsKeptWithItsTextAndFlagged) {
    const QByteArray whole =
        stateEntryLine(tank(), "Response of read input ports", -1, LOG_VALUE_NONE, 3, kNow)
            .toUtf8();
    const QByteArray longEtc = QByteArray(3000, 'x');
    struct Case {
        QByteArray bytes;
        unsigned flaws;
        QString raw;
    };
    const Case cases[] = {
        {"", LOG_LINE_UNENDED | LOG_LINE_COLUMNS, ""},
        {"\r\n", LOG_LINE_COLUMNS, ""},
        {"a\tb\tc\r\n", LOG_LINE_COLUMNS, "a\tb\tc"},
        {"a\tb\tc\td\te\tf\tg\th\ti\r\n", LOG_LINE_COLUMNS, "a\tb\tc\td\te\tf\tg\th\ti"},
        {"a\tb\tc\td\t20260506/17:08:09\tf\tg\t" + longEtc + "\r\n", LOG_LINE_OVERLONG,
         "a\tb\tc\td\t20260506/17:08:09\tf\tg\t" + QString(longEtc)},
        {"bad \xff\xfe name\t\t\t\t20260506/17:08:09\t\t\t\r\n", LOG_LINE_ENCODING,
         QString::fromUtf8("bad \xff\xfe name\t\t\t\t20260506/17:08:09\t\t\t")},
        {whole.left(whole.size() - 10), LOG_LINE_UNENDED,
         QString::fromUtf8(whole.left(whole.size() - 10))},
        {whole.left(20), LOG_LINE_UNENDED | LOG_LINE_COLUMNS, QString::fromUtf8(whole.left(20))},
        {whole.chopped(2) + "\n", LOG_LINE_UNENDED, QString::fromUtf8(whole.chopped(2))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.left(60).toStdString());
        const LogLine line = parseLogLine(c.bytes);
        EXPECT_EQ(line.flaws, c.flaws);
        EXPECT_TRUE(line.malformed());
        EXPECT_EQ(line.raw, c.raw);
        EXPECT_FALSE(line.header);
    }
}

TEST(LogLineReading, ColumnsOfADamagedLineAreTakenAsFarAsTheyGo) {
    const LogLine few = parseLogLine("Pump\t\tDO1\tEstablished\t20260506/17:08:09");
    EXPECT_EQ(few.columns[LOG_COM_NAME], "Pump");
    EXPECT_EQ(few.columns[LOG_TAG_NAME], "DO1");
    EXPECT_EQ(few.columns[LOG_ETC], "");
    EXPECT_EQ(few.time, kNow);
    EXPECT_EQ(few.category, Category::Other);

    const LogLine extra = parseLogLine("a\tb\tc\td\te\tf\tg\tSend a write coil request\tmore\r\n");
    EXPECT_EQ(extra.columns[LOG_ETC], "Send a write coil request\tmore");
    EXPECT_EQ(extra.category, Category::Other);

    const LogLine cut =
        parseLogLine(QByteArray("Pump\t\tDO1\tEstablished\t20260506/17:08:09\t1\tON\t"
                                "Send a write coil request"));
    EXPECT_EQ(cut.flaws, unsigned(LOG_LINE_UNENDED));
    EXPECT_EQ(cut.category, Category::Output);
}

TEST(LogLineReading, TheHeaderIsKnownOnlyWhole) {
    EXPECT_TRUE(parseLogLine(kLogHeader).header);
    EXPECT_TRUE(splitLogLine(QByteArray(kLogHeader).chopped(2)).header);
    EXPECT_FALSE(
        parseLogLine("Com Name\tPeer IP\tTag Name\tState\tTime\tAddress\tValue\r\n").header);
    EXPECT_FALSE(
        parseLogLine("com name\tPeer IP\tTag Name\tState\tTime\tAddress\tValue\tEtc\r\n").header);
}

TEST(LogLineReading, TimesAreLocalTimesOrNull) {
    EXPECT_EQ(logLineTime("20260506/17:08:09"), kNow);
    EXPECT_EQ(logLineTime("20260506/17:08:09").timeSpec(), Qt::LocalTime);
    EXPECT_EQ(logLineTime("20240229/00:00:00"), QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
    EXPECT_EQ(logLineTime("20261231/23:59:59"), QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    for (const char* bad :
         {"", "20260506/17:08:0", "20260506/17:08:090", "20260506 17:08:09", "20260506/17-08-09",
          "2026-5-06/17:08:09", "20261306/17:08:09", "20250229/17:08:09", "20260506/24:00:00",
          "20260506/17:60:09", "-0260506/17:08:09", "2026O506/17:08:09"}) {
        EXPECT_FALSE(logLineTime(bad).isValid()) << bad;
    }
}

} // namespace
} // namespace iomira
