// The add and modify dialogs as an operator drives them: the manual page's checks, a search
// that nobody answers, a name that does not resolve, and the modify dialog's Cancel.
#include "common/event_pump.h"
#include "common/test_support.h"

#include "app/controller_search.h"
#include "core/controller_table.h"
#include "core/device_family.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "ui/dialogs/add_controller_dialog.h"
#include "ui/dialogs/add_manual_page.h"
#include "ui/dialogs/add_search_page.h"
#include "ui/dialogs/modify_controller_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace iomira {
namespace {

using test::RecordingPrompts;

template <typename T> T* child(QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// A loopback UDP port that nobody listens on.
int silentUdpPort() {
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at);
    getsockname(s, reinterpret_cast<sockaddr*>(&at), &length);
    close(s);
    return ntohs(at.sin_port);
}

CROOTDataList twoGroups() {
    setLanguage(LANG_ENGLISH);
    CROOTDataList groups;
    groups.insert(std::make_unique<CROOTData>(3, "Plant", 0));
    groups.insert(std::make_unique<CROOTData>(8, "Annex", 1));
    return groups;
}

class AddDialog : public ::testing::Test {
  protected:
    QWidget& page(int index) { return *dialog.findChild<QTabWidget*>()->widget(index); }
    void clickAdd() { child<QPushButton>(dialog, "Add")->click(); }

    RecordingPrompts prompts;
    CROOTDataList groups = twoGroups();
    ControllerTable registered;
    CAddIODevices dialog{prompts, groups, registered, 8, 2};
};

TEST_F(AddDialog, ManualControllerIsGatheredIntoTheChosenGroup) {
    dialog.findChild<QTabWidget*>()->setCurrentIndex(1);
    QWidget& manual = page(1);
    child<QComboBox>(manual, "Product")->setCurrentIndex(2); // after the placeholder: TKA-35
    child<QLineEdit>(manual, "Description")->setText("  Boiler ");
    child<QLineEdit>(manual, "Address")->setText("127.0.0.1");
    child<QLineEdit>(manual, "Port")->setText("1502");
    child<QLineEdit>(manual, "UnitId")->setText("4");

    clickAdd();

    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(dialog.accepted().size(), 1u);
    const CQUORVISData& r = dialog.accepted()[0];
    EXPECT_EQ(r.DeviceComment, "Boiler");
    EXPECT_EQ(r.NumberOfPortInput, 4);
    EXPECT_EQ(r.HostPort, 1502);
    EXPECT_EQ(r.UnitId, 4);
    EXPECT_EQ(r.RootID, 8);
    EXPECT_EQ(dialog.targetGroup(), 8);
}

TEST_F(AddDialog, ManualPageRefusesAndStaysOpen) {
    dialog.findChild<QTabWidget*>()->setCurrentIndex(1);
    QWidget& manual = page(1);
    clickAdd();
    child<QComboBox>(manual, "Product")->setCurrentIndex(6); // RLX-820
    child<QLineEdit>(manual, "Description")->setText("   ");
    clickAdd();
    child<QLineEdit>(manual, "Description")->setText("Counter");
    child<QLineEdit>(manual, "Port")->setText("0");
    clickAdd();
    EXPECT_EQ(prompts.shown,
              QStringList({loadString(TEXT_SELECT_PRODUCT), loadString(TEXT_ENTER_DESCRIPTION),
                           loadString(TEXT_ENTER_PORT)}));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(AddDialog, SearchPageNeedsChosenRows) {
    clickAdd();
    EXPECT_EQ(prompts.shown, QStringList({loadString(TEXT_NM_SELECT_CONTROLLERS)}));
}

TEST_F(AddDialog, GroupOfTwentySixStillTakesOneMore) {
    for (int i = 0; i < 26; ++i) {
        auto c = std::make_unique<CQUORVISData>();
        c->DeviceId = i + 1;
        c->RootID = 8;
        c->Index = i;
        registered.insert(std::move(c));
    }
    dialog.findChild<QTabWidget*>()->setCurrentIndex(1);
    QWidget& manual = page(1);
    child<QComboBox>(manual, "Product")->setCurrentIndex(1);
    child<QLineEdit>(manual, "Description")->setText("27th");
    clickAdd();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << "one more fits";
}

// Nobody answers at the typed address: both libraries report "no answer", which shows
// nothing by itself, and the empty list is reported once, after the last answer.
TEST_F(AddDialog, ReadByAddressThatNobodyAnswersIsReportedOnce) {
    QWidget& search = page(0);
    child<QComboBox>(search, "SearchKind")->setCurrentIndex(1);
    child<QLineEdit>(search, "Address")->setText("127.0.0.1");
    child<QLineEdit>(search, "Port")->setText(QString::number(silentUdpPort()));
    auto* searchButton = child<QPushButton>(search, "Search");
    ControllerSearch& running = *search.findChild<ControllerSearch*>();
    searchButton->click();
    EXPECT_FALSE(searchButton->isEnabled());
    EXPECT_FALSE(child<QPushButton>(dialog, "Add")->isEnabled());
    EXPECT_TRUE(running.running());

    ASSERT_TRUE(test::pumpUntil([&] { return !running.running(); }, 30000));
    EXPECT_TRUE(searchButton->isEnabled());
    EXPECT_TRUE(child<QPushButton>(dialog, "Add")->isEnabled());
    EXPECT_EQ(prompts.shown, QStringList({loadString(TEXT_NO_RESPONSE)}));
    EXPECT_EQ(child<QTreeWidget>(search, "Found")->topLevelItemCount(), 0);
}

TEST_F(AddDialog, TypedNameThatDoesNotResolveIsShownWithTheResolversText) {
    QWidget& search = page(0);
    child<QComboBox>(search, "SearchKind")->setCurrentIndex(1);
    child<QLineEdit>(search, "Address")->setText("no-such-controller.invalid");
    ControllerSearch* running = search.findChild<ControllerSearch*>();
    child<QPushButton>(search, "Search")->click();
    ASSERT_TRUE(test::pumpUntil([&] { return !running->running(); }, 30000));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].startsWith("[")) << prompts.shown[0].toStdString();
    EXPECT_TRUE(prompts.shown[0].endsWith("\n"));
}

