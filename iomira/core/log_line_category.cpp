#include "core/log_line_category.h"

#include "core/local_text.h"
#include "core/log_texts.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <vector>

namespace iomira {

namespace {

using Category = LogLineCategory;

// How a writer's text is matched: whole, or as the start of a longer line. "%d" in a text
// stands for a number, "%s" for any text, as the writers fill them.
enum class Match { Whole, Start };

struct ById {
    int id;
    Category category;
    Match match;
};

// The log's own English messages.
constexpr ById kLogTexts[] = {
    {TEXT_SEND_READ_INPUTS, Category::Input, Match::Whole},
    {TEXT_SEND_READ_INPUTS_INITIAL, Category::Input, Match::Whole},
    {TEXT_SEND_READ_ALL_REGISTERS, Category::Input, Match::Whole},
    {TEXT_SEND_READ_INPUT_REGISTERS, Category::Input, Match::Whole},
    {TEXT_RESPONSE_INPUTS, Category::Input, Match::Whole},
    {TEXT_RESPONSE_ADC, Category::Input, Match::Whole},
    {TEXT_ERROR_READ_INPUTS, Category::Input, Match::Whole},
    {TEXT_ERROR_READ_ADC, Category::Input, Match::Whole},
    {TEXT_SEND_RESET_COUNTER, Category::Input, Match::Whole},
    {TEXT_SEND_READ_OUTPUTS, Category::Output, Match::Whole},
    {TEXT_SEND_READ_OUTPUTS_INITIAL, Category::Output, Match::Whole},
    {TEXT_RESPONSE_OUTPUTS, Category::Output, Match::Whole},
    {TEXT_ERROR_READ_OUTPUTS, Category::Output, Match::Whole},
    {TEXT_COIL_DONE, Category::Output, Match::Whole},
    {TEXT_COIL_ERROR, Category::Output, Match::Whole},
    {TEXT_PULSE_DONE, Category::Output, Match::Whole},
    {TEXT_PULSE_ERROR, Category::Output, Match::Whole},
    {TEXT_OUTPUT_PORT_STATUS, Category::Output, Match::Whole},
    {TEXT_SEND_WRITE_COIL, Category::Output, Match::Whole},
    {TEXT_SEND_WRITE_PULSE, Category::Output, Match::Whole},
    {TEXT_SOCKET_NOT_ESTABLISHED, Category::Connection, Match::Whole},
    {TEXT_UNKNOWN_FUNCTION, Category::Connection, Match::Whole},
    // Damaged frames may say how many more were folded into the line.
    {TEXT_INVALID_LENGTH, Category::Connection, Match::Start},
    // Mail lines end with the mail's number, controller and recipients.
    {TEXT_NM_TRY_TO_SEND, Category::Email, Match::Start},
    {TEXT_NM_NO_MAIL_SERVER, Category::Email, Match::Start},
    {TEXT_NM_SENT, Category::Email, Match::Start},
};

// Modbus exception texts, written in the language the program runs in.
constexpr ById kExceptionTexts[] = {
    {TEXT_ILLEGAL_FUNCTION, Category::Input, Match::Whole},
    {TEXT_ILLEGAL_ADDRESS, Category::Input, Match::Whole},
    {TEXT_ILLEGAL_VALUE, Category::Input, Match::Whole},
    {TEXT_DEVICE_FAILURE, Category::Input, Match::Whole},
    {TEXT_DEVICE_BUSY, Category::Input, Match::Whole},
    {TEXT_MODBUS_ERROR, Category::Input, Match::Whole},
};

struct Literal {
    const char* text;
    Category category;
    Match match;
};

// Texts their writers compose in place. A socket error is "[errno] text"; a mail that failed
// is "[number]" and the mail server's answer, with no space between.
constexpr Literal kLiterals[] = {
    {"Input port status", Category::Input, Match::Whole},
    {"Not responding", Category::Connection, Match::Whole},
    {"Communication lost", Category::Connection, Match::Whole},
    {"Communication restored", Category::Connection, Match::Whole},
    {"[%d] ", Category::Connection, Match::Start},
    {"[%d]", Category::Email, Match::Start},
};

// Value entries name what they measure in the tag column.
constexpr const char* kValueTags[] = {"COUNTER", "ANALOG"};

struct KnownText {
    QByteArray format;
    Category category;
    Match match;
};

std::vector<KnownText> knownTexts() {
    std::vector<KnownText> known;
    for (const ById& t : kLogTexts)
        known.push_back({toLocalCodeSet(logText(t.id)), t.category, t.match});
    for (const ById& t : kExceptionTexts) {
        for (const int language : {LANG_ENGLISH, LANG_KOREAN, LANG_CHINESE})
            known.push_back({toLocalCodeSet(loadString(t.id, language)), t.category, t.match});
    }
    for (const Literal& t : kLiterals)
        known.push_back({t.text, t.category, t.match});
    return known;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

qsizetype numberLength(QByteArrayView text) {
    qsizetype n = text.startsWith('-') ? 1 : 0;
    const qsizetype first = n;
    while (n < text.size() && isDigit(text[n]))
        ++n;
    return n == first ? 0 : n;
}

bool matches(QByteArrayView format, QByteArrayView text, Match match) {
    while (!format.isEmpty()) {
        if (format.startsWith("%d")) {
            const qsizetype n = numberLength(text);
            if (n == 0) return false;
            format = format.sliced(2);
            text = text.sliced(n);
        } else if (format.startsWith("%s")) {
            format = format.sliced(2);
            for (qsizetype at = 0; at <= text.size(); ++at) {
                if (matches(format, text.sliced(at), match)) return true;
            }
            return false;
        } else {
            if (text.isEmpty() || text.front() != format.front()) return false;
            format = format.sliced(1);
            text = text.sliced(1);
        }
    }
    return match == Match::Start || text.isEmpty();
}

bool isValueTag(QByteArrayView tag) {
    for (const char* valueTag : kValueTags) {
        if (tag == valueTag) return true;
    }
    return false;
}

} // namespace

LogLineCategory classifyLogLine(const LogLineFields& fields) {
    if (fields.header || (fields.flaws & LOG_LINE_COLUMNS)) return Category::Other;
    static const std::vector<KnownText> known = knownTexts();
    const QByteArrayView etc = fields.columns[LOG_ETC];
    if (!etc.isEmpty()) {
        for (const KnownText& t : known) {
            if (matches(t.format, etc, t.match)) return t.category;
        }
    }
    if (isValueTag(fields.columns[LOG_TAG_NAME])) return Category::Input;
    // A connection's state change is a state entry with no message and no port.
    const bool stateChange = etc.isEmpty() && fields.columns[LOG_TAG_NAME].isEmpty() &&
                             fields.columns[LOG_ADDRESS].isEmpty();
    if (stateChange && !fields.columns[LOG_COM_NAME].isEmpty()) return Category::Connection;
    return Category::Other;
}

} // namespace iomira
