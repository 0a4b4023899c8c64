#include "core/controller_keys.h"
#include "core/device_family.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

// A record of the given family with a non-default value in every field the family stores.
CQUORVISData busyRecord(int type) {
    CQUORVISData r;
    r.DeviceId = 300 + type;
    r.DeviceType = type;
    r.DeviceComment = QString::fromUtf8("Kessel 3 – 温度");
    r.setHostAddr("plc.example.test");
    r.HostPort = 5020;
    r.UnitId = type == 0 ? 17 : 255;
    r.IsServer = 2;
    r.InputAddr = 100;
    r.LastPosX = 1, r.LastPosY = 2, r.LastPosCX = 300, r.LastPosCY = 400;
    r.LastOpened = 1, r.Minimized = 1, r.AutomaticConnection = 0, r.PollingInput = 0;
    r.RootID = 3999, r.Index = 29;
    r.LastPosXMin = 5, r.LastPosYMin = 6, r.LastPosCXMin = 7, r.LastPosCYMin = 8;
    r.UseLog = 1, r.UseEmailNotification = 1, r.MailAccountID = 12;
    r.MailTo = "ops@example.test", r.MailSubject = "%d %p", r.MailContent = "%s at %t";
    if (usesDigitalPorts(type)) {
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
    if (usesOutputPolling(type)) r.Polling = 0, r.OutputPortControl = 1;
    if (type == 1 || type == 4 || type == 5) r.Polling = 0;
    if (usesCounterFlags(type)) r.DiState = {0, 1, 0, 1}, r.DiCounter = {1, 0, 0, 0};
    if (usesAnalog(type)) {
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

TEST(ControllerKeys, OnlyTheFamilysValuesAreWritten) {
    struct Case {
        int type;
        int count;
    };
    // 29 shared values, 3 port counts/base, 2 output polling, 8 counter flags, 31 analog,
    // 20 names and warnings, 88 per-port values.
    const Case cases[] = {{0, 29 + 3 + 2 + 20 + 88}, {1, 29 + 31}, {2, 29 + 3 + 8 + 20 + 88},
                          {3, 29 + 3 + 2 + 20 + 88}, {4, 29 + 3 + 8 + 31 + 20 + 88}, {5, 29 + 31},
                          {9, 29}};
    for (const Case& c : cases) {
        CQUORVISData r;
        r.DeviceType = c.type;
        EXPECT_EQ(int(controllerValues(r).size()), c.count) << "type " << c.type;
    }
}

KeyValues values(std::initializer_list<StoreValue> list) {
    KeyValues v;
    for (const StoreValue& s : list) v.add(s);
    return v;
}

StoreValue dw(const char* name, int32_t value) { return StoreValue::dwordValue(name, value); }

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
    const Case cases[] = {{0, 1, 1}, {1, 255, 0}, {2, 255, 1}, {3, 255, 1}, {4, 255, 0},
                          {5, 255, 0}};
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
    const CQUORVISData r = readController(values(
        {dw("deviceid", 9), dw("DEVICETYPE", 0), StoreValue::textValue("hostaddr", QString(300, 'a')),
         StoreValue::textValue("dicomment3", "door"), dw("usepulsedo2", 1)}));
    EXPECT_EQ(r.DeviceId, 9);
    EXPECT_EQ(r.HostAddr.size(), 127);
    EXPECT_EQ(r.DiComment[3], "door");
    EXPECT_EQ(r.UsePulseDo[2], 1);
}

} // namespace
} // namespace iomira
