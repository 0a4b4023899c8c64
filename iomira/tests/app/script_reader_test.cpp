// Controller scripts read into records, without a store: every key's rule in both forms, the
// product table, the line and cell rules, and what malformed files turn into.

#include "common/test_support.h"

#include "app/script_keys.h"
#include "app/script_reader.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <QDir>

#include <climits>
#include <functional>

#include <gtest/gtest.h>

namespace iomira {
namespace {

class ScriptReading : public ::testing::Test {
  protected:
    void SetUp() override { setLanguage(LANG_ENGLISH); }
};

QByteArray ini(const QByteArray& lines) {
    return "[CONTROLLER]\r\n" + lines;
}

// One key in either form: a one-line section, or a header cell over one row.
ScriptReadOutcome readOne(ScriptForm form, const QByteArray& key, const QByteArray& value) {
    if (form == ScriptForm::Ini) return readIniScript(ini(key + '=' + value + "\r\n"));
    return readCsvScript("Comment," + key + "\r\nc," + value + "\r\n");
}

// ---- Products and port counts --------------------------------------------------------------

struct ProductCase {
    const char* name;
    QByteArray lines;
    int deviceType, inputs, outputs, viewMode, unitId;
};

class Products : public ScriptReading, public ::testing::WithParamInterface<ProductCase> {};

TEST_P(Products, SetFamilyPortsAndFixedValues) {
    const ProductCase& c = GetParam();
    for (ScriptForm form : {ScriptForm::Ini, ScriptForm::Csv}) {
        // The CSV form of the same case: the keys become the header, the values one row.
        QByteArray header, row;
        for (const QByteArray& line : c.lines.split('\n')) {
            if (line.isEmpty()) continue;
            const qsizetype eq = line.indexOf('=');
            header += (header.isEmpty() ? "" : ",") + line.left(eq);
            row += (row.isEmpty() ? "" : ",") + line.mid(eq + 1).chopped(1);
        }
        const ScriptReadOutcome out = form == ScriptForm::Ini
                                          ? readIniScript(ini(c.lines))
                                          : readCsvScript(header + "\r\n" + row + "\r\n");
        ASSERT_EQ(out.records.size(), 1u) << int(form);
        const CQUORVISData& r = out.records[0].record;
        EXPECT_EQ(r.DeviceType, c.deviceType) << int(form);
        EXPECT_EQ(r.NumberOfPortInput, c.inputs) << int(form);
        EXPECT_EQ(r.NumberOfPortOutput, c.outputs) << int(form);
        EXPECT_EQ(r.ViewMode, c.viewMode) << int(form);
        EXPECT_EQ(r.UnitId, c.unitId) << int(form);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Products,
    ::testing::Values(
        ProductCase{"Tka31", "Product=TKA-31\r\n", 0, 8, 8, 0, 0},
        ProductCase{"Tka31P", "Product=TKA-31P\r\n", 0, 8, 8, 0, 0},
        ProductCase{"Tka21", "Product=TKA-21\r\n", 0, 8, 8, 0, 0},
        ProductCase{"Tkb11", "Product=TKB-11\r\nUnitId=3\r\n", 0, 1, 1, 0, 3},
        ProductCase{"Tka33IgnoresPortCount", "Product=TKA-33\r\nNumberOfPort=5\r\n", 0, 2, 1, 0, 0},
        ProductCase{"Tka33P", "Product=TKA-33P\r\n", 0, 2, 1, 0, 0},
        ProductCase{"Tka35", "Product=TKA-35\r\n", 0, 4, 4, 0, 0},
        ProductCase{"Tka35P", "Product=TKA-35P\r\n", 0, 4, 4, 0, 0},
        ProductCase{"Rlx810", "Product=RLX-810\r\n", 1, 0, 0, 0, 255},
        ProductCase{"Rlx820", "Product=RLX-820\r\nNumberOfPort=2\r\n", 2, 4, 0, 0, 255},
        ProductCase{"Rlx830UnitIdAlways255", "Product=RLX-830\r\nUnitId=7\r\n", 3, 0, 2, 2, 255},
        ProductCase{"Rlx850", "Product=RLX-850\r\n", 4, 4, 4, 0, 255},
        ProductCase{"Rlx840", "Product=RLX-840\r\n", 5, 0, 0, 0, 255},
        ProductCase{"CaseCounts", "Product=tka-35\r\n", 0, 8, 8, 0, 0},
        ProductCase{"UnknownTakesPortCount", "Product=TKA-99\r\nNumberOfPort=3\r\n", 0, 3, 3, 0, 0},
        ProductCase{"NoProductPortCount12Is8", "NumberOfPort=12\r\n", 0, 8, 8, 0, 0},
        ProductCase{"NoProductPortCount3", "NumberOfPort=3\r\nUnitId=9\r\n", 0, 3, 3, 0, 9},
        ProductCase{"NoProductPortCount0Is8", "NumberOfPort=0\r\n", 0, 8, 8, 0, 0},
        ProductCase{"NoProductNoPortCount", "HostPort=502\r\n", 0, 8, 8, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Values whose rule differs between the forms -------------------------------------------

struct ValueCase {
    const char* name;
    QByteArray key;
    QByteArray value;
    std::function<int(const CQUORVISData&)> field;
    int fromIni;
    int fromCsv;
};

class Values : public ScriptReading, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(Values, AreStoredAsTheFormSays) {
    const ValueCase& c = GetParam();
    for (const auto& [form, expected] :
         {std::pair{ScriptForm::Ini, c.fromIni}, std::pair{ScriptForm::Csv, c.fromCsv}}) {
        const ScriptReadOutcome out = readOne(form, c.key, c.value);
        ASSERT_EQ(out.records.size(), 1u);
        EXPECT_EQ(c.field(out.records[0].record), expected)
            << (form == ScriptForm::Ini ? "ini" : "csv");
    }
}

#define FIELD(expr) [](const CQUORVISData& r) { return int(r.expr); }

INSTANTIATE_TEST_SUITE_P(
    Table, Values,
    ::testing::Values(
        ValueCase{"AutomaticConnection2", "AutomaticConnection", "2", FIELD(AutomaticConnection), 1,
                  2},
        ValueCase{"AutomaticConnection0", "AutomaticConnection", "0", FIELD(AutomaticConnection), 0,
                  0},
        ValueCase{"OutputPortControl5", "OutputPortControl", "5", FIELD(OutputPortControl), 1, 5},
        ValueCase{"Polling3", "Polling", "3", FIELD(Polling), 1, 3},
        ValueCase{"PollingInput1", "PollingInput", "1", FIELD(PollingInput), 1, 1},
        ValueCase{"UseWarningMsg4", "UseWarningMsg", "4", FIELD(UseWarningMsg), 1, 4},
        ValueCase{"WarningMsgType1", "WarningMsgType", "1", FIELD(WarningMsgType), 1, 1},
        ValueCase{"WarningMsgType2", "WarningMsgType", "2", FIELD(WarningMsgType), 0, 2},
        ValueCase{"UseLog3", "UseLog", "3", FIELD(UseLog), 0, 3},
        ValueCase{"UseWarningMsgDo3", "UseWarningMsgDo3", "7", FIELD(UseWarningMsgDo[3]), 1, 7},
        ValueCase{"UsePulseDo0", "UsePulseDo0", "9", FIELD(UsePulseDo[0]), 1, 9},
        ValueCase{"SignalLevelDo2", "SignalLevelDo2", "4", FIELD(SignalLevelDo[2]), 255, 255},
        ValueCase{"SignalLevelDo0", "SignalLevelDo0", "0", FIELD(SignalLevelDo[0]), 0, 0},
        ValueCase{"DurationDoIn16Bits", "DurationDo1", "70000", FIELD(DurationDo[1]), 4464, 4464},
        ValueCase{"DurationDo", "DurationDo7", "500", FIELD(DurationDo[7]), 500, 500},
        ValueCase{"NetworkByNumber", "Network", "1", FIELD(IsServer), 1, 1},
        ValueCase{"NetworkTwoWithText", "Network", "2x", FIELD(IsServer), 2, 0},
        ValueCase{"NetworkOutOfRange", "Network", "3", FIELD(IsServer), 0, 0},
        ValueCase{"LeadingDigits", "HostPort", "502abc", FIELD(HostPort), 502, 502},
        ValueCase{"NegativeIsNotANumber", "HostPort", "-5", FIELD(HostPort), 0, 0},
        ValueCase{"HugeSaturates", "InputAddr", "99999999999", FIELD(InputAddr), INT_MAX, INT_MAX},
        ValueCase{"OutputAddr", "OutputAddr", "16", FIELD(OutputAddr), 16, 16},
        ValueCase{"UnitId", "UnitId", "12", FIELD(UnitId), 12, 12}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptReading, MissingKeysGiveTheirDefaultsInBothForms) {
    for (const ScriptReadOutcome& out :
         {readIniScript(ini("Comment=only\r\n")), readCsvScript("Comment\r\nonly\r\n")}) {
        ASSERT_EQ(out.records.size(), 1u);
        const ScriptRecord& s = out.records[0];
        const CQUORVISData& r = s.record;
        EXPECT_EQ(r.DeviceComment, "only");
        EXPECT_EQ(s.groupName, "");
        EXPECT_EQ(r.DiComment[3], "DI3");
        EXPECT_EQ(r.DoComment[5], "DO5");
        EXPECT_EQ(r.MsgAllOn, "");
        EXPECT_EQ(r.DoMsgOnOff[2], "");
        EXPECT_EQ(r.AutomaticConnection, 0) << "missing stores 0, unlike a new record";
        EXPECT_EQ(r.Polling, 0);
        EXPECT_EQ(r.PollingInput, 0);
        EXPECT_EQ(r.UnitId, 0);
        EXPECT_EQ(r.IsServer, 0);
        EXPECT_EQ(r.HostAddr, "");
        EXPECT_EQ(r.NumberOfPortInput, 8);
        EXPECT_EQ(r.AIName[0], "AI0") << "keys the script has not keep a new record's value";
        EXPECT_EQ(r.DiState[1], 1);
        EXPECT_TRUE(out.warnings.isEmpty()) << out.warnings.join('\n').toStdString();
    }
}

TEST_F(ScriptReading, TextsOfEveryPortAndTheGroupAreRead) {
    const ScriptReadOutcome out =
        readIniScript(ini("Group=Plant\r\nDiComment7=door\r\nDoComment0=lamp\r\nMsgAllOff=off!\r\n"
                          "DoMsgOn4=on4\r\nDoMsgOff4=off4\r\nHostAddr=10.0.0.5\r\n"));
    ASSERT_EQ(out.records.size(), 1u);
    const ScriptRecord& s = out.records[0];
    EXPECT_EQ(s.groupName, "Plant");
    EXPECT_EQ(s.record.DiComment[7], "door");
    EXPECT_EQ(s.record.DoComment[0], "lamp");
    EXPECT_EQ(s.record.MsgAllOff, "off!");
    EXPECT_EQ(s.record.DoMsgOnOn[4], "on4");
    EXPECT_EQ(s.record.DoMsgOnOff[4], "off4");
    EXPECT_EQ(s.record.HostAddr, "10.0.0.5");
}

// ---- Problems with values, told with their line --------------------------------------------

struct ProblemCase {
    const char* name;
    ScriptForm form;
    QByteArray bytes;
    int line;
    int textId;
    QStringList args;
};

class ValueProblems : public ScriptReading, public ::testing::WithParamInterface<ProblemCase> {};

TEST_P(ValueProblems, AreToldWithTheirLine) {
    const ProblemCase& c = GetParam();
    const ScriptReadOutcome out =
        c.form == ScriptForm::Ini ? readIniScript(c.bytes) : readCsvScript(c.bytes);
    EXPECT_TRUE(out.warnings.contains(scriptWarning(c.textId, c.line, c.args)))
        << out.warnings.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValueProblems,
    ::testing::Values(ProblemCase{"Negative",
                                  ScriptForm::Ini,
                                  ini("Comment=a\r\nHostPort=-5\r\n"),
                                  3,
                                  TEXT_SCRIPT_NOT_A_NUMBER,
                                  {"HostPort=-5"}},
                      ProblemCase{"Letters",
                                  ScriptForm::Csv,
                                  "Comment,UnitId\r\na,x1\r\n",
                                  2,
                                  TEXT_SCRIPT_NOT_A_NUMBER,
                                  {"UnitId=x1"}},
                      ProblemCase{"Huge",
                                  ScriptForm::Ini,
                                  ini("InputAddr=4294967296\r\n"),
                                  2,
                                  TEXT_SCRIPT_NUMBER_TOO_LARGE,
                                  {"InputAddr", "2147483647"}},
                      ProblemCase{"Duration",
                                  ScriptForm::Csv,
                                  "DurationDo3\r\n65536\r\n",
                                  2,
                                  TEXT_SCRIPT_NOT_16_BITS,
                                  {"DurationDo3", "0"}},
                      ProblemCase{"NoLineEnd",
                                  ScriptForm::Ini,
                                  ini("Comment=a\r\nPolling=0"),
                                  3,
                                  TEXT_SCRIPT_NO_LINE_END,
                                  {"Polling"}},
                      ProblemCase{"LongValue",
                                  ScriptForm::Ini,
                                  ini("Comment=" + QByteArray(3000, 'x') + "\r\n"),
                                  2,
                                  TEXT_SCRIPT_VALUE_TOO_LONG,
                                  {"Comment"}},
                      ProblemCase{"NulInIni",
                                  ScriptForm::Ini,
                                  ini(QByteArray("Comment=ab\0cd\r\n", 15)),
                                  2,
                                  TEXT_SCRIPT_NUL_BYTE,
                                  {"Comment"}},
                      ProblemCase{"NulInCsv",
                                  ScriptForm::Csv,
                                  QByteArray("Comment\r\nab\0cd\r\n", 15),
                                  2,
                                  TEXT_SCRIPT_NUL_BYTE,
                                  {"Comment"}},
                      ProblemCase{"LongHost",
                                  ScriptForm::Ini,
                                  ini("HostAddr=" + QByteArray(200, 'h') + "\r\n"),
                                  2,
                                  TEXT_SCRIPT_HOST_TOO_LONG,
                                  {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptReading, TooLongAndNulValuesAreCutNotLost) {
    const ScriptReadOutcome out = readIniScript(
        ini("Comment=" + QByteArray(3000, 'x') + "\r\nHostAddr=" + QByteArray(200, 'h') + "\r\n" +
            QByteArray("DoComment1=ab\0cd\r\n", 18)));
    ASSERT_EQ(out.records.size(), 1u);
    EXPECT_EQ(out.records[0].record.DeviceComment, QString(2047, 'x'));
    EXPECT_EQ(out.records[0].record.HostAddr, QString(127, 'h'));
    EXPECT_EQ(out.records[0].record.DoComment[1], "ab");
}

// ---- The INI form --------------------------------------------------------------------------

TEST_F(ScriptReading, IniKeysCountOnlyAtTheStartOfALine) {
    const ScriptReadOutcome out =
        readIniScript(ini("DeviceComment=wrong\r\nComment=right HostPort=99\r\nHostPort=502\r\n"
                          "Comment=second\r\nXPolling=1\r\n"));
    ASSERT_EQ(out.records.size(), 1u);
    const CQUORVISData& r = out.records[0].record;
    EXPECT_EQ(r.DeviceComment, "right HostPort=99") << "the first line of the key wins";
    EXPECT_EQ(r.HostPort, 502);
    EXPECT_EQ(r.Polling, 0) << "XPolling is not Polling";
}

TEST_F(ScriptReading, IniKeyWithoutLineBreakKeepsTheNewRecordsValue) {
    const auto last = [](const QByteArray& line) {
        const ScriptReadOutcome out = readIniScript(ini("Comment=a\r\n" + line));
        EXPECT_EQ(out.records.size(), 1u);
        return out.records.empty() ? ScriptRecord() : out.records[0];
    };
    EXPECT_EQ(last("AutomaticConnection=0").record.AutomaticConnection, 1);
    EXPECT_EQ(last("Polling=0").record.Polling, 1);
    EXPECT_EQ(last("Group=Plant").groupName, "");
    EXPECT_EQ(last("NumberOfPort=3").record.NumberOfPortInput, 8);
    EXPECT_EQ(last("DiComment2=x").record.DiComment[2], "DI2");
    EXPECT_EQ(last("HostPort=77\r").record.HostPort, 0) << "a CR alone ends no line";
}

TEST_F(ScriptReading, IniSectionsSplitAtTheExactMarkAtALineStart) {
    const ScriptReadOutcome out = readIniScript("ignored=1\r\nComment=before\r\n"
                                                "[CONTROLLER]\r\nComment=one [CONTROLLER]\r\n"
                                                "[controller]\r\nHostPort=1\r\n"
                                                "[CONTROLLER]\r\nComment=two\r\n\r\n"
                                                "[CONTROLLER]\r\n");
    ASSERT_EQ(out.records.size(), 3u);
    EXPECT_EQ(out.records[0].record.DeviceComment, "one [CONTROLLER]");
    EXPECT_EQ(out.records[0].record.HostPort, 1) << "[controller] is no section of its own";
    EXPECT_EQ(out.records[0].line, 3);
    EXPECT_EQ(out.records[1].record.DeviceComment, "two");
    EXPECT_EQ(out.records[1].line, 7);
    EXPECT_EQ(out.records[2].record.DeviceComment, "");
    EXPECT_EQ(out.records[2].line, 10);
}

TEST_F(ScriptReading, LinesEndingInLfAloneReadToo) {
    const ScriptReadOutcome iniOut = readIniScript("[CONTROLLER]\nComment=lf\nHostPort=7\n");
    ASSERT_EQ(iniOut.records.size(), 1u);
    EXPECT_EQ(iniOut.records[0].record.DeviceComment, "lf");
    EXPECT_EQ(iniOut.records[0].record.HostPort, 7);
    const ScriptReadOutcome csvOut = readCsvScript("Comment,HostPort\nlf,7\n");
    ASSERT_EQ(csvOut.records.size(), 1u);
    EXPECT_EQ(csvOut.records[0].record.HostPort, 7);
}

TEST_F(ScriptReading, ByteOrderMarkHidesNoKeyOrHeaderCell) {
    const ScriptReadOutcome iniOut = readIniScript("\xEF\xBB\xBF[CONTROLLER]\r\nComment=x\r\n");
    ASSERT_EQ(iniOut.records.size(), 1u);
    EXPECT_EQ(iniOut.records[0].record.DeviceComment, "x");
    const ScriptReadOutcome csvOut = readCsvScript("\xEF\xBB\xBF"
                                                   "Comment,HostPort\r\nx,5\r\n");
    ASSERT_EQ(csvOut.records.size(), 1u);
    EXPECT_EQ(csvOut.records[0].record.DeviceComment, "x");
}

TEST_F(ScriptReading, TextIsReadInTheLocalCodeSet) {
    const ScriptReadOutcome out = readIniScript(ini("Comment=창고 温度\r\n"));
    ASSERT_EQ(out.records.size(), 1u);
    EXPECT_EQ(out.records[0].record.DeviceComment, QString::fromUtf8("창고 温度"));
}

// ---- The CSV form --------------------------------------------------------------------------

TEST_F(ScriptReading, CsvColumnsAreMatchedWithoutCaseAndByPosition) {
    const ScriptReadOutcome out = readCsvScript("Foo,hostaddr,COMMENT,HostPort,Comment\r\n"
                                                "f,10.0.0.1,first,502,second\r\n\r\n"
                                                "g,10.0.0.2,third,503,fourth\r\n");
    ASSERT_EQ(out.records.size(), 2u);
    EXPECT_EQ(out.records[0].record.HostAddr, "10.0.0.1");
    EXPECT_EQ(out.records[0].record.DeviceComment, "first") << "the first matching column";
    EXPECT_EQ(out.records[0].line, 2);
    EXPECT_EQ(out.records[1].record.HostPort, 503);
    EXPECT_EQ(out.records[1].line, 4) << "a blank line is no controller";
    EXPECT_TRUE(out.warnings.isEmpty()) << out.warnings.join('\n').toStdString();
}

TEST_F(ScriptReading, CsvTwoCommasCountAsOneAndTheRowIsWarned) {
    const ScriptReadOutcome out =
        readCsvScript("Comment,HostAddr,HostPort\r\na,,502,extra\r\nb,h,7,\r\n");
    ASSERT_EQ(out.records.size(), 2u);
    EXPECT_EQ(out.records[0].record.HostAddr, "502") << "every later cell moved left";
    EXPECT_EQ(out.records[0].record.HostPort, 0);
    EXPECT_EQ(out.records[1].record.HostPort, 7);
    EXPECT_EQ(out.warnings,
              (QStringList{scriptWarning(TEXT_SCRIPT_EMPTY_CELL, 2),
                           scriptWarning(TEXT_SCRIPT_NOT_A_NUMBER, 2, {"HostPort=extra"})}))
        << "a trailing comma moves nothing";
}

TEST_F(ScriptReading, CsvShortRowGivesNoRecordAndLaterRowsStillRead) {
    const ScriptReadOutcome out =
        readCsvScript("Comment,HostAddr,Foo,HostPort,Bar\r\na,b\r\nc,d,e,9\r\n");
    ASSERT_EQ(out.records.size(), 1u);
    EXPECT_EQ(out.records[0].record.DeviceComment, "c");
    EXPECT_EQ(out.records[0].record.HostPort, 9) << "columns without a key need no cell";
    EXPECT_EQ(out.warnings,
              QStringList{scriptWarning(TEXT_SCRIPT_SHORT_ROW, 2, {"2", "HostPort", "4"})});
}

TEST_F(ScriptReading, CsvQuotesAreWarnedAndReadAsWritten) {
    const ScriptReadOutcome out = readCsvScript("Comment,HostPort\r\n\"a, b\",5\r\n");
    ASSERT_EQ(out.records.size(), 1u);
    EXPECT_EQ(out.records[0].record.DeviceComment, "\"a");
    EXPECT_TRUE(out.warnings.contains(scriptWarning(TEXT_SCRIPT_QUOTED_CELL, 2)));
}

TEST_F(ScriptReading, CsvLineOverTheLimitReadsAsEmpty) {
    const QByteArray fits = "x" + QByteArray(4092, 'a') + "\r\n"; // 4,095 bytes with CR LF
    const QByteArray over = "y" + QByteArray(4093, 'a') + "\r\n";
    const ScriptReadOutcome out = readCsvScript("Comment\r\n" + fits + over + "z\r\n");
    ASSERT_EQ(out.records.size(), 2u);
    EXPECT_EQ(out.records[0].record.DeviceComment.size(), 4093);
    EXPECT_EQ(out.records[1].record.DeviceComment, "z") << "the rows after it still read";
    EXPECT_EQ(out.warnings, QStringList{scriptWarning(TEXT_SCRIPT_LINE_TOO_LONG, 3)});
}

// ---- Files that hold no controller, or are no script ---------------------------------------

struct EmptyCase {
    const char* name;
    ScriptForm form;
    QByteArray bytes;
};

class NoControllers : public ScriptReading, public ::testing::WithParamInterface<EmptyCase> {};

TEST_P(NoControllers, AreToldAndGiveNoRecord) {
    const EmptyCase& c = GetParam();
    const ScriptReadOutcome out =
        c.form == ScriptForm::Ini ? readIniScript(c.bytes) : readCsvScript(c.bytes);
    EXPECT_TRUE(out.records.empty());
    EXPECT_TRUE(out.error.isEmpty());
    EXPECT_EQ(out.warnings.value(out.warnings.size() - 1),
              scriptText(TEXT_SCRIPT_NO_CONTROLLERS, {}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoControllers,
    ::testing::Values(EmptyCase{"EmptyIni", ScriptForm::Ini, ""},
                      EmptyCase{"NoSection", ScriptForm::Ini, "Comment=a\r\nHostPort=1\r\n"},
                      EmptyCase{"LowerCaseMark", ScriptForm::Ini, "[controller]\r\nComment=a\r\n"},
                      EmptyCase{"NulsOnly", ScriptForm::Ini, QByteArray(64, '\0')},
                      EmptyCase{"EmptyCsv", ScriptForm::Csv, ""},
                      EmptyCase{"OnlyHeader", ScriptForm::Csv, "Comment,HostAddr\r\n"},
                      EmptyCase{"EmptyHeader", ScriptForm::Csv, ",,,\r\na,b\r\n"},
                      EmptyCase{"HeaderTooLong", ScriptForm::Csv,
                                QByteArray(5000, 'C') + "\r\na\r\n"},
                      EmptyCase{"OnlyCommas", ScriptForm::Csv, "Comment\r\n,,,\r\n\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptReading, FormFollowsTheExtensionWithoutCase) {
    const std::pair<const char*, ScriptForm> cases[] = {
        {"a.ini", ScriptForm::Ini},     {"/x/B.INI", ScriptForm::Ini},
        {"c.Csv", ScriptForm::Csv},     {"d.txt", ScriptForm::None},
        {"noext", ScriptForm::None},    {"e.ini.txt", ScriptForm::None},
        {"f.csv.bak", ScriptForm::None}};
    for (const auto& [path, form] : cases)
        EXPECT_EQ(scriptFormOf(QString::fromLatin1(path)), form) << path;
}

TEST_F(ScriptReading, FilesAreOpenedAndReadInTheirForm) {
    QTemporaryDir dir;
    const QString iniPath = dir.filePath("plant.INI");
    const QString csvPath = dir.filePath("plant.csv");
    const QString txtPath = dir.filePath("plant.txt");
    test::writeFile(iniPath, ini("Comment=from ini\r\n"));
    test::writeFile(csvPath, "Comment\r\nfrom csv\r\n");
    test::writeFile(txtPath, ini("Comment=from txt\r\n"));
    QDir(dir.path()).mkdir("folder.ini");

    const ScriptReadOutcome fromIni = readScriptFile(iniPath);
    ASSERT_EQ(fromIni.records.size(), 1u);
    EXPECT_EQ(fromIni.records[0].record.DeviceComment, "from ini");
    const ScriptReadOutcome fromCsv = readScriptFile(csvPath);
    ASSERT_EQ(fromCsv.records.size(), 1u);
    EXPECT_EQ(fromCsv.records[0].record.DeviceComment, "from csv");

    const std::pair<QString, QString> refused[] = {
        {txtPath, scriptText(TEXT_SCRIPT_NOT_A_SCRIPT, {"plant.txt"})},
        {dir.filePath("missing.ini"), "[2] No such file or directory"},
        {dir.filePath("folder.ini"), "[21] Is a directory"}};
    for (const auto& [path, error] : refused) {
        const ScriptReadOutcome out = readScriptFile(path);
        EXPECT_EQ(out.error, error) << path.toStdString();
        EXPECT_TRUE(out.records.empty());
    }
}

} // namespace
} // namespace iomira
