#include "app/backup_file.h"
#include "app/backup_items.h"
#include "common/test_support.h"
#include "core/global_settings.h"
#include "core/string_table.h"

#include "nexoltlib/nexoltlib.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>

#include <vector>

using namespace iomira;
using backup::ItemEncoding;

namespace {

using Bytes = std::vector<uint8_t>;

QByteArray bytesOf(const Bytes& b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

void put16(Bytes& out, unsigned v) {
    out.push_back(v & 0xff);
    out.push_back((v >> 8) & 0xff);
}

void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// An item laid out by hand: header, data, zero padding, CRC of everything before it.
Bytes item(unsigned tag, const Bytes& data) {
    const unsigned padding = (4 - data.size() % 4) % 4;
    Bytes out;
    put16(out, tag);
    put16(out, static_cast<unsigned>(8 + data.size() + padding));
    put16(out, padding);
    out.insert(out.end(), data.begin(), data.end());
    out.insert(out.end(), padding, 0);
    put16(out, crc16(out.data(), static_cast<int>(out.size())));
    return out;
}

Bytes intData(int32_t v) {
    Bytes out;
    put32(out, static_cast<uint32_t>(v));
    return out;
}

Bytes textData(const char* text) {
    return Bytes(text, text + std::strlen(text));
}

Bytes record(unsigned type, const std::vector<Bytes>& items) {
    Bytes data;
    for (const Bytes& i : items)
        data.insert(data.end(), i.begin(), i.end());
    Bytes out;
    put16(out, type);
    put16(out, static_cast<unsigned>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// A file around the given record bytes, with a right length and CRC.
QByteArray file(const std::vector<Bytes>& records, unsigned groups = 0, unsigned controllers = 0) {
    Bytes body;
    for (const Bytes& r : records)
        body.insert(body.end(), r.begin(), r.end());
    Bytes out;
    put32(out, static_cast<uint32_t>(10 + body.size()));
    put16(out, groups);
    put16(out, controllers);
    out.insert(out.end(), body.begin(), body.end());
    put16(out, crc16(body.data(), static_cast<int>(body.size())));
    return bytesOf(out);
}

// Every kind of object, with texts in three scripts and values at the encodings' edges.
BackupContents fullContents() {
    BackupContents c;
    c.groupCount = 2;
    c.controllerCount = 3;
    c.groups.emplace_back(0, QStringLiteral("Default"), 0);
    c.groups.emplace_back(17, QStringLiteral("제어실 控制室"), 1);
    CQUORVISData a;
    a.DeviceId = 12;
    a.DeviceType = 5;
    a.NumberOfPortInput = 8;
    a.NumberOfPortOutput = 4;
    a.IsServer = 1;
    a.setHostAddr(QStringLiteral("plc.example.test"));
    a.HostPort = 502;
    a.UnitId = 255;
    a.InputAddr = -1;
    a.OutputAddr = 100000;
    a.DeviceComment = QStringLiteral("보일러 锅炉");
    a.DiComment[3] = QStringLiteral("문 门");
    a.DoComment[7] = QString();
    a.LastPosX = -20;
    a.LastOpened = 1;
    a.OutputPortControl = 1;
    a.RootID = 17;
    a.Polling = 0;
    a.UseWarningMsgDo = {1, 0, 1, 0, 1, 0, 1, 255};
    a.MsgAllOn = QStringLiteral("켜짐");
    a.DoMsgOnOff[2] = QStringLiteral("关");
    a.DurationDo = {0, 1, 500, 65535, 2, 3, 4, 5};
    a.SignalLevelDo = {0, 1, 0, 1, 0, 1, 0, 1};
    a.UseInputEmailNotification[4] = 1;
    a.MailAccountID = 3;
    a.MailContent = QStringLiteral("line 1\r\nline 2");
    a.UseMControlDo[1] = QStringLiteral("12;13");
    a.OnDiSoundId = {1, 2, 3, 4, 5, 6, 7, -8};
    a.AIName[2] = QStringLiteral("온도 温度");
    a.AIHeaderWidth = {80, 90, 100, 110};
    a.AIBgColor[3] = 0xFFFFFFFFu;
    CQUORVISData b;
    b.DeviceId = 13;
    b.RootID = 17;
    b.Index = 2;
    b.NumberOfPortInput = b.NumberOfPortOutput = 16;
    c.controllers = {a, std::nullopt, b};
    CMailAccount account;
    account.MailAccountId = 3;
    account.AuthType = MAIL_AUTH_TLS;
    account.AccountID = QStringLiteral("user");
    account.MailAccountComment = QStringLiteral("사무실");
    account.MailServerPort = QStringLiteral("587");
    account.Password = QStringLiteral("p@ss 密码");
    c.mailAccounts = {account};
    CScheduleData mail;
    mail.ScheduleId = 4;
    mail.FromAmPm = SCHEDULE_PM;
    mail.FromHour = 9;
    mail.ToMinute = 59;
    mail.Saturday = 1;
    CScheduleData message = mail;
    message.ScheduleId = 32767;
    message.Monday = 1;
    c.mailSchedules = {mail};
    c.messageSchedules = {message, mail};
    BackupSwitches switches;
    for (int n = 0; n < BACKUP_SWITCH_COUNT; ++n)
        switches.values[n] = n % 2;
    c.switches = switches;
    c.sounds = {{1, QStringLiteral("Siren.wav"), QStringLiteral("/opt/iomira/Siren.wav")},
                {9, QStringLiteral("경보 警报"), QStringLiteral("/home/u/소리.wav")}};
    return c;
}

void expectSameContents(const BackupContents& got, const BackupContents& want) {
    EXPECT_EQ(got.groupCount, want.groupCount);
    EXPECT_EQ(got.controllerCount, want.controllerCount);
    ASSERT_EQ(got.groups.size(), want.groups.size());
    for (size_t n = 0; n < want.groups.size(); ++n) {
        EXPECT_EQ(got.groups[n].RootID, want.groups[n].RootID);
        EXPECT_EQ(got.groups[n].Index, want.groups[n].Index);
        EXPECT_EQ(got.groups[n].RootName, want.groups[n].RootName);
    }
    EXPECT_EQ(got.controllers, want.controllers);
    EXPECT_EQ(got.mailAccounts, want.mailAccounts);
    EXPECT_EQ(got.mailSchedules, want.mailSchedules);
    EXPECT_EQ(got.messageSchedules, want.messageSchedules);
    ASSERT_EQ(got.switches.has_value(), want.switches.has_value());
    if (want.switches) {
        EXPECT_EQ(got.switches->values, want.switches->values);
    }
    EXPECT_EQ(got.sounds, want.sounds);
}

QByteArray encoded(const BackupContents& contents) {
    QString error;
    const QByteArray bytes = encodeBackup(contents, &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return bytes;
}

// The tags of the record starting at `offset` of a file, in the order they appear.
std::vector<unsigned> tagsOfRecord(const QByteArray& bytes, qsizetype offset) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData()) + offset;
    const unsigned length = p[2] | p[3] << 8;
    std::vector<unsigned> tags;
    for (unsigned at = 4; at < 4 + length;) {
        tags.push_back(p[at] | p[at + 1] << 8);
        at += p[at + 2] | p[at + 3] << 8;
    }
    return tags;
}

// ---- Items and files as bytes ----

struct ItemCase {
    const char* name;
    uint16_t tag;
    ItemEncoding encoding;
    backup::ItemValue value;
    Bytes header; // tag, length, padding
    Bytes data;   // data and padding
};

backup::ItemValue number(int64_t v) {
    backup::ItemValue value;
    value.number = v;
    return value;
}
backup::ItemValue text(const char* t) {
    backup::ItemValue value;
    value.text = QString::fromUtf8(t);
    return value;
}
backup::ItemValue ports(std::array<int64_t, 8> p) {
    backup::ItemValue value;
    value.ports = p;
    return value;
}

TEST(BackupItems, AreLaidOutByteForByte) {
    const ItemCase cases[] = {
        {"five-byte text",
         12,
         ItemEncoding::Text,
         text("Abcde"),
         {12, 0, 16, 0, 3, 0},
         {'A', 'b', 'c', 'd', 'e', 0, 0, 0}},
        {"empty text", 81, ItemEncoding::Text, text(""), {81, 0, 8, 0, 0, 0}, {}},
        {"korean text",
         3,
         ItemEncoding::Text,
         text("가"),
         {3, 0, 12, 0, 1, 0},
         {0xEA, 0xB0, 0x80, 0}},
        {"int", 4, ItemEncoding::Int, number(-2), {4, 0, 12, 0, 0, 0}, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"u16", 117, ItemEncoding::U16, number(0x1234), {117, 0, 12, 0, 2, 0}, {0x34, 0x12, 0, 0}},
        {"byte keeps the low byte",
         44,
         ItemEncoding::Byte,
         number(0x1FF),
         {44, 0, 12, 0, 3, 0},
         {0xFF, 0, 0, 0}},
        {"u16 x8",
         67,
         ItemEncoding::U16Ports,
         ports({1, 2, 3, 4, 5, 6, 7, 0xABCD}),
         {67, 0, 24, 0, 0, 0},
         {1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 0xCD, 0xAB}},
        {"byte x8",
         66,
         ItemEncoding::BytePorts,
         ports({1, 0, 1, 0, 0, 0, 0, 255}),
         {66, 0, 16, 0, 0, 0},
         {1, 0, 1, 0, 0, 0, 0, 255}},
        {"int x8",
         150,
         ItemEncoding::IntPorts,
         ports({1, 0, 0, 0, 0, 0, 0, -1}),
         {150, 0, 40, 0, 0, 0},
         {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    0,    0,    0,
          0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const ItemCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes want = c.header;
        want.insert(want.end(), c.data.begin(), c.data.end());
        put16(want, crc16(want.data(), static_cast<int>(want.size())));
        QByteArray got;
        ASSERT_TRUE(backup::appendItem(got, c.tag, backup::encodeItemData(c.encoding, c.value)));
        EXPECT_EQ(got, bytesOf(want));
    }
}

TEST(BackupFileBytes, SmallFileIsLaidOutByHand) {
    BackupContents contents;
    contents.groupCount = 1;
    contents.groups.emplace_back(7, QStringLiteral("G"), 0);
    contents.controllers.emplace_back();
    BackupSwitches switches;
    for (int n = 0; n < BACKUP_SWITCH_COUNT; ++n)
        switches.values[n] = n == 0 || n == 7 ? 1 : 0;
    contents.switches = switches;

    std::vector<Bytes> global;
    const unsigned switchTags[] = {136, 137, 144, 145, 146, 147, 148, 149};
    for (int n = 0; n < BACKUP_SWITCH_COUNT; ++n)
        global.push_back(item(switchTags[n], {static_cast<uint8_t>(n == 0 || n == 7)}));
    const QByteArray want =
        file({record(1, {item(1, intData(7)), item(2, intData(0)), item(3, textData("G"))}),
              record(2, {}), record(6, global)},
             1, 0);
    EXPECT_EQ(want.size(), 8 + 40 + 4 + 100 + 2);
    EXPECT_EQ(encoded(contents), want);

    const BackupReadOutcome read = decodeBackup(want);
    ASSERT_EQ(read.status, BackupReadStatus::Ok) << read.message.toStdString();
    expectSameContents(read.contents, contents);
    EXPECT_TRUE(read.warnings.isEmpty());
}

TEST(BackupFileBytes, ControllerCarriesEveryTagOnceInOrder) {
    std::vector<unsigned> want = {4, 301, 69, 70, 6, 7, 8, 9, 10, 11, 12};
    for (unsigned t = 13; t <= 28; ++t)
        want.push_back(t);
    for (unsigned t = 29; t <= 44; ++t)
        want.push_back(t);
    want.insert(want.end(), {114, 45, 65, 46, 47, 48});
    for (unsigned t = 49; t <= 64; ++t)
        want.push_back(t);
    want.insert(want.end(), {66, 67, 68, 71, 72, 73, 80, 81, 82, 83, 84});
    for (unsigned t = 85; t <= 92; ++t)
        want.push_back(t);
    want.insert(want.end(), {150, 151});
    for (unsigned c = 0; c < 4; ++c)
        want.insert(want.end(),
                    {155 + c, 159 + c, 181 + c, 185 + c, 189 + c, 289 + c, 293 + c, 297 + c});
    BackupContents contents;
    contents.controllers.emplace_back(CQUORVISData{});
    const QByteArray bytes = encoded(contents);
    EXPECT_EQ(tagsOfRecord(bytes, 8), want);
}

TEST(BackupFileBytes, RecordsFollowTheFileOrder) {
    const QByteArray bytes = encoded(fullContents());
    std::vector<unsigned> types;
    for (qsizetype at = 8; at < bytes.size() - 2;) {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData()) + at;
        types.push_back(p[0] | p[1] << 8);
        at += 4 + (p[2] | p[3] << 8);
    }
    EXPECT_EQ(types, (std::vector<unsigned>{1, 1, 2, 2, 2, 3, 4, 5, 5, 6, 7, 7}));
}

// ---- Round trips ----

TEST(BackupRoundTrip, EveryKindOfObjectComesBackFieldByField) {
    const BackupContents contents = fullContents();
    const QByteArray bytes = encoded(contents);
    const BackupReadOutcome read = decodeBackup(bytes);
    ASSERT_EQ(read.status, BackupReadStatus::Ok) << read.message.toStdString();
    expectSameContents(read.contents, contents);
    EXPECT_TRUE(read.warnings.isEmpty()) << read.warnings.join('\n').toStdString();
    EXPECT_EQ(encoded(read.contents), bytes);
}

TEST(BackupRoundTrip, HandMadeFileWithoutGlobalRecordStaysWithout) {
    const QByteArray bytes = file({record(7, {item(152, intData(4))})});
    const BackupReadOutcome read = decodeBackup(bytes);
    ASSERT_EQ(read.status, BackupReadStatus::Ok);
    EXPECT_FALSE(read.contents.switches.has_value());
    ASSERT_EQ(read.contents.sounds.size(), 1u);
    EXPECT_EQ(read.contents.sounds[0].SoundId, 4);
    const QByteArray again = encoded(read.contents);
    EXPECT_EQ(tagsOfRecord(again, 8), (std::vector<unsigned>{152, 153, 154}));
    EXPECT_EQ(again.size(), 8 + 4 + 12 + 8 + 8 + 2); // the sound record and nothing else
}

// ---- Refused files ----

TEST(BackupRefusal, EveryCutIsUnreadable) {
    const QByteArray bytes = encoded(fullContents());
    for (qsizetype size = 0; size < bytes.size(); ++size) {
        const BackupReadOutcome read = decodeBackup(bytes.left(size));
        ASSERT_EQ(read.status, BackupReadStatus::CantRead) << size;
        EXPECT_EQ(read.message, loadString(194));
        EXPECT_TRUE(read.contents.groups.empty());
    }
}

TEST(BackupRefusal, WrongLengthAtStartIsUnreadable) {
    const QByteArray good = encoded(fullContents());
    for (int delta : {-1, 1, 0x10000}) {
        QByteArray bytes = good;
        const uint32_t length = static_cast<uint32_t>(bytes.size() + delta);
        std::memcpy(bytes.data(), &length, 4);
        EXPECT_EQ(decodeBackup(bytes).status, BackupReadStatus::CantRead) << delta;
    }
}

TEST(BackupRefusal, AnyChangedRecordByteIsDamage) {
    const QByteArray good = encoded(fullContents());
    for (qsizetype at = 8; at < good.size(); ++at) {
        QByteArray bytes = good;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
        const BackupReadOutcome read = decodeBackup(bytes);
        ASSERT_EQ(read.status, BackupReadStatus::Damaged) << at;
        EXPECT_EQ(read.message, loadString(195));
    }
}

TEST(BackupRefusal, RecordFramingFaultsAreDamage) {
    Bytes tooLong;
    put16(tooLong, 1);
    put16(tooLong, 4100);
    tooLong.resize(4 + 4100, 0);
    Bytes pastEnd;
    put16(pastEnd, 1);
    put16(pastEnd, 12);
    const Bytes tail = item(1, intData(1));
    pastEnd.insert(pastEnd.end(), tail.begin(), tail.begin() + 8);
    const struct {
        const char* name;
        std::vector<Bytes> records;
    } cases[] = {
        {"data over 4096", {tooLong}},
        {"data past the end", {pastEnd}},
        {"a partial record header", {record(2, {}), {1, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BackupReadOutcome read = decodeBackup(file(c.records));
        EXPECT_EQ(read.status, BackupReadStatus::Damaged);
        EXPECT_EQ(read.message, loadString(195));
    }
}

TEST(BackupRefusal, ItemFaultsFailTheRecord) {
    const Bytes good = item(1, intData(5));
    auto changed = [&](int at, uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    Bytes badCrc = good;
    badCrc.back() ^= 1;
    Bytes overLimit = item(3, Bytes(2048, 'x'));
    // Padding 5 in a 16-byte item, its CRC made right, as a hostile file would.
    Bytes wrongPadding = item(3, textData("abcde"));
    wrongPadding[4] = 5;
    wrongPadding.resize(wrongPadding.size() - 2);
    put16(wrongPadding, crc16(wrongPadding.data(), static_cast<int>(wrongPadding.size())));
    const struct {
        const char* name;
        Bytes bytes;
    } items[] = {
        {"length not a multiple of 4", changed(2, 10)},
        {"length under 8", changed(2, 4)},
        {"length past the record", changed(2, 16)},
        {"item CRC", badCrc},
        {"padding over 3", wrongPadding},
        {"data of 2048 bytes", overLimit},
    };
    for (unsigned type : {1u, 2u, 3u, 4u, 5u, 7u}) {
        for (const auto& c : items) {
            SCOPED_TRACE(std::string(c.name) + " in type " + std::to_string(type));
            const BackupReadOutcome read = decodeBackup(file({record(type, {good, c.bytes})}));
            EXPECT_EQ(read.status, BackupReadStatus::Failed);
            EXPECT_EQ(read.message, loadString(5013));
        }
    }
}

TEST(BackupRefusal, UnknownRecordTypeFails) {
    for (unsigned type : {0u, 8u, 0xFFFFu}) {
        const BackupReadOutcome read = decodeBackup(file({record(type, {item(1, intData(1))})}));
        EXPECT_EQ(read.status, BackupReadStatus::Failed) << type;
    }
    // Nothing to parse in an empty record, whatever its type.
    EXPECT_EQ(decodeBackup(file({record(9, {})})).status, BackupReadStatus::Ok);
}

// ---- Parsing one record ----

TEST(BackupParsing, PortCountsFromOldAndNewTags) {
    const struct {
        const char* name;
        std::vector<Bytes> items;
        int inputs, outputs;
    } cases[] = {
        {"old input tag only", {item(5, intData(16))}, 16, 16},
        {"old tags", {item(5, intData(8)), item(2, intData(4))}, 8, 4},
        {"new tags", {item(69, intData(8)), item(70, intData(2))}, 8, 2},
        {"outputs 0 take the inputs", {item(69, intData(4)), item(70, intData(0))}, 4, 4},
        {"later item wins", {item(69, intData(4)), item(5, intData(12))}, 12, 12},
        {"neither", {item(4, intData(1))}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BackupReadOutcome read = decodeBackup(file({record(2, c.items)}));
        ASSERT_EQ(read.status, BackupReadStatus::Ok);
        ASSERT_EQ(read.contents.controllers.size(), 1u);
        ASSERT_TRUE(read.contents.controllers[0]);
        EXPECT_EQ(read.contents.controllers[0]->NumberOfPortInput, c.inputs);
        EXPECT_EQ(read.contents.controllers[0]->NumberOfPortOutput, c.outputs);
    }
}

TEST(BackupParsing, ControllerStartsFromCreatedDefaults) {
    const BackupReadOutcome read =
        decodeBackup(file({record(2, {item(4, intData(3)), item(999, textData("unknown"))})}));
    ASSERT_EQ(read.status, BackupReadStatus::Ok);
    CQUORVISData want;
    want.DeviceId = 3;
    EXPECT_EQ(*read.contents.controllers.at(0), want);
}

TEST(BackupParsing, ValuesAreRepairedWithWarnings) {
    const std::string host(200, 'h');
    const BackupReadOutcome read = decodeBackup(file({
        record(2, {item(7, textData(host.c_str())), item(4, {9, 1}), item(12, {'a', 0xFF, 'b'}),
                   item(29, {1, 0, 0, 0, 7, 7})}),
    }));
    ASSERT_EQ(read.status, BackupReadStatus::Ok);
    const CQUORVISData& c = *read.contents.controllers.at(0);
    EXPECT_EQ(c.HostAddr, QString(127, 'h'));
    EXPECT_EQ(c.DeviceId, 0x109); // short data is zero-extended
    EXPECT_EQ(c.DeviceComment, QStringLiteral("a\uFFFDb"));
    EXPECT_EQ(c.ViewMode, 1); // longer data is cut
    EXPECT_EQ(read.warnings.size(), 3) << read.warnings.join('\n').toStdString();
}

TEST(BackupParsing, TextEndsAtItsFirstNul) {
    const BackupReadOutcome read = decodeBackup(file({record(1, {item(3, {'a', 'b', 0, 'c'})})}));
    ASSERT_EQ(read.status, BackupReadStatus::Ok);
    EXPECT_EQ(read.contents.groups.at(0).RootName, QStringLiteral("ab"));
}

TEST(BackupParsing, DuplicateIdsKeepTheFirstRecord) {
    const struct {
        const char* name;
        unsigned type, idTag, nameTag;
    } cases[] = {
        {"group", 1, 1, 3},
        {"mail account", 3, 99, 103},
        {"e-mail schedule", 4, 115, 0},
        {"message schedule", 5, 135, 0},
        {"sound", 7, 152, 153},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto one = [&](const char* name) {
            std::vector<Bytes> items{item(c.idTag, intData(6))};
            if (c.nameTag) items.push_back(item(c.nameTag, textData(name)));
            return record(c.type, items);
        };
        const BackupReadOutcome read = decodeBackup(file({one("first"), one("second")}));
        ASSERT_EQ(read.status, BackupReadStatus::Ok);
        const BackupContents& got = read.contents;
        EXPECT_EQ(got.groups.size() + got.mailAccounts.size() + got.mailSchedules.size() +
                      got.messageSchedules.size() + got.sounds.size(),
                  1u);
        if (!got.groups.empty()) {
            EXPECT_EQ(got.groups[0].RootName, QStringLiteral("first"));
        }
        if (!got.sounds.empty()) {
            EXPECT_EQ(got.sounds[0].SoundName, QStringLiteral("first"));
        }
        EXPECT_EQ(read.warnings.size(), 1);
    }
    // The two schedule lists have ids of their own.
    const BackupReadOutcome both = decodeBackup(
        file({record(4, {item(115, intData(6))}), record(5, {item(135, intData(6))})}));
    EXPECT_EQ(both.contents.mailSchedules.size(), 1u);
    EXPECT_EQ(both.contents.messageSchedules.size(), 1u);
}

TEST(BackupParsing, DamagedGlobalItemKeepsTheSwitchesBefore) {
    Bytes bad = item(144, {1});
    bad.back() ^= 0xFF;
    const BackupReadOutcome read =
        decodeBackup(file({record(6, {item(136, {0}), item(137, {1}), bad, item(145, {1})}),
                           record(7, {item(152, intData(2))})}));
    ASSERT_EQ(read.status, BackupReadStatus::Ok);
    ASSERT_TRUE(read.contents.switches);
    const auto& v = read.contents.switches->values;
    EXPECT_EQ(v[BACKUP_INPUT_NOTIFICATION], 0);
    EXPECT_EQ(v[BACKUP_LOG_TCP], 1);
    EXPECT_FALSE(v[BACKUP_LOG_INPUT].has_value());
    EXPECT_FALSE(v[BACKUP_LOG_OUTPUT].has_value());
    EXPECT_EQ(read.contents.sounds.size(), 1u);
    EXPECT_EQ(read.warnings.size(), 1);
}

TEST(BackupParsing, HeaderCountsAreOnlyInformative) {
    const BackupReadOutcome read = decodeBackup(file({record(1, {item(1, intData(2))})}, 40, 900));
    ASSERT_EQ(read.status, BackupReadStatus::Ok);
    EXPECT_EQ(read.contents.groups.size(), 1u);
    EXPECT_EQ(read.contents.groupCount, 40);
    EXPECT_EQ(read.contents.controllerCount, 900);
}

// ---- Limits while writing ----

TEST(BackupLimits, OversizedValuesRefuseTheBackup) {
    BackupContents item;
    item.groups.emplace_back(1, QString(2048, 'x'), 0);
    BackupContents fits;
    fits.groups.emplace_back(1, QString(2047, 'x'), 0);
    BackupContents record;
    CQUORVISData big;
    big.MailSubject = big.MailContent = QString(1500, 'y');
    big.MsgAllOn = QString(1200, 'z');
    record.controllers.emplace_back(big);
    for (const BackupContents* refused : {&item, &record}) {
        QString error;
        EXPECT_TRUE(encodeBackup(*refused, &error).isEmpty());
        EXPECT_FALSE(error.isEmpty());
    }
    QString error;
    EXPECT_FALSE(encodeBackup(fits, &error).isEmpty());
    EXPECT_TRUE(error.isEmpty());
}

// ---- Gathering from the live tables ----

TEST(BackupGathering, FollowsGroupAndPositionOrder) {
    CROOTDataList groups;
    groups.insert(std::make_unique<CROOTData>(5, QStringLiteral("second"), 1));
    groups.insert(std::make_unique<CROOTData>(9, QStringLiteral("first"), 0));
    ControllerTable controllers;
    auto controller = [&](int id, int root, int index) {
        auto r = std::make_unique<CQUORVISData>();
        r->DeviceId = id;
        r->RootID = root;
        r->Index = index;
        controllers.insert(std::move(r));
    };
    controller(1, 5, 1); // position 0 of group 5 is free
    controller(2, 5, 5); // beyond the count: not reached
    controller(3, 9, 0);
    controller(4, 77, 0); // no such group
    CMailAccountMap accounts;
    for (int32_t id : {8, 2}) {
        CMailAccount account;
        account.MailAccountId = id;
        accounts.insert(account);
    }
    CScheduleDataList mail, message;
    auto schedule = std::make_unique<CScheduleData>();
    schedule->ScheduleId = 11;
    message.insert(std::move(schedule));
    SoundLibrary sounds;
    sounds.installBuiltIn(QStringLiteral("/opt"));
    sounds.insert({4, QStringLiteral("bell"), QStringLiteral("/b.wav")});
    BackupSwitches switches;
    switches.values.fill(1);

    const BackupContents got =
        gatherBackup({groups, controllers, accounts, mail, message, sounds, switches});
    EXPECT_EQ(got.groupCount, 2);
    EXPECT_EQ(got.controllerCount, 4);
    ASSERT_EQ(got.groups.size(), 2u);
    EXPECT_EQ(got.groups[0].RootID, 9);
    EXPECT_EQ(got.groups[1].RootID, 5);
    std::vector<int> ids;
    for (const auto& c : got.controllers)
        ids.push_back(c ? c->DeviceId : -1);
    EXPECT_EQ(ids, (std::vector<int>{3, -1, 1}));
    ASSERT_EQ(got.mailAccounts.size(), 2u);
    EXPECT_EQ(got.mailAccounts[0].MailAccountId, 2);
    EXPECT_TRUE(got.mailSchedules.empty());
    EXPECT_EQ(got.messageSchedules.size(), 1u);
    ASSERT_EQ(got.sounds.size(), 2u);
    EXPECT_EQ(got.sounds[0].SoundId, kBuiltInSoundId);
    ASSERT_TRUE(got.switches);
    EXPECT_EQ(got.switches->values[BACKUP_USE_LOGIN], 1);
}

TEST(BackupGathering, SwitchesComeFromTheStore) {
    test::TempStore temp;
    ASSERT_TRUE(setGlobal(*temp.store, LOG_TCP, 0));
    ASSERT_TRUE(setGlobal(*temp.store, USE_LOGIN, 1));
    const BackupSwitches got = storedBackupSwitches(*temp.store);
    const std::array<std::optional<int32_t>, BACKUP_SWITCH_COUNT> want = {1, 0, 1, 1, 1, 0, 0, 1};
    EXPECT_EQ(got.values, want);
}

// ---- The file on disk ----

TEST(BackupFileOnDisk, CreatedPrivateAndTruncated) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("backup.bin"));
    const mode_t old = ::umask(022);
    QString error;
    ASSERT_TRUE(writeBackupFile(path, QByteArray(100, 'a'), &error)) << error.toStdString();
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    ASSERT_TRUE(writeBackupFile(path, QByteArrayLiteral("short"), &error));
    ::umask(old);
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    QByteArray back;
    ASSERT_TRUE(readBackupFile(path, back, &error));
    EXPECT_EQ(back, QByteArrayLiteral("short"));
}

TEST(BackupFileOnDisk, FailuresGiveTheSystemText) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/backup.bin"));
    QString error;
    EXPECT_FALSE(writeBackupFile(missing, QByteArray("x"), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("[%1] ").arg(ENOENT))) << error.toStdString();
    QByteArray bytes = "kept";
    error.clear();
    EXPECT_FALSE(readBackupFile(missing, bytes, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("[%1] ").arg(ENOENT)));
    EXPECT_FALSE(error.contains('\n'));
    EXPECT_EQ(bytes, QByteArray("kept"));
    EXPECT_FALSE(readBackupFile(dir.path(), bytes, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("[%1] ").arg(EISDIR))) << error.toStdString();
}

} // namespace
