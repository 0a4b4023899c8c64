// The INI form: one "[CONTROLLER]" section per controller, one "Key=value" line per setting.

#include "app/script_keys.h"
#include "app/script_reader.h"

#include "core/texts.h"

namespace iomira {

namespace {

constexpr char kSectionMark[] = "[CONTROLLER]";
constexpr qsizetype kValueMaxBytes = 2047;

// Only at the start of a line, so that a value that mentions the mark starts no section.
qsizetype nextSection(const QByteArray& bytes, qsizetype from) {
    for (qsizetype at = bytes.indexOf(kSectionMark, from); at >= 0;
         at = bytes.indexOf(kSectionMark, at + 1)) {
        if (at == 0 || bytes[at - 1] == '\n') return at;
    }
    return -1;
}

class Section {
  public:
    Section(QByteArrayView text, int line, QStringList& warnings)
        : text_(text), line_(line), warnings_(warnings) {}

    // A key counts only at the start of a line: "DeviceComment=" is not "Comment=", and a
    // value holding "HostPort=" sets nothing. The first such line wins.
    ScriptValue find(const QByteArray& key) const {
        const QByteArray pattern = '\n' + key + '=';
        const qsizetype at = text_.indexOf(pattern);
        if (at < 0) return {};
        ScriptValue v;
        v.line = line_ + 1 + static_cast<int>(text_.first(at).count('\n'));
        const qsizetype start = at + pattern.size();
        const qsizetype end = text_.indexOf('\n', start);
        if (end < 0) {
            v.state = ScriptValue::State::Ignored;
            return v;
        }
        QByteArrayView value = text_.sliced(start, end - start);
        if (value.endsWith('\r')) value.chop(1);
        if (value.size() > kValueMaxBytes) {
            warnings_ << scriptWarning(TEXT_SCRIPT_VALUE_TOO_LONG, v.line,
                                       {QString::fromLatin1(key)});
            value = value.first(kValueMaxBytes);
        }
        v.state = ScriptValue::State::Present;
        v.bytes = value.toByteArray();
        return v;
    }

  private:
    QByteArrayView text_;
    int line_;
    QStringList& warnings_;
};

} // namespace

ScriptReadOutcome readIniScript(const QByteArray& input) {
    ScriptReadOutcome outcome;
    const QByteArray bytes = withoutByteOrderMark(input);
    const QByteArrayView all(bytes);
    int line = 1;
    qsizetype counted = 0; // line breaks before this position are in `line`
    for (qsizetype at = nextSection(bytes, 0); at >= 0;) {
        line += static_cast<int>(all.sliced(counted, at - counted).count('\n'));
        counted = at;
        const qsizetype next = nextSection(bytes, at + 1);
        const qsizetype end = next >= 0 ? next : bytes.size();
        const Section section(all.sliced(at, end - at), line, outcome.warnings);
        outcome.records.push_back(scriptRecord(
            ScriptForm::Ini, line, [&](const QByteArray& key) { return section.find(key); },
            outcome.warnings));
        at = next;
    }
    if (outcome.records.empty()) outcome.warnings << scriptText(TEXT_SCRIPT_NO_CONTROLLERS, {});
    return outcome;
}

} // namespace iomira
