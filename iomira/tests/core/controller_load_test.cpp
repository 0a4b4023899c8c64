#include "common/test_support.h"
#include "core/controller_keys.h"
#include "core/device_family.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace iomira {
namespace {

// A record of the given family with a non-default value in every field the family stores,
// or with everyField in every stored field of any family.
CQUORVISData busyRecord(int type, bool everyField = false) {
    CQUORVISData r;
    r.DeviceId = 300 + type;
    r.DeviceType = type;
    r.DeviceComment = QString::fromUtf8("Kessel 3 – 温度");
    r.setHostAddr("plc.example.test");
    r.HostPort = 5020;
    r.UnitId = type == 0 || everyField ? 17 : 255;
    r.IsServer = 2;
    r.InputAddr = 100;
    r.LastPosX = 1, r.LastPosY = 2, r.LastPosCX = 300, r.LastPosCY = 400;
    r.LastOpened = 1, r.Minimized = 1, r.AutomaticConnection = 0, r.PollingInput = 0;
    r.RootID = 3999, r.Index = 29;
    r.LastPosXMin = 5, r.LastPosYMin = 6, r.LastPosCXMin = 7, r.LastPosCYMin = 8;
    r.UseLog = 1, r.UseEmailNotification = 1, r.MailAccountID = 12;
    r.MailTo = "ops@example.test", r.MailSubject = "%d %p", r.MailContent = "%s at %t";
    if (everyField || usesDigitalPorts(type)) {
        r.NumberOfPortInput = 3, r.NumberOfPortOutput = 5, r.OutputAddr = 240, r.ViewMode = 1;
        r.UseWarningMsg = 1, r.WarningMsgType = 1, r.MsgAllOn = "on?", r.MsgAllOff = "off?";
        for (int n = 0; n < kDigitalPorts; ++n) {
            r.DiComment[n] = QStringLiteral("in %1").arg(n);
            r.DoComment[n] = QStringLiteral("out %1").arg(n);
            r.OnDiSoundId[n] = n + 1, r.OffDiSoundId[n] = n + 100;
            r.DoMsgOnOn[n] = "sure on", r.DoMsgOnOff[n] = "sure off";
            r.UseWarningMsgDo[n] = 1, r.UsePulseDo[n] = 1;
            r.DurationDo[n] = 65535, r.SignalLevelDo[n] = 255;
            r.UseInputEmailNotification[n] = 1, r.UseOutputEmailNotification[n] = 1;
            r.UseMControlDo[n] = "1,2,3";
        }
    }
    if (everyField || usesOutputPolling(type)) r.Polling = 0, r.OutputPortControl = 1;
    if (type == 1 || type == 4 || type == 5) r.Polling = 0;
    if (everyField || usesCounterFlags(type)) r.DiState = {0, 1, 0, 1}, r.DiCounter = {1, 0, 0, 0};
    if (everyField || usesAnalog(type)) {
        for (int n = 0; n < kAnalogChannels; ++n) {
            r.AI[n] = n % 2, r.AIName[n] = "ch", r.AIUnit[n] = "mA";
            r.AIMin[n] = "-1.5", r.AIMax[n] = "20", r.AIFgColor[n] = 0xFFFFFFFFu;
            r.AIBgColor[n] = 0x00010203u;
        }
        r.AIHeaderWidth = {50, 60, 70, 0};
    }
    return r;
}

TEST(ControllerKeys, EveryFamilyReadsBackWhatItWrote) {
    for (int type = 0; type <= 5; ++type) {
        test::TempStore t;
        const CQUORVISData written = busyRecord(type);
        ASSERT_TRUE(saveController(*t.store, written));
        KeyValues values;
        ASSERT_TRUE(t.store->readKey(controllerKeyName(written.DeviceId), values));
        const CQUORVISData read = readController(values);
        EXPECT_TRUE(read == written) << "type " << type;
    }
}

// Every field set, whatever the family: only the family's fields come back, the others keep
// their created values (or the load rules' values).
TEST(ControllerKeys, FieldsOfOtherFamiliesAreNeitherStoredNorRestored) {
    for (int type : {0, 1, 2, 3, 4, 5, 9}) {
        test::TempStore t;
        ASSERT_TRUE(saveController(*t.store, busyRecord(type, true)));
        KeyValues values;
        ASSERT_TRUE(t.store->readKey(controllerKeyName(300 + type), values));
        EXPECT_TRUE(readController(values) == busyRecord(type)) << "type " << type;
    }
}

// Stored rows of a controller key in write order, as "name|type" (1 text, 4 DWORD).
struct Run {
    std::vector<int> types; // empty: every family, known or not
    int count;              // above 1: the rows repeat per index, "%1" taking it
    std::vector<const char*> rows;
};

const std::vector<int> kAll{}, kPorts{0, 2, 3, 4}, kAnalog{1, 4, 5};

const Run kKeyLayout[] = {
    {kAll,
     1,
     {"DeviceId|4", "DeviceType|4", "DeviceComment|1", "HostAddr|1", "HostPort|4", "UnitId|4",
      "IsServer|4", "InputAddr|4"}},
    {kPorts, 1, {"NumberOfPortInput|4", "NumberOfPortOutput|4", "OutputAddr|4"}},
    {kAll,
     1,
     {"ViewMode|4", "LastPosX|4", "LastPosY|4", "LastPosCX|4", "LastPosCY|4", "LastOpened|4",
      "Minimized|4", "AutomaticConnection|4", "PollingInput|4"}},
    {{0, 3}, 1, {"Polling|4", "OutputPortControl|4"}},
    {{2, 4}, 4, {"Di%1State|4", "Di%1Counter|4"}},
    {kAnalog,
     4,
     {"AI%1|4", "AI%1Name|1", "AI%1Unit|1", "AI%1Min|1", "AI%1Max|1", "AI%1FgColor|4",
      "AI%1BgColor|4"}},
    {kAnalog, 3, {"AIHeader%1Width|4"}},
    {kAll,
     1,
     {"RootID|4", "Index|4", "LastPosXMin|4", "LastPosYMin|4", "LastPosCXMin|4", "LastPosCYMin|4"}},
    {kPorts, 8, {"DiComment%1|1", "DoComment%1|1"}},
    {kPorts, 1, {"UseWarningMsg|4", "WarningMsgType|4", "MsgAllOn|1", "MsgAllOff|1"}},
    {kAll,
     1,
     {"UseLog|4", "UseEmailNotification|4", "MailTo|1", "MailAccountID|4", "MailSubject|1",
      "MailContent|1"}},
    {kPorts,
     8,
     {"OnDi%1SoundId|4", "OffDi%1SoundId|4", "DoMsgOn%1On|1", "DoMsgOn%1Off|1",
      "UseWarningMsgDo%1|4", "UsePulseDo%1|4", "DurationDo%1|4", "SignalLevelDo%1|4",
      "UseInput%1EmailNotification|4", "UseOutput%1EmailNotification|4", "UseMControlDo%1|1"}},
};

QString expectedRows(int type) {
    QString rows;
    for (const Run& run : kKeyLayout) {
        if (!run.types.empty() &&
            std::find(run.types.begin(), run.types.end(), type) == run.types.end()) {
            continue;
        }
        for (int n = 0; n < run.count; ++n) {
            for (const char* row : run.rows) {
                rows += (run.count > 1 ? QString::fromLatin1(row).arg(n) : row) + '\n';
            }
        }
    }
    return rows;
}

TEST(ControllerKeys, StoredRowsFollowTheWriteOrderOfTheFamily) {
    for (int type : {0, 1, 2, 3, 4, 5, 9}) {
        test::TempStore t;
        ASSERT_TRUE(saveController(*t.store, busyRecord(type, true)));
        const QString rows = test::runSqlite(
            t.path, QStringLiteral("SELECT name || '|' || type FROM vals WHERE key = 'ID_%1' "
                                   "ORDER BY rowid;\n")
                        .arg(300 + type));
        EXPECT_EQ(rows, expectedRows(type)) << "type " << type;
    }
}

TEST(ControllerKeys, AnOlderStoreWithOnePortCountLoadsBothDirections) {
    test::TempStore t;
    test::runSqlite(t.path, "INSERT INTO keys(name) VALUES ('ID_7'), ('ID_8');\n"
                            "INSERT INTO vals(key, name, type, data) VALUES "
                            "('ID_7', 'DeviceId', 4, 7), ('ID_7', 'DeviceType', 4, 0), "
                            "('ID_7', 'NumberOfPort', 4, 4), ('ID_7', 'UnitId', 4, 3), "
                            "('ID_8', 'DeviceId', 4, 8), ('ID_8', 'DeviceType', 4, 2), "
                            "('ID_8', 'NumberOfPort', 4, 4), ('ID_8', 'UnitId', 4, 3);\n");
    KeyValues generic, counters;
    ASSERT_TRUE(t.store->readKey("ID_7", generic));
    ASSERT_TRUE(t.store->readKey("ID_8", counters));
    const CQUORVISData tka = readController(generic), rlx = readController(counters);
    EXPECT_EQ(tka.DeviceId, 7);
    EXPECT_EQ(tka.NumberOfPortInput, 4);
    EXPECT_EQ(tka.NumberOfPortOutput, 4);
    EXPECT_EQ(tka.UnitId, 3);
    EXPECT_EQ(rlx.NumberOfPortInput, 4);
    EXPECT_EQ(rlx.NumberOfPortOutput, 4);
    EXPECT_EQ(rlx.UnitId, 255);
    // Saved again, the record carries the two counts; the old value name is never written.
    const std::vector<StoreValue> saved = controllerValues(tka);
    EXPECT_TRUE(std::none_of(saved.begin(), saved.end(), [](const StoreValue& v) {
        return v.name.compare("NumberOfPort", Qt::CaseInsensitive) == 0;
    }));
}

TEST(ControllerKeys, OnlyTheFamilysValuesAreWritten) {
    struct Case {
        int type;
        int count;
    };
    // 29 shared values, 3 port counts/base, 2 output polling, 8 counter flags, 31 analog,
    // 20 names and warnings, 88 per-port values.
    const Case cases[] = {{0, 29 + 3 + 2 + 20 + 88},
                          {1, 29 + 31},
                          {2, 29 + 3 + 8 + 20 + 88},
                          {3, 29 + 3 + 2 + 20 + 88},
                          {4, 29 + 3 + 8 + 31 + 20 + 88},
                          {5, 29 + 31},
                          {9, 29}};
    for (const Case& c : cases) {
        CQUORVISData r;
        r.DeviceType = c.type;
        EXPECT_EQ(int(controllerValues(r).size()), c.count) << "type " << c.type;
    }
}

KeyValues values(std::initializer_list<StoreValue> list) {
    KeyValues v;
    for (const StoreValue& s : list)
        v.add(s);
    return v;
}

StoreValue dw(const char* name, int32_t value) {
    return StoreValue::dwordValue(name, value);
}

TEST(ControllerKeys, OlderSingleportCountFillsBothDirections) {
    const CQUORVISData old = readController(values({dw("DeviceType", 0), dw("NumberOfPort", 4)}));
    EXPECT_EQ(old.NumberOfPortInput, 4);
    EXPECT_EQ(old.NumberOfPortOutput, 4);
    const CQUORVISData half =
        readController(values({dw("NumberOfPort", 4), dw("NumberOfPortInput", 2)}));
    EXPECT_EQ(half.NumberOfPortInput, 2);
    EXPECT_EQ(half.NumberOfPortOutput, 2);
    const CQUORVISData none = readController(values({}));
    EXPECT_EQ(none.NumberOfPortInput, 0);
    EXPECT_EQ(none.NumberOfPortOutput, 0);
}

TEST(ControllerKeys, LoadRulesPerFamily) {
    struct Case {
        int type;
        int unitId;
        int polling;
    };
    // UnitId stored as 1 and Polling stored as 1 for every family.
    const Case cases[] = {{0, 1, 1},   {1, 255, 0}, {2, 255, 1},
                          {3, 255, 1}, {4, 255, 0}, {5, 255, 0}};
    for (const Case& c : cases) {
        const CQUORVISData r =
            readController(values({dw("DeviceType", c.type), dw("UnitId", 1), dw("Polling", 1)}));
        EXPECT_EQ(r.UnitId, c.unitId) << "type " << c.type;
        EXPECT_EQ(r.Polling, c.polling) << "type " << c.type;
    }
}

TEST(ControllerKeys, MissingValuesTakeTheLoadDefaults) {
    const CQUORVISData analog = readController(values({dw("DeviceType", 1)}));
    EXPECT_EQ(analog.AIUnit[0], "V");
    EXPECT_EQ(analog.AIMin[0], "0");
    EXPECT_EQ(analog.AIMax[0], "5");
    EXPECT_EQ(analog.AIName[2], "AI2");
    EXPECT_EQ(analog.AIBgColor[1], 0x009F5B00u);
    EXPECT_EQ(analog.AutomaticConnection, 0); // created 1, loaded 0
    EXPECT_EQ(analog.PollingInput, 1);
    EXPECT_EQ(analog.DiComment[0], "DI0"); // not an RLX-810 field: keeps its created value
    const CQUORVISData digital = readController(values({dw("DeviceType", 0)}));
    EXPECT_EQ(digital.DiComment[0], ""); // a digital family's missing name is empty
    EXPECT_EQ(digital.Polling, 1);
    const CQUORVISData counters = readController(values({dw("DeviceType", 2)}));
    EXPECT_EQ(counters.DiState[3], 1);
    EXPECT_EQ(counters.DiCounter[0], 1);
}

TEST(ControllerKeys, NamesAreMatchedWithoutRegardToCaseAndHostIsCut) {
    const CQUORVISData r =
        readController(values({dw("deviceid", 9), dw("DEVICETYPE", 0),
                               StoreValue::textValue("hostaddr", QString(300, 'a')),
                               StoreValue::textValue("dicomment3", "door"), dw("usepulsedo2", 1)}));
    EXPECT_EQ(r.DeviceId, 9);
    EXPECT_EQ(r.HostAddr.size(), 127);
    EXPECT_EQ(r.DiComment[3], "door");
    EXPECT_EQ(r.UsePulseDo[2], 1);
}

} // namespace
} // namespace iomira
