#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace iomira {

inline constexpr int kAnalogChannels = 4;
inline constexpr int kAnalogHeaderSlots = 4; // three list columns plus one slot only backups carry
inline constexpr int kDigitalPorts = 8;
inline constexpr int kCounterInputs = 4;
inline constexpr int kHostAddrMaxLength = 127; // the original fixed field held 128 units with NUL
inline constexpr uint32_t kDefaultAnalogBackground = 0x009F5B00; // 0x00BBGGRR
inline constexpr uint32_t kDefaultAnalogForeground = 0x00383226;

// One registered I/O controller. Field names are the names under which they are stored.
class CQUORVISData {
  public:
    CQUORVISData(); // the "Created" defaults

    // Copies every configuration field, leaving window placement and runtime fields alone.
    static void Copy(CQUORVISData& destination, const CQUORVISData& source);
    // True when every configuration field matches; placement and runtime fields are ignored.
    static bool Equals(const CQUORVISData& a, const CQUORVISData& b);

    // Keeps at most kHostAddrMaxLength units, never half of a character outside the BMP.
    void setHostAddr(const QString& host);

    int DeviceId = 0;
    int DeviceType = 0;
    int NumberOfPortInput = 0;
    int NumberOfPortOutput = 0;
    int IsServer = 0;
    QString HostAddr;
    int HostPort = 0;
    int UnitId = 0;
    int InputAddr = 0;
    int OutputAddr = 0;

    std::array<int, kAnalogChannels> AI{};
    std::array<QString, kAnalogChannels> AIName;
    std::array<QString, kAnalogChannels> AIUnit;
    std::array<QString, kAnalogChannels> AIMin;
    std::array<QString, kAnalogChannels> AIMax;
    std::array<int, kAnalogHeaderSlots> AIHeaderWidth{};
    std::array<uint32_t, kAnalogChannels> AIBgColor{};
    std::array<uint32_t, kAnalogChannels> AIFgColor{};

    QString DeviceComment;
    std::array<QString, kDigitalPorts> DiComment;
    std::array<QString, kDigitalPorts> DoComment;
    std::array<int, kCounterInputs> DiState{};
    std::array<int, kCounterInputs> DiCounter{};
    int ViewMode = 0;

    int LastPosX = 0, LastPosY = 0, LastPosCX = 0, LastPosCY = 0;
    int LastOpened = 0;
    int Minimized = 0;
    int AutomaticConnection = 1;
    int OutputPortControl = 0;
    int RootID = 0;
    int Index = 0;
    int LastPosXMin = 0, LastPosYMin = 0, LastPosCXMin = 0, LastPosCYMin = 0;
    int Polling = 1;
    int PollingInput = 1;

    int UseWarningMsg = 0;
    int WarningMsgType = 0;
    QString MsgAllOn;
    QString MsgAllOff;
    std::array<QString, kDigitalPorts> DoMsgOnOn;
    std::array<QString, kDigitalPorts> DoMsgOnOff;
    std::array<int, kDigitalPorts> UseWarningMsgDo{};
    std::array<int, kDigitalPorts> UsePulseDo{};
    std::array<uint16_t, kDigitalPorts> DurationDo{};
    std::array<uint8_t, kDigitalPorts> SignalLevelDo{};

    int UseLog = 0;
    int UseEmailNotification = 0;
    std::array<int, kDigitalPorts> UseInputEmailNotification{};
    std::array<int, kDigitalPorts> UseOutputEmailNotification{};
    QString MailTo;
    QString MailSubject;
    QString MailContent;
    int MailAccountID = 0;
    std::array<QString, kDigitalPorts> UseMControlDo;
    std::array<int, kDigitalPorts> OnDiSoundId{};
    std::array<int, kDigitalPorts> OffDiSoundId{};

    // Runtime state of polling and connection handling; never stored, never copied.
    int InputsValid = 0;
    int OutputsValid = 0;
    std::array<uint8_t, kDigitalPorts> InputImage{};
    std::array<uint8_t, kDigitalPorts> OutputImage{};
    int ReconnectWanted = 0;
    int64_t LastFailureTime = 0;
    // Set while a request has waited too long for its answer; cleared by the next answer.
    bool NotResponding = false;
    // Wall-clock milliseconds since the epoch of the last answer; 0 before the first.
    int64_t LastAnswerMs = 0;
    // Monotonic milliseconds of the last answer, as the response watchdog saw it.
    int64_t AnsweredSteadyMs = 0;
    // The digital values last received (bit n: port n) and when, kept across a lost
    // connection so that a window can say what an unknown lamp last showed; 0 before the first.
    uint8_t LastInputs = 0;
    uint8_t LastOutputs = 0;
    int64_t InputsReadMs = 0;
    int64_t OutputsReadMs = 0;

    bool operator==(const CQUORVISData&) const = default;

  private:
    void clearPlacementAndRuntime();
};

} // namespace iomira
