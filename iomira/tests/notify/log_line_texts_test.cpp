// The texts the monitor and the mail queue compose for the log come back in their categories
// when the log is read: socket errors, Modbus exceptions in every language, sensor errors and
// every line a notification mail leaves.

#include "core/log_entries.h"
#include "core/log_line.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "monitor/error_text.h"
#include "monitor/temperature_text.h"
#include "notify/notification_mail.h"
#include "notify/port_change_dispatch.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <netdb.h>

namespace iomira {
namespace {

using Category = LogLineCategory;

const QDateTime kNow(QDate(2026, 5, 6), QTime(17, 8, 9));

CQUORVISData boiler() {
    CQUORVISData c;
    c.DeviceId = 9;
    c.DeviceComment = QString::fromUtf8("Boiler [1] 보일러");
    c.MailTo = "ops@example.org;night@example.org";
    c.DiComment[0] = "Flame, main";
    c.DoComment[1] = "Pump";
    return c;
}

Category categoryOf(const QString& text) {
    const LogLine line =
        parseLogLine(stateEntryLine(boiler(), text, -1, LOG_VALUE_NONE, 3, kNow).toUtf8());
    EXPECT_EQ(line.columns[LOG_ETC], text);
    EXPECT_EQ(line.flaws, 0u);
    return line.category;
}

class LogLineLanguages : public ::testing::Test {
  protected:
    ~LogLineLanguages() override { setLanguage(before_); }
    int before_ = currentLanguage();
};

TEST_F(LogLineLanguages, SocketAndModbusErrorsInEveryLanguage) {
    EXPECT_EQ(categoryOf(socketErrorText(ECONNREFUSED)), Category::Connection);
    EXPECT_EQ(categoryOf(socketErrorText(ETIMEDOUT)), Category::Connection);
    EXPECT_EQ(categoryOf(socketErrorText(EAI_NONAME)), Category::Connection);
    for (const int language : {LANG_ENGLISH, LANG_KOREAN, LANG_CHINESE}) {
        setLanguage(language);
        for (const int code : {1, 2, 3, 4, 6, 11}) {
            EXPECT_EQ(categoryOf(modbusExceptionText(code)), Category::Input)
                << language << " " << code;
        }
    }
}

TEST(LogLineTexts, SensorErrorsAreInputLines) {
    for (const int code : {1, 2, 3, 4, 9}) {
        const LogLine line = parseLogLine(
            valueEntryLine(boiler(), "ANALOG", sensorErrorLogText(code), 0, code, kNow).toUtf8());
        EXPECT_EQ(line.category, Category::Input) << code;
    }
}

TEST(LogLineTexts, EveryMailLineIsAnEmailLine) {
    const CQUORVISData c = boiler();
    const QString texts[] = {
        tryToSendText(4, c, MAIL_PORT_INPUT, 0, 1),
        tryToSendText(5, c, MAIL_PORT_OUTPUT, 1, 0),
        reportLogText({c.DeviceId, 4, MAIL_SENT, "[4]ops@example.org"}, c),
        reportLogText({c.DeviceId, 4, MAIL_ACCOUNT_NOT_FOUND, {}}, c),
        reportLogText({c.DeviceId, 5, MAIL_SMTP_FAILED, "[5]Could not connect to the server"}, c),
    };
    for (const QString& text : texts)
        EXPECT_EQ(categoryOf(text), Category::Email) << text.toStdString();
}

} // namespace
} // namespace iomira
