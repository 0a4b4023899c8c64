// The manual page's and the modify dialog's checks, and the gathering of new controllers
// before they are added.
#include "common/test_support.h"

#include "app/add_gathering.h"
#include "app/controller_form.h"
#include "core/controller_table.h"
#include "core/device_family.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "tkb11lib/tkb11lib.h"

#include <gtest/gtest.h>

#include <memory>

namespace iomira {
namespace {

int productNamed(const char* name) {
    const auto products = productChoices();
    for (std::size_t i = 0; i < products.size(); ++i)
        if (QLatin1String(products[i].name) == QLatin1String(name)) return static_cast<int>(i);
    return -1;
}

ControllerForm validForm(const char* product = "TKA-35") {
    ControllerForm form = manualFormDefaults(4);
    form.product = productNamed(product);
    form.description = QStringLiteral("  Boiler  ");
    return form;
}

TEST(ManualForm, ChecksInTheOrderTheOperatorSeesThem) {
    struct Case {
        const char* what;
        std::function<void(ControllerForm&)> spoil;
        int text;
    };
    const Case cases[] = {
        {"no product",
         [](ControllerForm& f) {
             f.product = -1;
             f.rootId = -1;
         },
         TEXT_SELECT_PRODUCT},
        {"no group",
         [](ControllerForm& f) {
             f.rootId = -1;
             f.description.clear();
         },
         TEXT_SELECT_GROUP_FIRST},
        {"blank description",
         [](ControllerForm& f) {
             f.description = "   ";
             f.address.clear();
         },
         TEXT_ENTER_DESCRIPTION},
        {"client without address",
         [](ControllerForm& f) {
             f.address = " ";
             f.port = "0";
         },
         TEXT_ENTER_ADDRESS},
        {"port 0", [](ControllerForm& f) { f.port = "0"; }, TEXT_ENTER_PORT},
        {"port above 65535", [](ControllerForm& f) { f.port = "65536"; }, TEXT_ENTER_PORT},
        {"port not a number", [](ControllerForm& f) { f.port = "50x"; }, TEXT_ENTER_PORT},
    };
    for (const Case& c : cases) {
        ControllerForm form = validForm();
        c.spoil(form);
        EXPECT_EQ(manualFormError(form), loadString(c.text)) << c.what;
    }
    EXPECT_TRUE(manualFormError(validForm()).isEmpty());
}

TEST(ManualForm, ServerNeedsNoAddressAndKeepsNone) {
    ControllerForm form = validForm();
    form.server = true;
    form.address.clear();
    ASSERT_TRUE(manualFormError(form).isEmpty());
    CQUORVISData record;
    record.HostAddr = QStringLiteral("left over");
    applyManualForm(record, form);
    EXPECT_EQ(record.IsServer, 1);
    EXPECT_TRUE(record.HostAddr.isEmpty());
}

TEST(ManualForm, RecordTakesTheProductsFixedValues) {
    struct Case {
        const char* product;
        int type, inputs, outputs, unitId, outputAddr;
    };
    const Case cases[] = {
        {"TKA-31 / TKA-21", FAMILY_GENERIC, 8, 8, 9, 8},
        {"TKB-11", FAMILY_GENERIC, 1, 1, 9, 8},
        {"RLX-820", FAMILY_RLX820, 4, 0, kRlxUnitId, 240},
        {"RLX-810", FAMILY_RLX810, 0, 0, kRlxUnitId, 77}, // output base left as it was
        {"RLX-850", FAMILY_RLX850, 4, 4, kRlxUnitId, 8},
    };
    for (const Case& c : cases) {
        ControllerForm form = validForm(c.product);
        form.unitId = "9";
        form.inputAddr = "3";
        form.address = "  plc-7.local ";
        CQUORVISData record;
        record.OutputAddr = 77;
        applyManualForm(record, form);
        EXPECT_EQ(record.DeviceType, c.type) << c.product;
        EXPECT_EQ(record.NumberOfPortInput, c.inputs) << c.product;
        EXPECT_EQ(record.NumberOfPortOutput, c.outputs) << c.product;
        EXPECT_EQ(record.UnitId, c.unitId) << c.product;
        EXPECT_EQ(record.OutputAddr, c.outputAddr) << c.product;
        EXPECT_EQ(record.InputAddr, 3) << c.product;
        EXPECT_EQ(record.HostPort, 502) << c.product;
        EXPECT_EQ(record.HostAddr, "plc-7.local") << c.product;
        EXPECT_EQ(record.DeviceComment, "Boiler") << c.product;
        EXPECT_EQ(record.RootID, 4) << c.product;
        EXPECT_EQ(record.DiComment[5], "DI5") << c.product;
        EXPECT_EQ(record.DoComment[7], "DO7") << c.product;
    }
}

TEST(ManualForm, HostAddressIsCutTo127Characters) {
    ControllerForm form = validForm();
    form.address = QString(300, QLatin1Char('h'));
    CQUORVISData record;
    applyManualForm(record, form);
    EXPECT_EQ(record.HostAddr.size(), kHostAddrMaxLength);
}

TEST(ModifyForm, RegisteredControllerFillsTheFormAndKnowsWhenItsPortsChange) {
    CQUORVISData record;
    applyProductChoice(record, productChoices()[productNamed("TKA-35")]);
    record.RootID = 2;
    record.HostAddr = "10.0.0.5";
    record.HostPort = 502;
    record.DeviceComment = "Tank";
    record.ViewMode = 1;
    ControllerForm form = formOf(record);
    EXPECT_EQ(form.product, productNamed("TKA-35"));
    EXPECT_TRUE(modifyFormError(form).isEmpty());

    CQUORVISData same = record;
    EXPECT_FALSE(applyModifyForm(same, form));
    EXPECT_EQ(same.ViewMode, 0);

    form.product = productNamed("TKA-31 / TKA-21");
    form.rootId = 5;
    CQUORVISData wider = record;
    EXPECT_TRUE(applyModifyForm(wider, form));
    EXPECT_EQ(wider.NumberOfPortInput, 8);
    EXPECT_EQ(wider.RootID, 5);

    form.description = " ";
    EXPECT_EQ(modifyFormError(form), loadString(TEXT_ENTER_DESCRIPTION));
}

TEST(ModifyForm, ProductListEntryFollowsFamilyAndPortCounts) {
    CQUORVISData record;
    record.NumberOfPortInput = 2;
    record.NumberOfPortOutput = 1;
    EXPECT_EQ(productIndexOf(record), productNamed("TKA-33"));
    record.NumberOfPortInput = 6;
    EXPECT_EQ(productIndexOf(record), -1);
    record.DeviceType = FAMILY_RLX840;
    EXPECT_EQ(productIndexOf(record), productNamed("RLX-840"));
    record.DeviceType = FAMILY_RLX830;
    EXPECT_EQ(formOf(record).product, productNamed("RLX-830"));
}

// The controllers already registered, each a TCP server on its own port.
struct Registered {
    ControllerTable table;
    void add(int id, int rootId, int isServer, int port) {
        auto c = std::make_unique<CQUORVISData>();
        c->DeviceId = id;
        c->RootID = rootId;
        c->Index = table.CountInGroup(rootId);
        c->IsServer = isServer;
        c->HostPort = port;
        table.insert(std::move(c));
    }
};

std::vector<tkb11_record> servers(std::initializer_list<uint16_t> ports) {
    std::vector<tkb11_record> records;
    uint8_t n = 0;
    for (uint16_t port : ports) {
        tkb11_record r{};
        r.mode = 2;
        r.server_port = port;
        r.mac[5] = ++n;
        records.push_back(r);
    }
    return records;
}

TEST(Gathering, SecondServerOnTheSamePortIsTurnedAway) {
    Registered registered;
    registered.add(1, 0, 1, 6000);
    const std::vector<tkb11_record> found = servers({5020, 5020, 6000, 5021});
    std::vector<FoundRow> rows;
    for (int i = 0; i < 4; ++i)
        rows.push_back({"TKB-11", QStringLiteral("row %1").arg(i), FoundSource::Tkb11Lib, i});
    const Gathering g = gatherFoundRows(rows, {nullptr, &found}, 3, registered.table);
    ASSERT_EQ(g.accepted.size(), 2u);
    EXPECT_EQ(g.accepted[0].HostPort, 5020);
    EXPECT_EQ(g.accepted[0].DeviceId, -1);
    EXPECT_EQ(g.accepted[1].HostPort, 5021);
    EXPECT_EQ(g.accepted[1].DeviceId, -2);
    EXPECT_EQ(g.accepted[1].Index, 1);
    EXPECT_EQ(g.accepted[1].RootID, 3);
    EXPECT_EQ(g.rejected, QStringList({"row 1", "row 2"}));
    EXPECT_EQ(rejectedQuestion(g.rejected, true),
              "row 1\nrow 2\n\n" + loadString(TEXT_ALREADY_REGISTERED));
}

TEST(Gathering, ManualRecordIsCheckedAgainstTheRegisteredOnly) {
    Registered registered;
    registered.add(1, 0, 1, 502);
    CQUORVISData record;
    record.IsServer = 1;
    record.HostPort = 502;
    record.DeviceComment = "Dock";
    const Gathering refused = gatherManualRecord(record, registered.table);
    EXPECT_TRUE(refused.accepted.empty());
    EXPECT_EQ(rejectedQuestion(refused.rejected, false),
              "Dock\n" + loadString(TEXT_ALREADY_REGISTERED));
    record.IsServer = 0; // a client may share its port with anything
    const Gathering taken = gatherManualRecord(record, registered.table);
    ASSERT_EQ(taken.accepted.size(), 1u);
    EXPECT_EQ(taken.accepted[0].DeviceId, 1);
}

TEST(Gathering, GroupTakesAtMostThirty) {
    Registered registered;
    for (int i = 0; i < 26; ++i)
        registered.add(i + 1, 7, 0, 502);
    EXPECT_TRUE(exceedsGroup(registered.table, 7, 5));
    EXPECT_FALSE(exceedsGroup(registered.table, 7, 4));
    EXPECT_FALSE(exceedsGroup(registered.table, 8, 30));
}

TEST(Gathering, RowWithoutRecordStopsTheWholeAdd) {
    Registered registered;
    const std::vector<tkb11_record> found = servers({5020});
    const std::vector<FoundRow> rows = {{"TKB-11", "a", FoundSource::Tkb11Lib, 0},
                                        {"TKB-11", "b", FoundSource::Tkb11Lib, 5}};
    const Gathering g = gatherFoundRows(rows, {nullptr, &found}, 0, registered.table);
    EXPECT_TRUE(g.buildFailed);
    EXPECT_TRUE(g.accepted.empty());
}

} // namespace
} // namespace iomira
