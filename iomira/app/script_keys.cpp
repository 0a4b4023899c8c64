#include "app/script_keys.h"

#include "core/local_text.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <climits>

namespace iomira {

namespace {

struct Product {
    const char* text;
    int deviceType;
    int inputs;
    int outputs;
};

// Compared in this order, exactly; the first match sets the family and the port counts.
constexpr Product kProducts[] = {
    {"TKA-31", 0, 8, 8},  {"TKA-31P", 0, 8, 8}, {"TKA-21", 0, 8, 8},  {"TKB-11", 0, 1, 1},
    {"TKA-33", 0, 2, 1},  {"TKA-33P", 0, 2, 1}, {"TKA-35", 0, 4, 4},  {"TKA-35P", 0, 4, 4},
    {"RLX-810", 1, 0, 0}, {"RLX-820", 2, 4, 0}, {"RLX-830", 3, 0, 2}, {"RLX-850", 4, 4, 4},
    {"RLX-840", 5, 0, 0},
};
constexpr int kOutputsOnlyFamily = 3;
constexpr int kOutputsOnlyView = 2;
constexpr int kFixedUnitId = 255;
constexpr int kDefaultPortCount = 8;
constexpr int kPulseLevelOn = 255;
constexpr int kQuotedValueLength = 40; // of a value quoted in a warning

QByteArray indexed(const char* key, int n) {
    return QByteArray(key) + QByteArray::number(n);
}

QList<QByteArray> allKeys() {
    QList<QByteArray> keys{"Comment",
                           "Group",
                           "Network",
                           "HostAddr",
                           "HostPort",
                           "NumberOfPort",
                           "Product",
                           "UnitId",
                           "InputAddr",
                           "OutputAddr",
                           "AutomaticConnection",
                           "OutputPortControl",
                           "Polling",
                           "PollingInput",
                           "UseWarningMsg",
                           "WarningMsgType",
                           "MsgAllOn",
                           "MsgAllOff",
                           "UseLog"};
    for (const char* perPort : {"DiComment", "DoComment", "UseWarningMsgDo", "DoMsgOn", "DoMsgOff",
                                "UsePulseDo", "DurationDo", "SignalLevelDo"}) {
        for (int n = 0; n < kDigitalPorts; ++n)
            keys << indexed(perPort, n);
    }
    return keys;
}

// Builds one record, key by key, with the rules of the form it was read from.
class RecordBuilder {
  public:
    RecordBuilder(ScriptForm form, const ScriptLookup& lookup, QStringList& warnings)
        : form_(form), lookup_(lookup), warnings_(warnings) {}

    void build(ScriptRecord& out) {
        CQUORVISData& r = out.record;
        r.DeviceComment = text("Comment", QString());
        out.groupName = text("Group", QString());
        r.IsServer = network();
        hostAddr(r);
        r.HostPort = number("HostPort", 0);
        product(r);
        r.UnitId = r.DeviceType == 0 ? number("UnitId", 0) : kFixedUnitId;
        r.InputAddr = number("InputAddr", 0);
        r.OutputAddr = number("OutputAddr", 0);
        flag("AutomaticConnection", r.AutomaticConnection);
        flag("OutputPortControl", r.OutputPortControl);
        flag("Polling", r.Polling);
        flag("PollingInput", r.PollingInput);
        flag("UseWarningMsg", r.UseWarningMsg);
        zeroOrOne("WarningMsgType", r.WarningMsgType);
        r.MsgAllOn = text("MsgAllOn", QString());
        r.MsgAllOff = text("MsgAllOff", QString());
        for (int n = 0; n < kDigitalPorts; ++n)
            port(r, n);
        zeroOrOne("UseLog", r.UseLog);
    }

  private:
    // The value with anything after a NUL byte taken off, as the original C strings ended there.
    ScriptValue value(const QByteArray& key) {
        ScriptValue v = lookup_(key);
        if (v.state == ScriptValue::State::Ignored) {
            warnings_ << scriptWarning(TEXT_SCRIPT_NO_LINE_END, v.line, {QString::fromLatin1(key)});
        } else if (v.state == ScriptValue::State::Present) {
            const qsizetype nul = v.bytes.indexOf('\0');
            if (nul >= 0) {
                v.bytes.truncate(nul);
                warnings_ << scriptWarning(TEXT_SCRIPT_NUL_BYTE, v.line,
                                           {QString::fromLatin1(key)});
            }
        }
        return v;
    }

    QString text(const QByteArray& key, const QString& otherwise) {
        const ScriptValue v = value(key);
        return v.state == ScriptValue::State::Present ? fromLocalCodeSet(v.bytes) : otherwise;
    }

    // Leading decimal digits; a value without any reads as 0 and says so.
    int parsed(const ScriptValue& v, const QByteArray& key) {
        qint64 result = 0;
        qsizetype at = 0;
        bool tooLarge = false;
        for (; at < v.bytes.size() && v.bytes[at] >= '0' && v.bytes[at] <= '9'; ++at) {
            result = result * 10 + (v.bytes[at] - '0');
            if (result > INT_MAX) {
                result = INT_MAX;
                tooLarge = true;
            }
        }
        const QString name = QString::fromLatin1(key);
        if (at == 0 && !v.bytes.isEmpty()) {
            warnings_ << scriptWarning(
                TEXT_SCRIPT_NOT_A_NUMBER, v.line,
                {name + QLatin1Char('=') + fromLocalCodeSet(v.bytes).left(kQuotedValueLength)});
        } else if (tooLarge) {
            warnings_ << scriptWarning(TEXT_SCRIPT_NUMBER_TOO_LARGE, v.line,
                                       {name, QString::number(INT_MAX)});
        }
        return static_cast<int>(result);
    }

