// Rows of comma-separated values, byte for byte as RFC 4180 quotes them.

#include "core/csv_writer.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

TEST(CsvRows, FieldsAreQuotedOnlyWhenTheyMustBe) {
    struct Case {
        QStringList fields;
        QByteArray row;
    };
    const Case cases[] = {
        {{"plain", "two words", " padded "}, "plain,two words, padded \r\n"},
        {{"a,b"}, "\"a,b\"\r\n"},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\"\r\n"},
        {{"\""}, "\"\"\"\"\r\n"},
        {{"line\r\nbreak", "cr\r", "lf\n"}, "\"line\r\nbreak\",\"cr\r\",\"lf\n\"\r\n"},
        {{"", "", ""}, ",,\r\n"},
        {{}, "\r\n"},
        {{QString::fromUtf8("펌프 1"), QString::fromUtf8("水位,高")},
         "\xED\x8E\x8C\xED\x94\x84 1,\"\xE6\xB0\xB4\xE4\xBD\x8D,\xE9\xAB\x98\"\r\n"},
        {{"tab\there", "semi;colon", "'quote'"}, "tab\there,semi;colon,'quote'\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(csvRow(c.fields), c.row) << c.row.toStdString();
}

TEST(CsvRows, RowsOfBytesAppendToWhatIsThere) {
    QByteArray out = "Time,Value\r\n";
    const QByteArrayView first[] = {"20260506/17:08:09", "1,5"};
    const QByteArrayView second[] = {"x\"y", ""};
    appendCsvRow(out, first);
    appendCsvRow(out, second);
    EXPECT_EQ(out, "Time,Value\r\n20260506/17:08:09,\"1,5\"\r\n\"x\"\"y\",\r\n");
}

} // namespace
} // namespace iomira