CQUORVISData registeredTka35() {
    CQUORVISData c;
    applyProductChoice(c, productChoices()[1]);
    c.DeviceId = 5;
    c.RootID = 3;
    c.DeviceComment = "Tank";
    c.HostAddr = "127.0.0.1";
    c.HostPort = 502;
    return c;
}

// The left edge of a field in its window, to tell whether fields share one label column.
int leftEdge(QWidget& window, const char* name) {
    QWidget* field = child<QWidget>(window, name);
    return field ? field->mapTo(&window, QPoint(0, 0)).x() : -1;
}

TEST_F(AddDialog, FieldsOfEachPageStartAtOneColumn) {
    for (uint16_t language : {LANG_ENGLISH, LANG_KOREAN}) {
        setLanguage(language);
        CAddIODevices shown(prompts, groups, registered, 8, language);
        shown.show();
        QTabWidget* tabs = shown.findChild<QTabWidget*>();
        QWidget& search = *tabs->widget(0);
        EXPECT_EQ(leftEdge(search, "Address"), leftEdge(search, "Group")) << language;
        EXPECT_EQ(leftEdge(search, "Port"), leftEdge(search, "Group")) << language;
        tabs->setCurrentIndex(1);
        QWidget& manual = *tabs->widget(1);
        for (const char* name : {"Group", "CommunicationType", "Address", "OutputAddr"})
            EXPECT_EQ(leftEdge(manual, name), leftEdge(manual, "Product")) << name << language;
    }
    setLanguage(LANG_ENGLISH);
}

TEST(ModifyDialog, CancelWithoutChangesAsksNothing) {
    RecordingPrompts prompts;
    CROOTDataList groups;
    groups.insert(std::make_unique<CROOTData>(3, "Plant", 0));
    CModifyDevices1Dlg dialog(prompts, groups, registeredTka35());
    dialog.reject();
    EXPECT_EQ(prompts.questions, 0);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(ModifyDialog, CancelAfterTypingAsksAndNoKeepsTheDialog) {
    RecordingPrompts prompts;
    prompts.answer = false;
    CROOTDataList groups;
    groups.insert(std::make_unique<CROOTData>(3, "Plant", 0));
    CModifyDevices1Dlg dialog(prompts, groups, registeredTka35());
    dialog.show();
    child<QLineEdit>(dialog, "Port")->setText("1502");
    dialog.reject();
    EXPECT_EQ(prompts.questions, 1);
    EXPECT_EQ(prompts.shown.value(0), loadString(TEXT_CANCEL_CHANGES));
    EXPECT_TRUE(dialog.isVisible());
}

TEST(ModifyDialog, GroupSharesTheFieldsColumn) {
    test::RecordingPrompts prompts;
    CROOTDataList groups = twoGroups();
    CModifyDevices1Dlg dialog(prompts, groups, registeredTka35());
    dialog.show();
    EXPECT_EQ(leftEdge(dialog, "Group"), leftEdge(dialog, "Address"));
}

TEST(ModifyDialog, OkWritesTheTypedSettingsIntoTheEditedRecord) {
    RecordingPrompts prompts;
    CROOTDataList groups;
    groups.insert(std::make_unique<CROOTData>(3, "Plant", 0));
    groups.insert(std::make_unique<CROOTData>(4, "Annex", 1));
    CModifyDevices1Dlg dialog(prompts, groups, registeredTka35());
    child<QComboBox>(dialog, "Group")->setCurrentIndex(1);
    child<QComboBox>(dialog, "CommunicationType")->setCurrentIndex(1); // TCP Server
    child<QLineEdit>(dialog, "Description")->setText("Tank 2");
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.edited().RootID, 4);
    EXPECT_EQ(dialog.edited().IsServer, 1);
    EXPECT_TRUE(dialog.edited().HostAddr.isEmpty());
    EXPECT_EQ(dialog.edited().DeviceComment, "Tank 2");
    EXPECT_FALSE(dialog.portsChanged());
}

} // namespace
} // namespace iomira
