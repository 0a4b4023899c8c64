#include "app/backup_file.h"

#include "app/backup_tags.h"
#include "core/string_table.h"
#include "core/texts.h"

#include "nexoltlib/nexoltlib.h"

#include <QtEndian>

#include <climits>
#include <cstring>
#include <set>

namespace iomira {

using namespace backup;

namespace {

// The table's texts carry printf placeholders, every one of them "%d".
template <typename... Numbers> QString formatted(TextId text, Numbers... numbers) {
    return QString::asprintf(loadString(text).toUtf8().constData(), static_cast<int>(numbers)...);
}

// Appends records one after the other; the first limit exceeded stops all further writing.
class RecordWriter {
  public:
    explicit RecordWriter(QByteArray& out) : out_(out) {}

    template <typename Record>
    void write(RecordType type, const TagTable<Record>& table, const Record& record) {
        const qsizetype start = begin(type);
        if (start < 0) return;
        for (const ItemRule<Record>& rule : table.rules()) {
            if (!rule.written) continue;
            const ItemValue value = rule.get(record, rule.element);
            if (!value.present) continue;
            const QByteArray data = encodeItemData(rule.encoding, value);
            if (!appendItem(out_, rule.tag, data)) {
                error_ = formatted(TEXT_BACKUP_ITEM_TOO_LONG, number_, type, rule.tag, data.size(),
                                   kMaxItemData);
                return;
            }
        }
        finish(type, start);
    }
    void writeEmpty(RecordType type) {
        const qsizetype start = begin(type);
        if (start >= 0) finish(type, start);
    }
    const QString& error() const { return error_; }

  private:
    qsizetype begin(RecordType type) {
        if (!error_.isEmpty()) return -1;
        ++number_;
        appendU16(out_, type);
        appendU16(out_, 0);
        return out_.size();
    }
    void finish(RecordType type, qsizetype start) {
        const qsizetype length = out_.size() - start;
        if (length > kMaxRecordData) {
            error_ = formatted(TEXT_BACKUP_RECORD_TOO_LONG, number_, type, length, kMaxRecordData);
            return;
        }
        qToLittleEndian(static_cast<uint16_t>(length), out_.data() + start - 2);
    }

    QByteArray& out_;
    int number_ = 0;
    QString error_;
};

// Walks the records of a file whose length and CRC were found right, collecting what they
// hold into the outcome's contents.
class RecordReader {
  public:
    explicit RecordReader(BackupReadOutcome& outcome) : outcome_(outcome) {}

    // False when the record yields nothing, or its type is unknown.
    bool read(int number, uint16_t type, QByteArrayView data) {
        number_ = number;
        type_ = type;
        BackupContents& c = outcome_.contents;
        switch (type) {
        case RECORD_GROUP:
            return take(groupTags(), data, groupIds_, &CROOTData::RootID, c.groups);
        case RECORD_CONTROLLER:
            return readController(data);
        case RECORD_MAIL_ACCOUNT:
            return take(mailAccountTags(), data, accountIds_, &CMailAccount::MailAccountId,
                        c.mailAccounts);
        case RECORD_EMAIL_SCHEDULE:
            return take(emailScheduleTags(), data, mailScheduleIds_, &CScheduleData::ScheduleId,
                        c.mailSchedules);
        case RECORD_MESSAGE_SCHEDULE:
            return take(messageScheduleTags(), data, messageScheduleIds_,
                        &CScheduleData::ScheduleId, c.messageSchedules);
        case RECORD_GLOBAL:
            return readSwitches(data);
        case RECORD_SOUND:
            return take(soundTags(), data, soundIds_, &CSound::SoundId, c.sounds);
        default:
            return false;
        }
    }

  private:
    template <typename Record>
    bool parse(const TagTable<Record>& table, QByteArrayView data, Record& record) {
        qsizetype offset = 0;
        bool damaged = false;
        bool textReplaced = false;
        while (const std::optional<ItemView> item = nextItem(data, offset, damaged)) {
            const ItemRule<Record>* rule = table.find(item->tag);
            if (!rule) continue; // a tag this kind does not know
            ItemRepairs repairs;
            rule->set(record, rule->element, decodeItemData(rule->encoding, item->data, repairs));
            textReplaced = textReplaced || repairs.textReplaced;
            if (repairs.sizeAdjusted) warn(TEXT_BACKUP_SIZE_ADJUSTED, item->tag);
        }
        if (textReplaced) warn(TEXT_BACKUP_TEXT_REPLACED);
        return !damaged;
    }

    // Ids are unique in their tables; a later record with a known id is skipped.
    template <typename Record, typename Id>
    bool take(const TagTable<Record>& table, QByteArrayView data, std::set<Id>& ids, Id Record::*id,
              std::vector<Record>& into) {
        Record record;
        if (!parse(table, data, record)) return false;
        if (ids.insert(record.*id).second)
            into.push_back(std::move(record));
        else
            warn(TEXT_BACKUP_DUPLICATE_ID, record.*id);
        return true;
    }

    bool readController(QByteArrayView data) {
        CQUORVISData record;
        if (!parse(controllerTags(), data, record)) return false;
        if (record.NumberOfPortOutput == 0) record.NumberOfPortOutput = record.NumberOfPortInput;
        outcome_.contents.controllers.emplace_back(std::move(record));
        return true;
    }