    int number(const QByteArray& key, int otherwise) {
        const ScriptValue v = value(key);
        return v.state == ScriptValue::State::Present ? parsed(v, key) : otherwise;
    }

    // INI stores any non-zero number as 1, CSV the number as written; an ignored key keeps
    // the field's default of a new record.
    void flag(const QByteArray& key, int& field) {
        const ScriptValue v = value(key);
        if (v.state == ScriptValue::State::Ignored) return;
        const int n = v.state == ScriptValue::State::Present ? parsed(v, key) : 0;
        field = form_ == ScriptForm::Ini ? (n != 0 ? 1 : 0) : n;
    }

    // INI takes only 0 or 1, CSV the number as written.
    void zeroOrOne(const QByteArray& key, int& field) {
        const ScriptValue v = value(key);
        if (v.state == ScriptValue::State::Ignored) return;
        const int n = v.state == ScriptValue::State::Present ? parsed(v, key) : 0;
        field = form_ == ScriptForm::Ini && n != 1 ? 0 : n;
    }

    // INI reads the mode as a number, CSV only the exact texts "0", "1" and "2".
    int network() {
        const ScriptValue v = value("Network");
        if (v.state != ScriptValue::State::Present) return 0;
        if (form_ == ScriptForm::Csv) {
            for (const char* mode : {"0", "1", "2"})
                if (v.bytes == mode) return v.bytes.toInt();
            return 0;
        }
        const int n = parsed(v, "Network");
        return n <= 2 ? n : 0;
    }

    void hostAddr(CQUORVISData& r) {
        const ScriptValue v = value("HostAddr");
        if (v.state != ScriptValue::State::Present) return;
        const QString host = fromLocalCodeSet(v.bytes);
        if (host.size() > kHostAddrMaxLength)
            warnings_ << scriptWarning(TEXT_SCRIPT_HOST_TOO_LONG, v.line);
        r.setHostAddr(host);
    }

    void product(CQUORVISData& r) {
        const ScriptValue v = value("Product");
        if (v.state == ScriptValue::State::Present) {
            for (const Product& p : kProducts) {
                if (v.bytes != p.text) continue;
                r.DeviceType = p.deviceType;
                r.NumberOfPortInput = p.inputs;
                r.NumberOfPortOutput = p.outputs;
                if (p.deviceType == kOutputsOnlyFamily) r.ViewMode = kOutputsOnlyView;
                break;
            }
        }
        // Read even when not needed, so that its problems are told either way.
        int ports = number("NumberOfPort", kDefaultPortCount);
        if (ports < 1 || ports > kDigitalPorts) ports = kDefaultPortCount;
        if (r.DeviceType == 0 && (r.NumberOfPortInput == 0 || r.NumberOfPortOutput == 0))
            r.NumberOfPortInput = r.NumberOfPortOutput = ports;
    }

    void port(CQUORVISData& r, int n) {
        r.DiComment[n] = text(indexed("DiComment", n), QStringLiteral("DI%1").arg(n));
        r.DoComment[n] = text(indexed("DoComment", n), QStringLiteral("DO%1").arg(n));
        flag(indexed("UseWarningMsgDo", n), r.UseWarningMsgDo[n]);
        r.DoMsgOnOn[n] = text(indexed("DoMsgOn", n), QString());
        r.DoMsgOnOff[n] = text(indexed("DoMsgOff", n), QString());
        flag(indexed("UsePulseDo", n), r.UsePulseDo[n]);
        r.DurationDo[n] = duration(indexed("DurationDo", n));
        r.SignalLevelDo[n] = number(indexed("SignalLevelDo", n), 0) != 0 ? kPulseLevelOn : 0;
    }

    uint16_t duration(const QByteArray& key) {
        const ScriptValue v = value(key);
        if (v.state != ScriptValue::State::Present) return 0;
        const int n = parsed(v, key);
        const auto kept = static_cast<uint16_t>(n & 0xFFFF);
        if (n != kept) {
            warnings_ << scriptWarning(TEXT_SCRIPT_NOT_16_BITS, v.line,
                                       {QString::fromLatin1(key), QString::number(kept)});
        }
        return kept;
    }

    ScriptForm form_;
    const ScriptLookup& lookup_;
    QStringList& warnings_;
};

} // namespace

const QList<QByteArray>& scriptKeys() {
    static const QList<QByteArray> keys = allKeys();
    return keys;
}

ScriptRecord scriptRecord(ScriptForm form, int line, const ScriptLookup& lookup,
                          QStringList& warnings) {
    ScriptRecord out;
    out.line = line;
    RecordBuilder(form, lookup, warnings).build(out);
    return out;
}

QString scriptText(int textId, const QStringList& args) {
    const QString pattern = loadString(textId);
    QString filled;
    qsizetype next = 0;
    for (qsizetype at = 0; at < pattern.size(); ++at) {
        const bool placeholder =
            pattern[at] == QLatin1Char('%') && at + 1 < pattern.size() &&
            (pattern[at + 1] == QLatin1Char('d') || pattern[at + 1] == QLatin1Char('s'));
        if (placeholder && next < args.size()) {
            filled += args[next++];
            ++at;
        } else {
            filled += pattern[at];
        }
    }
    return filled;
}

QString scriptWarning(int textId, int line, const QStringList& args) {
    return scriptText(textId, QStringList{QString::number(line)} + args);
}

QByteArray withoutByteOrderMark(const QByteArray& bytes) {
    static const QByteArray mark("\xEF\xBB\xBF");
    return bytes.startsWith(mark) ? bytes.mid(mark.size()) : bytes;
}

} // namespace iomira
