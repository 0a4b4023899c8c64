// Decoding of complete bodies: every function and tag combination, exceptions, malformed
// bodies, the identification response and the change report.
#include <gtest/gtest.h>

#include <functional>

#include "corvel/corvel.h"
#include "decoder.h"
#include "support.h"

using corvel::DecodeResult;
using corvel::ReceivedValues;
using corvel_test::hex;

namespace {

struct Case {
    const char* name;
    const char* body;
    uint8_t tag;
    int code;
    std::function<void(const ReceivedValues&)> check;
};

DecodeResult decode(const std::string& body, uint8_t tag, ReceivedValues& values) {
    auto bytes = hex(body);
    return corvel::decode_body(bytes.data(), bytes.size(), tag, values);
}

// Values as a controller has them after some earlier traffic.
ReceivedValues busy_values() {
    ReceivedValues values;
    values.inputs = 0xAB00;
    values.outputs = 0xCD00;
    values.exception.code = 2;
    values.input_read_error = 1;
    values.output_read_error = 1;
    return values;
}

const int NONE = corvel::NO_NOTIFICATION;

} // namespace

TEST(Decode, EveryRowOfTheTable) {
    const Case cases[] = {
        {"coils: first data byte, high byte kept", "01 01 01 A5", 0x2D, MB_OUTPUTS,
         [](auto& v) {
             EXPECT_EQ(v.outputs, 0xCDA5);
             EXPECT_EQ(v.output_read_error, 0);
             EXPECT_EQ(v.exception.code, 0);
         }},
        {"discrete inputs", "01 02 01 09", 0x2C, MB_INPUTS,
         [](auto& v) {
             EXPECT_EQ(v.inputs, 0xAB09);
             EXPECT_EQ(v.input_read_error, 0);
         }},
        {"holding, input tag", "01 03 02 12 34", 0x2C, MB_INPUTS,
         [](auto& v) { EXPECT_EQ(v.inputs, 0x1234); }},
        {"holding, tag 0 reads as inputs", "01 03 02 12 34", 0x00, MB_INPUTS,
         [](auto& v) { EXPECT_EQ(v.inputs, 0x1234); }},
        {"holding, unlisted tag reads as inputs", "01 03 02 00 07", 0x31, MB_INPUTS,
         [](auto& v) { EXPECT_EQ(v.inputs, 0x0007); }},
        {"holding, outputs tag", "01 03 02 00 81", 0x2D, MB_OUTPUTS,
         [](auto& v) {
             EXPECT_EQ(v.outputs, 0x0081);
             EXPECT_EQ(v.output_read_error, 0);
         }},
        {"holding, tag 3 is outputs too", "01 03 02 00 01", 0x33, MB_OUTPUTS,
         [](auto& v) { EXPECT_EQ(v.outputs, 1); }},
        {"holding, single register", "01 03 02 FE DC", 0x2E, MB_REGISTER,
         [](auto& v) {
             EXPECT_EQ(v.single_register, 0xFEDCu);
             EXPECT_EQ(v.inputs, 0xAB00) << "inputs untouched";
             EXPECT_EQ(v.exception.code, 0);
         }},
        {"holding, analog modes", "01 03 04 00 01 01 00", 0x39, MB_ANALOG_MODES,
         [](auto& v) {
             EXPECT_EQ(v.analog_modes[0], 0x0001);
             EXPECT_EQ(v.analog_modes[1], 0x0100);
         }},
        {"holding, odd byte count", "01 03 03 00 01 02", 0x2C, MB_BAD_PACKET,
         [](auto& v) { EXPECT_EQ(v.inputs, 0xAB00); }},
        {"holding, byte count over 250", "01 03 FC 00 01", 0x2C, MB_BAD_PACKET, nullptr},
        {"holding, no register for a word", "01 03 00", 0x2C, MB_BAD_PACKET, nullptr},
        {"input registers", "01 04 04 00 0A 00 0B", 0x34, MB_INPUTS,
         [](auto& v) {
             EXPECT_EQ(v.input_registers[0], 10);
             EXPECT_EQ(v.input_registers[1], 11);
             EXPECT_EQ(v.input_registers[2], 0);
         }},
        {"analog values", "01 04 02 0F A0", 0x35, MB_ANALOG_VALUES,
         [](auto& v) { EXPECT_EQ(v.analog_values[0], 0x0FA0); }},
        {"counters", "01 04 04 00 01 00 02", 0x36, MB_COUNTERS,
         [](auto& v) { EXPECT_EQ(v.counters[1], 2); }},
        {"analog errors", "01 04 02 00 03", 0x38, MB_ANALOG_ERRORS,
         [](auto& v) { EXPECT_EQ(v.analog_errors[0], 3); }},
        {"input registers nobody asked for", "01 04 02 00 03", 0x2C, NONE,
         [](auto& v) { EXPECT_EQ(v.exception.code, 0); }},
        {"input registers, odd count", "01 04 01 00", 0x35, MB_BAD_PACKET, nullptr},
        {"coil write acknowledged", "01 05 00 13 FF 00", 0x30, MB_COIL_DONE,
         [](auto& v) {
             EXPECT_EQ(v.coil_write.address, 0x13);
             EXPECT_EQ(v.coil_write.value_high, 0xFF);
             EXPECT_EQ(v.coil_write.unit_id, 1);
         }},
        {"input-change enable acknowledged", "01 05 04 B2 FF 00", 0x37, MB_DI_CHANGE_DONE,
         [](auto& v) { EXPECT_EQ(v.coil_write.address, 1202); }},
        {"coil write with another tag", "01 05 00 01 FF 00", 0x31, NONE,
         [](auto& v) { EXPECT_EQ(v.coil_write.address, 1); }},
        {"pulse acknowledged", "01 69 00 02 03 E8 01", 0x2F, MB_PULSE_DONE,
         [](auto& v) {
             EXPECT_EQ(v.pulse_response.address, 2);
             EXPECT_EQ(v.pulse_response.duration, 1000);
             EXPECT_EQ(v.pulse_response.value, 1);
         }},
        {"exception to coils", "01 81 02", 0x2D, MB_OUTPUTS_EXCEPTION,
         [](auto& v) {
             EXPECT_EQ(v.exception.code, 2);
             EXPECT_EQ(v.exception.function, 0x81);
         }},
        {"exception to discrete inputs", "01 82 01", 0x2C, MB_INPUTS_EXCEPTION,
         [](auto& v) { EXPECT_EQ(v.input_read_error, 1); }},
        {"exception to holding, inputs", "01 83 04", 0x2C, MB_INPUTS_EXCEPTION,
         [](auto& v) { EXPECT_EQ(v.input_read_error, 1); }},
        {"exception to holding, tag 0", "01 83 04", 0x00, MB_INPUTS_EXCEPTION,
         [](auto& v) { EXPECT_EQ(v.input_read_error, 1); }},
        {"exception to holding, outputs", "01 83 02", 0x33, MB_OUTPUTS_EXCEPTION,
         [](auto& v) { EXPECT_EQ(v.output_read_error, 1); }},
        {"exception to holding, register", "01 83 02", 0x2E, MB_REGISTER_EXCEPTION, nullptr},
        {"exception to holding, other tag", "01 83 02", 0x39, MB_INPUTS_EXCEPTION,
         [](auto& v) { EXPECT_EQ(v.input_read_error, 0); }},
        {"exception to input registers", "01 84 02", 0x34, MB_INPUTS_EXCEPTION, nullptr},
        {"exception to analog read", "01 84 02", 0x35, NONE,
         [](auto& v) { EXPECT_EQ(v.exception.code, 2); }},
        {"exception to coil write", "01 85 03", 0x30, MB_COIL_EXCEPTION, nullptr},
        {"exception to input-change enable", "01 85 03", 0x37, MB_DI_CHANGE_EXCEPTION, nullptr},
        {"exception to other write", "01 85 03", 0x31, NONE,
         [](auto& v) { EXPECT_EQ(v.exception.code, 3); }},
        {"exception to identification", "01 AB 01", 0x37, MB_IDENT_EXCEPTION,
         [](auto& v) {
             EXPECT_EQ(v.exception.code, 0);
             EXPECT_EQ(v.exception.function, 0xAB);
         }},
        {"exception to pulse", "01 E9 06", 0x2F, MB_PULSE_EXCEPTION,
         [](auto& v) { EXPECT_EQ(v.exception.code, 6); }},
        {"unknown function", "01 47 00", 0x2C, MB_UNKNOWN_FUNCTION,
         [](auto& v) {
             EXPECT_EQ(v.exception.code, 2) << "nothing stored";
             EXPECT_EQ(v.inputs, 0xAB00);
         }},
        {"empty body", "", 0x2C, MB_BAD_PACKET, nullptr},
        {"unit id only", "01", 0x2C, MB_BAD_PACKET, nullptr},
        {"coils without data", "01 01 01", 0x2D, MB_BAD_PACKET,
         [](auto& v) { EXPECT_EQ(v.outputs, 0xCD00); }},
        {"short exception", "01 81", 0x2D, MB_BAD_PACKET, nullptr},
        {"short coil answer", "01 05 00 13 FF", 0x30, MB_BAD_PACKET, nullptr},
        {"short pulse answer", "01 69 00 02 03 E8", 0x2F, MB_BAD_PACKET, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReceivedValues values = busy_values();
        EXPECT_EQ(decode(c.body, c.tag, values).code, c.code);
        if (c.check) c.check(values);
    }
}

TEST(Decode, ExceptionCodeStaysUntilAClearingResponse) {
    ReceivedValues values;
    decode("01 83 02", 0x2C, values);
    decode("01 47 00", 0x2C, values);          // unknown function: no change
    decode("01 03 03 00 00 00", 0x2C, values); // invalid register read: no change
    EXPECT_EQ(values.exception.code, 2);
    decode("01 69 00 00 00 10 01", 0x2F, values);
    EXPECT_EQ(values.exception.code, 0);
}

TEST(Decode, TablesTakeAtMost125AndOnlyTheRegistersReceived) {
    ReceivedValues values;
    values.counters.fill(0x5555);
    // Byte count says 8 but only 4 data bytes arrived: two registers, no reading past the end.
    EXPECT_EQ(decode("01 04 08 00 01 00 02", 0x36, values).code, MB_COUNTERS);
    EXPECT_EQ(values.counters[0], 1);
    EXPECT_EQ(values.counters[1], 2);
    EXPECT_EQ(values.counters[2], 0x5555);

    std::string body = "01 04 FA";
    for (int i = 0; i < 125; ++i)
        body += " 00 07";
    EXPECT_EQ(decode(body, 0x35, values).code, MB_ANALOG_VALUES);
    EXPECT_EQ(values.analog_values[124], 7);
}

TEST(Decode, IdentificationEnablesChangeReportsAndReportsPulseFlags) {
    ReceivedValues values;
    DecodeResult result = decode("01 2B 0E 04 01 00 00 02 83 01 02 85 02 05 00", 0x37, values);
    EXPECT_EQ(result.enable_di_change_port, 2);
    EXPECT_EQ(result.code, MB_PULSE_FLAGS);
    EXPECT_EQ(values.pulse_flags, 0x0005);
    ASSERT_EQ(values.objects.size(), 2u);

    // Without object 0x85 nothing is reported; without 0x83 nothing is enabled.
    result = decode("01 2B 0E 04 01 00 00 01 83 01 06", 0x37, values);
    EXPECT_EQ(result.code, corvel::NO_NOTIFICATION);
    EXPECT_EQ(result.enable_di_change_port, 6);
    result = decode("01 2B 0E 04 01 00 00 01 85 02 01 00", 0x37, values);
    EXPECT_EQ(result.enable_di_change_port, -1);
    EXPECT_EQ(values.pulse_flags, 1);

    // The first object with an id wins; at least one object is read even if none is announced.
    result = decode("01 2B 0E 04 01 00 00 00 85 02 03 00 85 02 09 00", 0x37, values);
    EXPECT_EQ(values.objects.size(), 1u);
    EXPECT_EQ(values.pulse_flags, 3);
}

TEST(Decode, IdentificationStopsAtTheEndOfTheBody) {
    ReceivedValues values;
    // Announces 5 objects, the second claims 200 bytes that never came.
    decode("01 2B 0E 04 01 00 00 05 83 01 01 85 C8 07", 0x37, values);
    ASSERT_EQ(values.objects.size(), 2u);
    EXPECT_EQ(values.objects[1].value, hex("07"));
    // Too short to hold any object.
    EXPECT_EQ(decode("01 2B 0E", 0x37, values).code, corvel::NO_NOTIFICATION);
    EXPECT_TRUE(values.objects.empty());
}

TEST(Decode, ChangeReports) {
    ReceivedValues values;
    EXPECT_EQ(decode("01 6C 00 F0 00 10 02 00 09", 0x00, values).code, MB_REPORT_INPUTS);
    EXPECT_EQ(values.inputs, 0x0009);
    EXPECT_EQ(decode("01 6C 01 40 00 10 02 00 03", 0x00, values).code, MB_REPORT_OUTPUTS);
    EXPECT_EQ(values.outputs, 0x0003);
    EXPECT_EQ(decode("01 6C 00 A0 00 04 04 00 0C 00 0D", 0x00, values).code, MB_REPORT_COUNTERS);
    EXPECT_EQ(values.counters[0], 12);
    EXPECT_EQ(values.counters[1], 13);
    EXPECT_EQ(decode("01 6C 00 11 00 01 02 00 01", 0x00, values).code, corvel::NO_NOTIFICATION);
    EXPECT_EQ(values.change_report.address, 0x11);
    // Byte count beyond the received data: only what arrived is used.
    EXPECT_EQ(decode("01 6C 00 A0 00 04 C8 00 21", 0x00, values).code, MB_REPORT_COUNTERS);
    EXPECT_EQ(values.counters[0], 0x21);
    EXPECT_EQ(values.counters[1], 13);
    EXPECT_EQ(decode("01 6C 00 F0 00 10", 0x00, values).code, MB_BAD_PACKET);
}

TEST(Decode, ResetKeepsRegisterAndWriteRecords) {
    ReceivedValues values;
    decode("01 03 02 00 2A", 0x2E, values);
    decode("01 05 00 03 FF 00", 0x30, values);
    decode("01 69 00 01 00 64 01", 0x2F, values);
    decode("01 02 01 FF", 0x2C, values);
    decode("01 04 02 00 05", 0x36, values);
    decode("01 2B 0E 04 01 00 00 01 85 02 01 00", 0x37, values);
    values.reset_for_new_connection();
    EXPECT_EQ(values.inputs, 0);
    EXPECT_EQ(values.pulse_flags, 0);
    EXPECT_EQ(values.counters[0], 0);
    EXPECT_EQ(values.single_register, 42u);
    EXPECT_EQ(values.coil_write.address, 3);
    EXPECT_EQ(values.pulse_response.duration, 100);
    EXPECT_EQ(values.objects.size(), 1u);
}