    // A damaged item ends the record; the switches read before it are kept.
    bool readSwitches(QByteArrayView data) {
        BackupSwitches switches = outcome_.contents.switches.value_or(BackupSwitches{});
        if (!parse(switchTags(), data, switches)) warn(TEXT_BACKUP_SWITCHES_CUT);
        outcome_.contents.switches = switches;
        return true;
    }

    template <typename... More> void warn(TextId text, More... more) {
        outcome_.warnings << formatted(text, number_, type_, more...);
    }

    BackupReadOutcome& outcome_;
    int number_ = 0;
    uint16_t type_ = 0;
    std::set<int32_t> groupIds_, accountIds_, mailScheduleIds_, messageScheduleIds_, soundIds_;
};

BackupReadOutcome refused(BackupReadStatus status, TextId text) {
    BackupReadOutcome outcome;
    outcome.status = status;
    outcome.message = loadString(text);
    return outcome;
}

} // namespace

QByteArray encodeBackup(const BackupContents& contents, QString* error) {
    QByteArray out(kFileHeaderSize, '\0');
    RecordWriter writer(out);
    for (const CROOTData& group : contents.groups)
        writer.write(RECORD_GROUP, groupTags(), group);
    for (const std::optional<CQUORVISData>& controller : contents.controllers) {
        if (controller)
            writer.write(RECORD_CONTROLLER, controllerTags(), *controller);
        else
            writer.writeEmpty(RECORD_CONTROLLER);
    }
    for (const CMailAccount& account : contents.mailAccounts)
        writer.write(RECORD_MAIL_ACCOUNT, mailAccountTags(), account);
    for (const CScheduleData& schedule : contents.mailSchedules)
        writer.write(RECORD_EMAIL_SCHEDULE, emailScheduleTags(), schedule);
    for (const CScheduleData& schedule : contents.messageSchedules)
        writer.write(RECORD_MESSAGE_SCHEDULE, messageScheduleTags(), schedule);
    if (contents.switches) writer.write(RECORD_GLOBAL, switchTags(), *contents.switches);
    for (const CSound& sound : contents.sounds)
        writer.write(RECORD_SOUND, soundTags(), sound);
    if (!writer.error().isEmpty()) {
        if (error) *error = writer.error();
        return {};
    }
    const int records = static_cast<int>(out.size() - kFileHeaderSize);
    appendU16(out, crc16(out.constData() + kFileHeaderSize, records));
    const FileHeader header{qToLittleEndian(static_cast<uint32_t>(out.size())),
                            qToLittleEndian(contents.groupCount),
                            qToLittleEndian(contents.controllerCount)};
    std::memcpy(out.data(), &header, sizeof header);
    return out;
}

BackupReadOutcome decodeBackup(const QByteArray& file) {
    // The checksum routine counts in int; no backup the program writes comes near that.
    if (file.size() < kFileHeaderSize + kFileCrcSize || file.size() > INT_MAX)
        return refused(BackupReadStatus::CantRead, TEXT_CANT_READ_FILE);
    FileHeader header;
    std::memcpy(&header, file.constData(), sizeof header);
    if (qFromLittleEndian(header.totalLength) != static_cast<uint64_t>(file.size()))
        return refused(BackupReadStatus::CantRead, TEXT_CANT_READ_FILE);
    const QByteArrayView records(file.constData() + kFileHeaderSize,
                                 file.size() - kFileHeaderSize - kFileCrcSize);
    if (crc16(records.data(), static_cast<int>(records.size())) !=
        readU16(file.constData() + file.size() - kFileCrcSize))
        return refused(BackupReadStatus::Damaged, TEXT_FILE_DAMAGED);

    BackupReadOutcome outcome;
    outcome.contents.groupCount = qFromLittleEndian(header.groupCount);
    outcome.contents.controllerCount = qFromLittleEndian(header.controllerCount);
    RecordReader reader(outcome);
    int number = 0;
    for (qsizetype offset = 0; offset < records.size();) {
        const qsizetype remaining = records.size() - offset - kRecordHeaderSize;
        if (remaining < 0) return refused(BackupReadStatus::Damaged, TEXT_FILE_DAMAGED);
        RecordHeader record;
        std::memcpy(&record, records.data() + offset, sizeof record);
        const uint16_t type = qFromLittleEndian(record.type);
        const uint16_t length = qFromLittleEndian(record.length);
        if (length > kMaxRecordData || length > remaining)
            return refused(BackupReadStatus::Damaged, TEXT_FILE_DAMAGED);
        ++number;
        const QByteArrayView data = records.sliced(offset + kRecordHeaderSize, length);
        offset += kRecordHeaderSize + length;
        // An empty record carries nothing; for a controller it keeps the position free.
        if (length == 0) {
            if (type == RECORD_CONTROLLER) outcome.contents.controllers.emplace_back();
            continue;
        }
        if (!reader.read(number, type, data))
            return refused(BackupReadStatus::Failed, TEXT_RESTORE_FAILED);
    }
    outcome.status = BackupReadStatus::Ok;
    return outcome;
}

} // namespace iomira
