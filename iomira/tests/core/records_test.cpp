#include "common/test_support.h"
#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace iomira {
namespace {

TEST(ControllerRecord, CreatedRecordHoldsTheDefaults) {
    const CQUORVISData r;
    EXPECT_EQ(r.AIName[0], "AI0");
    EXPECT_EQ(r.AIName[3], "AI3");
    EXPECT_EQ(r.AIUnit[2], "V");
    EXPECT_EQ(r.AIMin[1], "0");
    EXPECT_EQ(r.AIMax[1], "5");
    EXPECT_EQ(r.AIBgColor[0], 0x009F5B00u);
    EXPECT_EQ(r.AIFgColor[3], 0x00383226u);
    EXPECT_EQ(r.AI[2], 1);
    EXPECT_EQ(r.DiComment[7], "DI7");
    EXPECT_EQ(r.DoComment[0], "DO0");
    EXPECT_EQ(r.DiState[3], 1);
    EXPECT_EQ(r.DiCounter[0], 1);
    EXPECT_EQ(r.AutomaticConnection, 1);
    EXPECT_EQ(r.Polling, 1);
    EXPECT_EQ(r.PollingInput, 1);
    EXPECT_EQ(r.UnitId, 0);
    EXPECT_TRUE(r.HostAddr.isEmpty());
    EXPECT_EQ(r.AIHeaderWidth[3], 0);
    EXPECT_EQ(r.LastFailureTime, 0);
}

CQUORVISData placedAndRunning() {
    CQUORVISData r;
    r.LastPosX = 10;
    r.LastPosCY = 300;
    r.LastOpened = 1;
    r.Minimized = 1;
    r.LastPosXMin = 4;
    r.InputsValid = 1;
    r.InputImage[2] = 1;
    r.ReconnectWanted = 1;
    r.LastFailureTime = 99;
    return r;
}

TEST(ControllerRecord, CopyTakesConfigurationButKeepsPlacementAndRuntime) {
    CQUORVISData source = placedAndRunning();
    source.DeviceComment = "Pump house";
    source.DoComment[1] = "Valve";
    source.OnDiSoundId[3] = 77;
    source.DurationDo[2] = 1500;
    CQUORVISData destination;
    destination.LastPosX = 55;
    CQUORVISData::Copy(destination, source);
    EXPECT_EQ(destination.DeviceComment, "Pump house");
    EXPECT_EQ(destination.DoComment[1], "Valve");
    EXPECT_EQ(destination.OnDiSoundId[3], 77);
    EXPECT_EQ(destination.DurationDo[2], 1500);
    EXPECT_EQ(destination.LastPosX, 55);
    EXPECT_EQ(destination.LastPosCY, 0);
    EXPECT_EQ(destination.LastOpened, 0);
    EXPECT_EQ(destination.InputImage[2], 0);
    EXPECT_EQ(destination.ReconnectWanted, 0);
    EXPECT_EQ(destination.LastFailureTime, 0);
}

TEST(ControllerRecord, EqualsComparesConfigurationOnly) {
    const CQUORVISData plain;
    EXPECT_TRUE(CQUORVISData::Equals(plain, placedAndRunning()));
    CQUORVISData changed;
    changed.UseMControlDo[7] = "x";
    EXPECT_FALSE(CQUORVISData::Equals(plain, changed));
    changed = CQUORVISData();
    changed.AIFgColor[1] = 1;
    EXPECT_FALSE(CQUORVISData::Equals(plain, changed));
}

TEST(ControllerRecord, HostAddressKeepsAtMost127Characters) {
    CQUORVISData a, b;
    a.setHostAddr(QString(200, 'h'));
    EXPECT_EQ(a.HostAddr.size(), 127);
    b.HostAddr = QString(127, 'h') + "tail beyond the field";
    EXPECT_TRUE(CQUORVISData::Equals(a, b));

    // 126 units, then a character of two units that would only half fit: it is left out whole.
    const QString fire = QString::fromUtf8("\xf0\x9f\x94\xa5");
    a.setHostAddr(QString(126, 'h') + fire + "tail");
    EXPECT_EQ(a.HostAddr, QString(126, 'h'));
    a.setHostAddr(QString(125, 'h') + fire + "tail");
    EXPECT_EQ(a.HostAddr, QString(125, 'h') + fire);
}

struct ModelCase {
    int type, inputs, outputs;
    const char* text;
};

TEST(ModelFamilies, ModelTextFollowsFamilyAndPortCounts) {
    const ModelCase cases[] = {
        {0, 8, 8, "TKA-31 / TKA-21"}, {0, 1, 1, "TKB-11"},  {0, 2, 1, "TKA-33"},
        {0, 4, 4, "TKA-35"},          {0, 3, 3, ""},        {0, 1, 2, ""},
        {1, 0, 0, "RLX-810"},         {2, 4, 0, "RLX-820"}, {3, 0, 2, "RLX-830"},
        {4, 4, 4, "RLX-850"},         {5, 0, 0, "RLX-840"}, {6, 0, 0, "UNKNOWN"},
        {-1, 8, 8, "UNKNOWN"},
    };
    for (const ModelCase& c : cases) {
        EXPECT_EQ(modelText(c.type, c.inputs, c.outputs), QString::fromLatin1(c.text))
            << c.type << " " << c.inputs << "/" << c.outputs;
    }
}

TEST(ModelFamilies, ProductChoicesSetCountsAndFixedValues) {
    const auto products = productChoices();
    ASSERT_EQ(products.size(), 9u);
    QStringList names;
    for (const ProductChoice& p : products)
        names << QString::fromLatin1(p.name);
    EXPECT_EQ(names.join(','), "TKA-31 / TKA-21,TKA-35,TKA-33,TKB-11,RLX-810,RLX-820,RLX-830,"
                               "RLX-850,RLX-840");
    for (const ProductChoice& p : products) {
        CQUORVISData r;
        r.UnitId = 1;
        applyProductChoice(r, p);
        EXPECT_EQ(r.NumberOfPortInput, p.inputs);
        EXPECT_EQ(r.NumberOfPortOutput, p.outputs);
        EXPECT_EQ(r.UnitId, p.deviceType == 0 ? 1 : 255) << p.name;
        EXPECT_EQ(r.OutputAddr, p.deviceType == FAMILY_RLX820 ? 240 : 0) << p.name;
        EXPECT_EQ(r.ViewMode, p.deviceType == FAMILY_RLX830 ? 2 : 0) << p.name;
        // Every hand-registered product names itself again from its counts.
        EXPECT_EQ(modelText(r), QString::fromLatin1(p.name));
    }
}

TEST(ModelFamilies, TemperatureChannelUsesTheCurrentLanguage) {
    setLanguage(LANG_KOREAN);
    CQUORVISData r;
    applyTemperatureChannel(r);
    setLanguage(LANG_ENGLISH);
    EXPECT_EQ(r.AIName[0], loadString(443, LANG_KOREAN));
    EXPECT_EQ(r.AIMin[0], "-40");
    EXPECT_EQ(r.AIMax[0], "85");
    EXPECT_EQ(r.AIName[1], "AI1");
}

} // namespace
} // namespace iomira
