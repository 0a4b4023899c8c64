#include "core/log_texts.h"

#include "core/texts.h"

#include <array>
#include <utility>

namespace iomira {

namespace {

constexpr std::array<std::pair<int, const char*>, 32> kLogTexts{{
    {TEXT_SEND_READ_INPUTS, "Send a read request to input ports"},
    {TEXT_SEND_READ_INPUTS_INITIAL, "Send a read request to input ports."},
    {TEXT_SEND_READ_ALL_REGISTERS, "Send a read request to all registers."},
    {TEXT_SEND_READ_INPUT_REGISTERS, "Send a read request to input registers"},
    {TEXT_SOCKET_NOT_ESTABLISHED, "TCP/IP socket is not established."},
    {TEXT_RESPONSE_INPUTS, "Response of read input ports"},
    {TEXT_RESPONSE_ADC, "Response of read ADC port"},
    {TEXT_ERROR_READ_INPUTS, "Error response of read input request"},
    {TEXT_ERROR_READ_ADC, "Error response of read adc request"},
    {TEXT_SEND_READ_OUTPUTS, "Send a read request to output ports"},
    {TEXT_SEND_READ_OUTPUTS_INITIAL, "Send a read request to output ports."},
    {TEXT_RESPONSE_OUTPUTS, "Response of read output ports"},
    {TEXT_ERROR_READ_OUTPUTS, "Error response of read output request"},
    {TEXT_COIL_DONE, "Success of write coil request"},
    {TEXT_COIL_ERROR, "Error response of write coil request"},
    {TEXT_PULSE_DONE, "Success of write pulse request"},
    {TEXT_PULSE_ERROR, "Error response of write pulse request"},
    {TEXT_OUTPUT_PORT_STATUS, "Output port status"},
    {TEXT_SEND_WRITE_COIL, "Send a write coil request"},
    {TEXT_SEND_WRITE_PULSE, "Send a write pulse request"},
    {TEXT_SEND_RESET_COUNTER, "Send a reset counter request"},
    {TEXT_COUNTER_VALUE, "Counter value"},
    {TEXT_ANALOG_VALUE, "Analog value"},
    {TEXT_HW_INIT_ERROR, "H/W Init Error."},
    {TEXT_HW_RUNTIME_ERROR, "H/W Runtime Error."},
    {TEXT_RTD_DISCONNECTED, "RTD Sensor Disconnected."},
    {TEXT_RTD_FAILED, "RTD Sensor Failed."},
    {TEXT_INVALID_LENGTH, "Invalid Modbus/TCP packet length"},
    {TEXT_UNKNOWN_FUNCTION, "Unknown function code"},
    {TEXT_NM_TRY_TO_SEND, "[%d]Try to send a mail.(%s-"},
    {TEXT_NM_NO_MAIL_SERVER, "Can't find the IP address of the mail server."},
    {TEXT_NM_SENT, "Sending a notification email has successfully finished."},
}};

} // namespace

QString logText(int textId) {
    for (const auto& [id, text] : kLogTexts) {
        if (id == textId) return QString::fromLatin1(text);
    }
    return {};
}

} // namespace iomira
