// Tree texts, icons, in-place edit checks, context menus, error texts and product pages:
// the device list's rules without any window.

#include "common/test_support.h"

#include "app/context_menu_rules.h"
#include "app/product_pages.h"
#include "app/tree_edit_rules.h"
#include "app/tree_texts.h"
#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "corvel/corvel.h"
#include "monitor/error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <netdb.h>

namespace iomira {
namespace {

CQUORVISData controller(int type, int inputs, int outputs) {
    CQUORVISData c;
    c.DeviceType = type;
    c.NumberOfPortInput = inputs;
    c.NumberOfPortOutput = outputs;
    c.HostAddr = QStringLiteral("10.1.0.7");
    c.HostPort = 502;
    c.UnitId = 3;
    c.InputAddr = 16;
    c.OutputAddr = 32;
    return c;
}

std::vector<int> kinds(const CQUORVISData& c) {
    std::vector<int> out;
    for (const InfoLine& line : infoLines(c))
        out.push_back(line.kind);
    return out;
}

TEST(InfoLines, EachFamilyShowsItsLinesInKindOrder) {
    struct Case {
        int type, inputs, outputs, isServer;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {FAMILY_GENERIC, 8, 8, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {FAMILY_GENERIC, 8, 8, 1, {1, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {FAMILY_RLX810, 0, 0, 0, {1, 2, 3, 4, 8}},
        {FAMILY_RLX820, 4, 0, 0, {1, 2, 3, 4, 8, 11}},
        {FAMILY_RLX830, 0, 2, 2, {1, 3, 4, 8, 9, 10}},
        {FAMILY_RLX850, 4, 4, 0, {1, 2, 3, 4, 8, 9, 10, 11}},
        {FAMILY_RLX840, 0, 0, 0, {1, 2, 3, 4, 8}},
    };
    for (const Case& k : cases) {
        CQUORVISData c = controller(k.type, k.inputs, k.outputs);
        c.IsServer = k.isServer;
        EXPECT_EQ(kinds(c), k.expected) << "type " << k.type << " server " << k.isServer;
    }
}

TEST(InfoLines, TextsCarryLabelSeparatorAndValue) {
    setLanguage(LANG_ENGLISH);
    CQUORVISData c = controller(FAMILY_GENERIC, 8, 8);
    c.AutomaticConnection = 1;
    c.OutputPortControl = 0;
    const std::vector<InfoLine> lines = infoLines(c);
    const QStringList expected{"TCP Client",
                               "Host IP Address or Name : 10.1.0.7",
                               "Host Port : 502",
                               "Product : TKA-31 / TKA-21",
                               "Unit ID : 3",
                               "Input Port Base Address : 16",
                               "Output Port Base Address : 32",
                               "Automatic Connection : ON",
                               "Prohibit controlling output port : OFF",
                               "Polling output ports : ON",
                               "Polling input ports : ON"};
    ASSERT_EQ(lines.size(), size_t(expected.size()));
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].text, expected[int(i)]);
}

TEST(InfoLines, ProductLineForOddCountsAndUnknownFamilies) {
    setLanguage(LANG_ENGLISH);
    EXPECT_EQ(infoLineText(controller(FAMILY_GENERIC, 3, 3), INFO_PRODUCT), "Product");
    EXPECT_EQ(infoLineText(controller(9, 0, 0), INFO_PRODUCT), "Product : UNKNOWN");
    CQUORVISData v6 = controller(FAMILY_RLX850, 4, 4);
    v6.IsServer = 2;
    EXPECT_EQ(infoLineText(v6, INFO_MODE), "TCP Server (IPv6)");
}

TEST(InfoLines, FollowTheLanguage) {
    setLanguage(LANG_KOREAN);
    const QString korean = infoLineText(controller(FAMILY_GENERIC, 8, 8), INFO_PORT);
    setLanguage(LANG_ENGLISH);
    EXPECT_TRUE(korean.startsWith(loadString(110, LANG_KOREAN) + " : "));
    EXPECT_NE(korean, infoLineText(controller(FAMILY_GENERIC, 8, 8), INFO_PORT));
}

TEST(ControllerIcons, FollowStateAutomaticConnectionAndNotifiedError) {
    struct Case {
        int state, automatic;
        bool error;
        int icon;
    };
    const Case cases[] = {
        {TCP_CLOSED, 0, false, ICON_CLOSED_MANUAL},  {TCP_CLOSED, 1, false, ICON_CLOSED_AUTOMATIC},
        {TCP_LISTEN, 1, false, ICON_CONNECTING},     {TCP_CONNECTING, 0, false, ICON_CONNECTING},
        {TCP_ESTABLISHED, 1, false, ICON_CONNECTED}, {TCP_ERROR, 1, false, ICON_ERROR},
        {TCP_CLOSED, 1, true, ICON_ERROR},           {TCP_ESTABLISHED, 0, true, ICON_ERROR},
    };
    for (const Case& k : cases)
        EXPECT_EQ(controllerIcon(k.state, k.automatic, k.error), k.icon) << k.state << k.automatic;
    // A silent controller shows it while connected; once the link is gone its state rules.
    EXPECT_EQ(controllerIcon(TCP_ESTABLISHED, 1, false, true), ICON_NOT_RESPONDING);
    EXPECT_EQ(controllerIcon(TCP_ERROR, 1, false, true), ICON_ERROR);
    EXPECT_EQ(controllerIcon(TCP_CLOSED, 1, false, true), ICON_CLOSED_AUTOMATIC);
    EXPECT_EQ(controllerIcon(TCP_ESTABLISHED, 1, true, true), ICON_ERROR);
}

TEST(InfoEdits, NumbersAreCheckedAndStored) {
    setLanguage(LANG_ENGLISH);
    struct Case {
        int kind;
        const char* text;
        bool accepted;
        int CQUORVISData::*field;
        int stored;
    };
    const Case cases[] = {
        {INFO_PORT, "5020", true, &CQUORVISData::HostPort, 5020},
        {INFO_PORT, "65535", true, &CQUORVISData::HostPort, 65535},
        {INFO_PORT, "65536", false, &CQUORVISData::HostPort, 502},
        {INFO_PORT, "99999999999999", false, &CQUORVISData::HostPort, 502},
        {INFO_PORT, "", false, &CQUORVISData::HostPort, 502},
        {INFO_PORT, "12a", false, &CQUORVISData::HostPort, 502},
        {INFO_UNIT_ID, "255", true, &CQUORVISData::UnitId, 255},
        {INFO_UNIT_ID, "256", false, &CQUORVISData::UnitId, 3},
        {INFO_INPUT_ADDR, "0", true, &CQUORVISData::InputAddr, 0},
        {INFO_OUTPUT_ADDR, "4096", true, &CQUORVISData::OutputAddr, 4096},
    };
    for (const Case& k : cases) {
        CQUORVISData c = controller(FAMILY_GENERIC, 8, 8);
        const EditOutcome outcome = applyInfoEdit(c, k.kind, QString::fromLatin1(k.text));
        EXPECT_EQ(outcome.accepted, k.accepted) << k.text;
        EXPECT_EQ(c.*k.field, k.stored) << k.text;
        if (!k.accepted) {
            EXPECT_TRUE(outcome.error.startsWith("Please enter a number from 0 to"));
        }
    }
}

TEST(InfoEdits, HostIsTrimmedAndNeverEmpty) {
    CQUORVISData c = controller(FAMILY_GENERIC, 8, 8);
    EXPECT_TRUE(applyInfoEdit(c, INFO_HOST, "  plc-7.local \t").accepted);
    EXPECT_EQ(c.HostAddr, "plc-7.local");
    EXPECT_EQ(infoLineText(c, INFO_HOST), "Host IP Address or Name : plc-7.local");
    EXPECT_FALSE(applyInfoEdit(c, INFO_HOST, "   ").accepted);
    EXPECT_EQ(c.HostAddr, "plc-7.local");
    EXPECT_TRUE(applyInfoEdit(c, INFO_HOST, QString(300, 'h')).accepted);
    EXPECT_EQ(c.HostAddr.size(), kHostAddrMaxLength);
}

TEST(InfoEdits, UnitIdOfAnRlxControllerStaysFixed) {
    CQUORVISData c = controller(FAMILY_RLX850, 4, 4);
    c.UnitId = kRlxUnitId;
    EXPECT_TRUE(applyInfoEdit(c, INFO_UNIT_ID, "7").accepted);
    EXPECT_EQ(c.UnitId, kRlxUnitId);
}

TEST(InfoEdits, ModeChoiceAddsOrRemovesTheHostLine) {
    setLanguage(LANG_ENGLISH);
    CQUORVISData c = controller(FAMILY_GENERIC, 8, 8);
    EXPECT_EQ(currentChoice(c, INFO_MODE), 1);
    EditOutcome toServer = applyInfoEdit(c, INFO_MODE, "TCP Server");
    EXPECT_TRUE(toServer.hostLineRemoved);
    EXPECT_EQ(c.IsServer, 1);
    EXPECT_FALSE(applyInfoEdit(c, INFO_MODE, "TCP Server").hostLineRemoved);
    EditOutcome toClient = applyInfoEdit(c, INFO_MODE, "TCP Client");
    EXPECT_TRUE(toClient.hostLineAdded);
    EXPECT_EQ(c.IsServer, 0);
}

TEST(InfoEdits, SwitchChoicesSetTheirFields) {
    setLanguage(LANG_ENGLISH);
    const std::pair<int, int CQUORVISData::*> switches[] = {
        {INFO_AUTO_CONNECT, &CQUORVISData::AutomaticConnection},
        {INFO_PROHIBIT_OUTPUT, &CQUORVISData::OutputPortControl},
        {INFO_POLL_OUTPUTS, &CQUORVISData::Polling},
        {INFO_POLL_INPUTS, &CQUORVISData::PollingInput}};
    for (const auto& [kind, field] : switches) {
        CQUORVISData c = controller(FAMILY_GENERIC, 8, 8);
        EXPECT_EQ(infoChoices(kind), (QStringList{"ON", "OFF"}));
        applyInfoEdit(c, kind, "OFF");
        EXPECT_EQ(c.*field, 0) << kind;
        EXPECT_EQ(currentChoice(c, kind), 1);
        applyInfoEdit(c, kind, "ON");
        EXPECT_EQ(c.*field, 1) << kind;
    }
}

TEST(InfoEdits, WhichLinesNeedAClosedConnection) {
    for (int kind = INFO_MODE; kind <= INFO_OUTPUT_ADDR; ++kind)
        EXPECT_TRUE(needsClosedConnection(kind));
    for (int kind = INFO_AUTO_CONNECT; kind <= INFO_POLL_INPUTS; ++kind)
        EXPECT_FALSE(needsClosedConnection(kind));
    EXPECT_EQ(infoEditKind(INFO_PRODUCT), EditKind::None);
    EXPECT_TRUE(connectionAllowsEdit(TCP_CLOSED));
    EXPECT_TRUE(connectionAllowsEdit(TCP_ERROR));
    for (int state : {TCP_LISTEN, TCP_CONNECTING, TCP_ESTABLISHED})
        EXPECT_FALSE(connectionAllowsEdit(state));
}

TEST(NameEdits, EmptyNamesAreRefused) {
    setLanguage(LANG_ENGLISH);
    CQUORVISData c = controller(FAMILY_GENERIC, 8, 8);
    c.DeviceComment = "Pump";
    EXPECT_EQ(applyDescriptionEdit(c, "").error, "Please enter the description.");
    EXPECT_EQ(c.DeviceComment, "Pump");
    EXPECT_EQ(checkGroupName("").error, "Please enter the group name.");
    EXPECT_TRUE(checkGroupName(" Plant 100% ").accepted);
}

std::vector<int> commands(const std::vector<MenuEntry>& entries) {
    std::vector<int> out;
    for (const MenuEntry& e : entries)
        out.push_back(e.command);
    return out;
}

TEST(ContextMenu, ItemsFollowTheSelection) {
    CQUORVISData withInputs = controller(FAMILY_GENERIC, 8, 8);
    CQUORVISData noInputs = controller(FAMILY_RLX830, 0, 2);
    TreeSelection onController{&withInputs, false, 0};
    EXPECT_EQ(commands(contextMenuEntries(onController, TCP_CLOSED)),
              (std::vector<int>{CMD_CONNECT, CMD_DISCONNECT, CMD_MODIFY, CMD_DELETE_CONTROLLER,
                                CMD_ADD_CONTROLLER, CMD_SOUND_NOTIFICATION, CMD_SOUND_FILE,
                                CMD_ADD_GROUP}));
    TreeSelection onSilent{&noInputs, false, 0};
    EXPECT_EQ(commands(contextMenuEntries(onSilent, TCP_CLOSED)),
              (std::vector<int>{CMD_CONNECT, CMD_DISCONNECT, CMD_MODIFY, CMD_DELETE_CONTROLLER,
                                CMD_ADD_CONTROLLER, CMD_ADD_GROUP}));
    EXPECT_EQ(commands(contextMenuEntries({nullptr, true, 0}, TCP_CLOSED)),
              (std::vector<int>{CMD_ADD_CONTROLLER, CMD_ADD_GROUP}));
    EXPECT_EQ(commands(contextMenuEntries({nullptr, true, 1}, TCP_CLOSED)),
              (std::vector<int>{CMD_ADD_CONTROLLER, CMD_ADD_GROUP, CMD_DELETE_GROUP}));
    EXPECT_EQ(commands(contextMenuEntries({nullptr, false, 0}, TCP_CLOSED)),
              (std::vector<int>{CMD_ADD_CONTROLLER, CMD_ADD_GROUP}));
}

TEST(ContextMenu, ConnectAndDisconnectFollowTheState) {
    struct Case {
        int state, reconnect;
        bool connect, disconnect;
    };
    const Case cases[] = {
        {TCP_CLOSED, 0, true, false},      {TCP_CLOSED, 1, true, false},
        {TCP_LISTEN, 1, false, true},      {TCP_CONNECTING, 1, false, true},
        {TCP_ESTABLISHED, 1, false, true}, {TCP_ERROR, 0, true, false},
        {TCP_ERROR, 1, false, true},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(connectEnabled(k.state, k.reconnect), k.connect) << k.state << k.reconnect;
        EXPECT_EQ(disconnectEnabled(k.state, k.reconnect), k.disconnect) << k.state << k.reconnect;
    }
    EXPECT_TRUE(modifyEnabled(TCP_ERROR));
    EXPECT_FALSE(modifyEnabled(TCP_ESTABLISHED));
}

TEST(ErrorTexts, SocketErrorsNameTheSystemText) {
    EXPECT_EQ(socketErrorText(ECONNREFUSED),
              QStringLiteral("[%1] Connection refused").arg(ECONNREFUSED));
    const QString resolver = socketErrorText(EAI_NONAME);
    EXPECT_TRUE(resolver.startsWith(QStringLiteral("[%1] ").arg(EAI_NONAME)));
    EXPECT_EQ(resolver.mid(resolver.indexOf(' ') + 1),
              QString::fromLocal8Bit(gai_strerror(EAI_NONAME)));
    EXPECT_FALSE(resolver.contains('\n'));
}

TEST(ErrorTexts, ModbusExceptions) {
    setLanguage(LANG_ENGLISH);
    EXPECT_EQ(modbusExceptionText(1), "[Error 01] Illegal function code.");
    EXPECT_EQ(modbusExceptionText(2), "[Error 02] Illegal data address.");
    EXPECT_EQ(modbusExceptionText(6), "[Error 06] Device is busy to make a pulse signal.");
    EXPECT_EQ(modbusExceptionText(11), "[Error 11] Modbus error.");
}

TEST(ProductPages, LanguageFolderAndPageName) {
    EXPECT_EQ(productPageUrl("TKA-31", {"ko-KR"}),
              QString(kProductSiteBase) + "ko/products/tka-31a");
    EXPECT_EQ(productPageUrl("TKA-31P", {"zh-CN", "en"}),
              QString(kProductSiteBase) + "ch/products/tka-31p");
    EXPECT_EQ(productPageUrl("RLX-850", {"de-DE"}),
              QString(kProductSiteBase) + "en/products/rlx-850");
    EXPECT_EQ(productPageUrl("TKA-21", {}), QString(kProductSiteBase) + "en/products/tka-21a");
}

TEST(MainTitle, ShowsTheShownGroup) {
    setLanguage(LANG_ENGLISH);
    EXPECT_EQ(mainWindowTitle("Plant", true), "Iomira 2.1C (January 23, 2024) - Plant");
    EXPECT_EQ(mainWindowTitle("Plant", false), "Iomira 2.1C (January 23, 2024)");
}

} // namespace
} // namespace iomira
