// What the model windows show for raw register values: scaled analog values and their bars,
// counters and the RLX-840 temperature, including the records and registers an operator or a
// faulty controller can get wrong.

#include "core/string_table.h"
#include "monitor/analog_scale.h"
#include "monitor/bar_colors.h"
#include "monitor/counter_text.h"
#include "monitor/temperature_text.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace iomira {
namespace {

struct AnalogCase {
    const char* min;
    const char* max;
    int raw;
    const char* shown; // with unit "mA"
};

TEST(AnalogScale, RawValuesAreScaledIntoTheRangeAndRoundedToHundredths) {
    const AnalogCase cases[] = {
        {"0", "10", 4095, "10.00mA "},   {"0", "10", 2048, "5.00mA "},
        {"4", "20", 0, "4.00mA "},       {"4", "20", 4095, "20.00mA "},
        {"-5.5", "5.5", 0, "-5.50mA "},  {"0", "100", 1, "0.02mA "},      // 0.0244 rounds down
        {"0", "4095", 1, "1.00mA "},     {" 0 ", "10", 4095, "10.00mA "}, // spaces allowed
        {"10", "0", 4095, "0.00mA "},    {"10", "0", 0, "10.00mA "},      // a falling scale
        {"", "", 4095, "0.00mA "},       {"-", "10", 0, "0.00mA "},       // not numbers: 0
        {"0", "1e999", 4095, "0.00mA "}, {"0", "10", 5000, "10.00mA "},   // raw clamped
        {"0", "10", -7, "0.00mA "},      {"0", "1e300", 4095, "20000000.00mA "},
    };
    for (const AnalogCase& k : cases) {
        const AnalogRange range = analogRange(k.min, k.max);
        EXPECT_EQ(analogText(scaledHundredths(range, k.raw), "mA"), k.shown)
            << k.min << ".." << k.max << " raw " << k.raw;
    }
    EXPECT_EQ(disconnectedAnalogText("V"), "0.00V ");
    EXPECT_EQ(analogText(scaledHundredths(analogRange("0", "10"), 2048), ""), "5.00 ");
}

TEST(AnalogScale, BarsSpanTheIntegerPartsAndHoldTheirPosition) {
    EXPECT_EQ(barRange(analogRange("-5.5", "10")).low, -500);
    EXPECT_EQ(barRange(analogRange("-5.5", "10")).high, 1000);
    EXPECT_EQ(barRange(analogRange("0.9", "20.7")).low, 0);
    EXPECT_EQ(barRange(analogRange("0.9", "20.7")).high, 2000);
    const BarRange falling = barRange(analogRange("10", "0"));
    EXPECT_EQ(falling.low, 0);
    EXPECT_EQ(falling.high, 1000);
    const BarRange huge = barRange(analogRange("-1e300", "1e300"));
    EXPECT_LT(huge.low, 0);
    EXPECT_GT(huge.high, 0);
    const BarRange bar = barRange(analogRange("0", "10"));
    EXPECT_EQ(barPosition(bar, 500), 500);
    // The rounded value may pass the integer part of the maximum: the bar stops at its end.
    EXPECT_EQ(barPosition(barRange(analogRange("0.5", "10.5")), 1050), 1000);
    EXPECT_EQ(barPosition(bar, -20), 0);
}

struct BarTextCase {
    uint32_t foreground, background;
    int position; // on a bar from -400 to 8500
    uint32_t text;
};

TEST(BarColors, TheBarsTextContrastsWithTheColourUnderItsMiddle) {
    const BarTextCase cases[] = {
        {0x00383226, 0x009F5B00, 8500, kWhiteText}, // the default dark slate on blue
        {0x00383226, 0x009F5B00, -400, kWhiteText}, //
        {0x00C08000, 0x00FFFFFF, 4049, kBlackText}, // blue on white, just short of the middle
        {0x00C08000, 0x00FFFFFF, 4050, kWhiteText}, // at the middle
        {0x0000FFFF, 0x00000000, 6000, kBlackText}, // yellow on black
        {0x0000FFFF, 0x00000000, 0, kWhiteText},
    };
    const BarRange bar{-400, 8500};
    for (const BarTextCase& k : cases)
        EXPECT_EQ(barTextColor(k.foreground, k.background, bar, k.position), k.text)
            << std::hex << k.foreground << " on " << k.background << std::dec << " at "
            << k.position;
}

TEST(CounterText, HighWordFirstWithDigitGroups) {
    EXPECT_EQ(counterText(counterValue(0x0001, 0x86A0)), "100,000 ");
    EXPECT_EQ(counterText(0), "0 ");
    EXPECT_EQ(counterText(999), "999 ");
    EXPECT_EQ(counterText(1000), "1,000 ");
    EXPECT_EQ(counterText(1234567), "1,234,567 ");
    // Registers arrive as ints; only their low 16 bits count.
    EXPECT_EQ(counterValue(-1, -1), 0xFFFFFFFFu);
    EXPECT_EQ(counterText(counterValue(0xFFFF, 0xFFFF)), "4,294,967,295 ");
    EXPECT_EQ(counterText(counterValue(0x8000, 0)), "2,147,483,648 ");
    EXPECT_EQ(counterText(counterValue(0x1FFFF, 0x10000)), "4,294,901,760 ");
}

TEST(TemperatureText, SignedTenthsInTheModesUnit) {
    EXPECT_EQ(temperatureText(0xFF85, 0), QString::fromUtf8("-12.3\u2103 "));
    EXPECT_EQ(temperatureText(-123, 0), QString::fromUtf8("-12.3\u2103 "));
    EXPECT_EQ(temperatureText(215, 1), QString::fromUtf8("21.5\u2109 "));
    EXPECT_EQ(temperatureText(5, 7), "0.5");
    EXPECT_EQ(disconnectedTemperatureText(0), QString::fromUtf8("0.0\u2103 "));
}

TEST(TemperatureText, SensorErrorsInTheLanguageAndInTheLog) {
    setLanguage(LANG_ENGLISH);
    EXPECT_EQ(sensorErrorText(3), "[E03] RTD Sensor Disconnected.");
    EXPECT_EQ(sensorErrorText(1), "[E01] H/W Init Error.");
    EXPECT_EQ(sensorErrorText(2), "[E02] H/W Runtime Error.");
    EXPECT_EQ(sensorErrorText(4), "[E04] RTD Sensor Failed.");
    EXPECT_EQ(sensorErrorText(9), "[E09] ");
    EXPECT_EQ(sensorErrorText(123), "[E123] ");
    setLanguage(LANG_KOREAN);
    EXPECT_NE(sensorErrorText(3), "[E03] RTD Sensor Disconnected.");
    EXPECT_TRUE(sensorErrorText(3).startsWith("[E03] "));
    EXPECT_EQ(sensorErrorLogText(3), "[E03] RTD Sensor Disconnected.");
    setLanguage(LANG_ENGLISH);
}

} // namespace
} // namespace iomira
