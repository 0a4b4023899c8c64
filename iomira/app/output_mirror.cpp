#include "app/output_mirror.h"

#include "app/controller_directory.h"
#include "core/log_texts.h"
#include "core/mirror_sets.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "monitor/error_text.h"
#include "monitor/monitor_log.h"
#include "monitor/shared_controllers.h"
#include "notify/warning_question.h"

#include <QDateTime>

#include <cstring>
#include <set>

namespace iomira {

namespace {

int outputsOf(const CQUORVISData& c) {
    return std::clamp(c.NumberOfPortOutput, 0, kDigitalPorts);
}

QString stateText(int deviceId) {
    switch (get_tcp_connection_state(deviceId)) {
    case TCP_CLOSED:
        return loadString(TEXT_STATE_CLOSED);
    case TCP_LISTEN:
        return loadString(TEXT_STATE_LISTEN);
    case TCP_CONNECTING:
        return loadString(TEXT_STATE_CONNECTING);
    case TCP_ESTABLISHED:
        return loadString(TEXT_STATE_ESTABLISHED);
    default:
        break;
    }
    QString text = loadString(TEXT_STATE_SOCKET_ERROR);
    const int error = get_tcp_error_code(deviceId);
    if (error >= 1) text += QStringLiteral(", ") + QString::fromLocal8Bit(std::strerror(error));
    return text;
}

bool ownTag(int tag) {
    return tag == '-' || tag == OutputMirror::kPulseTag || tag == OutputMirror::kCoilTag ||
           tag == OutputMirror::kReadTag;
}

} // namespace

OutputMirror::OutputMirror(ControllerDirectory& directory, MonitorLog* log, UserPrompts& prompts)
    : directory_(directory), log_(log), prompts_(prompts) {}

QStringList OutputMirror::sets() const {
    std::set<QString> names;
    directory_.controllers()->table().forEach([&](const CQUORVISData& c) {
        for (int port = 0; port < outputsOf(c); ++port)
            for (const QString& name : setNamesIn(c.UseMControlDo[port]))
                names.insert(name);
    });
    return QStringList(names.begin(), names.end());
}

void OutputMirror::select(const QString& set) {
    selected_ = set;
    members_.clear();
    directory_.controllers()->table().forEach([&](const CQUORVISData& c) {
        for (int port = 0; port < outputsOf(c); ++port)
            if (fieldHoldsSet(c.UseMControlDo[port], set))
                members_.push_back({c.DeviceId, port, c.NumberOfPortOutput});
    });
}

bool OutputMirror::editOutputs(int deviceId, const std::function<void(CQUORVISData&)>& change) {
    const CQUORVISData* c = directory_.find(deviceId);
    if (!c) return true;
    CQUORVISData changed = *c;
    change(changed);
    if (changed.UseMControlDo == c->UseMControlDo) return true;
    return directory_.saveThenChange(
        deviceId, [&](CQUORVISData& record) { record.UseMControlDo = changed.UseMControlDo; });
}

bool OutputMirror::deleteSet(const QString& set) {
    std::vector<int> ids;
    directory_.controllers()->table().forEach(
        [&](const CQUORVISData& c) { ids.push_back(c.DeviceId); });
    bool saved = true;
    for (int id : ids) {
        saved &= editOutputs(id, [&](CQUORVISData& c) {
            for (QString& field : c.UseMControlDo)
                field = fieldWithoutSet(field, set);
        });
    }
    if (selected_ == set) select(QString());
    return saved;
}

OutputMirror::SaveOutcome OutputMirror::saveSet(const QString& oldName, const QString& name,
                                                const MirrorChoice& chosen) {
    switch (checkSetName(name)) {
    case SetNameProblem::Empty:
        return {false, loadString(TEXT_ENTER_SET_DESCRIPTION)};
    case SetNameProblem::Separator:
        return {false, loadString(TEXT_SET_NAME_SEPARATOR)};
    case SetNameProblem::None:
        break;
    }
    if (chosen.empty()) return {false, loadString(TEXT_SELECT_CONTROLLERS)};
    bool saved = true;
    if (!oldName.isEmpty() && oldName != name) saved &= deleteSet(oldName);
    for (const auto& choice : chosen) {
        const auto& outputs = choice.second;
        saved &= editOutputs(choice.first, [&](CQUORVISData& c) {
            for (int port = 0; port < kDigitalPorts; ++port)
                c.UseMControlDo[port] = outputs[port]
                                            ? fieldWithSet(c.UseMControlDo[port], name)
                                            : fieldWithoutSet(c.UseMControlDo[port], name);
        });
    }
    return {saved, {}};
}

void OutputMirror::switchMembers(bool on) {
    const std::vector<MirrorMember> members = members_;
    for (const MirrorMember& member : members)
        switchMember(member, on);
}

void OutputMirror::switchMember(const MirrorMember& member, bool on) {
    const CQUORVISData* c = directory_.find(member.deviceId);
    if (!c || get_tcp_connection_state(c->DeviceId) != TCP_ESTABLISHED || c->OutputPortControl == 1)
        return;
    const int port = member.port;
    if (c->UseWarningMsg == 1 && !ConfirmOutputSwitchWithHeading(prompts_, *c, port, on ? 1 : 0))
        return;
    int32_t error = 0;
    int result = CORVEL_OK;
    if (c->UsePulseDo[port] == 1) {
        if (!on) return;
        result = output_port_pulse(c->DeviceId, port, c->DurationDo[port], c->SignalLevelDo[port],
                                   &error, kPulseTag);
        if (result == CORVEL_OK) {
            if (log_)
                log_->state(*c, LogCategory::Output, logText(TEXT_SEND_WRITE_PULSE), port,
                            LOG_PULSE);
            row(*c, port, TEXT_SEND_WRITE_PULSE);
        }
    } else {
        result = output_port_coil_onoff(c->DeviceId, port, on ? 0xFF : 0x00, &error, kCoilTag);
        if (result == CORVEL_OK) {
            if (log_)
                log_->state(*c, LogCategory::Output, logText(TEXT_SEND_WRITE_COIL), port,
                            on ? 1 : 0);
            row(*c, port, on ? TEXT_SEND_ON : TEXT_SEND_OFF);
        }
    }
    if (result == CORVEL_SOCKET_ERROR)
        prompts_.error(socketErrorText(error));
    else if (result == CORVEL_UNKNOWN_DEVICE)
        prompts_.error(loadString(TEXT_NO_SUCH_ID));
}

void OutputMirror::readBack(const CQUORVISData& c) {
    int32_t error = 0;
    read_coils(c.DeviceId, c.NumberOfPortOutput, &error, kReadTag);
    row(c, -1, TEXT_SEND_READ_OUTPUTS);
}

void OutputMirror::dataArrived(int deviceId, int code) {
    const CQUORVISData* c = directory_.find(deviceId);
    if (!c || !ownTag(get_transaction_id(deviceId))) return;
    switch (code) {
    case MB_BAD_LENGTH:
    case MB_BAD_PACKET:
        row(*c, -1, TEXT_INVALID_LENGTH);
        break;
    case MB_OUTPUTS:
        if (refreshRows) refreshRows(deviceId);
        if (get_transaction_id(deviceId) == kReadTag) row(*c, -1, TEXT_RESPONSE_OUTPUTS);
        break;
    case MB_UNKNOWN_FUNCTION:
        row(*c, -1, TEXT_UNKNOWN_FUNCTION);
        break;
    case MB_PULSE_DONE: {
        const int port = get_write_pulse_response_port_number(deviceId);
        row(*c, port, TEXT_PULSE_DONE);
        readBack(*c);
        for (size_t i = 0; i < members_.size(); ++i) {
            if (members_[i].deviceId == deviceId && members_[i].port == port && startPulseTimer)
                startPulseTimer(int(i), get_write_pulse_response_duration(deviceId));
        }
        break;
    }
    case MB_PULSE_EXCEPTION:
        row(*c, -1, TEXT_PULSE_ERROR);
        readBack(*c);
        break;
    default:
        break;
    }
}

void OutputMirror::connectionChanged(int deviceId, intptr_t lparam) {
    if (CORVEL_LPARAM_EVENT(lparam) != CORVEL_FD_CLOSE && CORVEL_LPARAM_ERROR(lparam) == 0) return;
    const CQUORVISData* c = directory_.find(deviceId);
    if (!c) return;
    if (refreshRows) refreshRows(deviceId);
    if (addRow) addRow(logRow(*c, -1, QString()));
}

void OutputMirror::pulseTimeUp(int memberIndex) {
    if (memberIndex < 0 || memberIndex >= int(members_.size())) return;
    if (const CQUORVISData* c = directory_.find(members_[memberIndex].deviceId)) {
        int32_t error = 0;
        read_coils(c->DeviceId, c->NumberOfPortOutput, &error, kReadTag);
    }
}

void OutputMirror::row(const CQUORVISData& c, int port, int textId) {
    if (addRow) addRow(logRow(c, port, loadString(textId)));
}

QString OutputMirror::logRow(const CQUORVISData& c, int port, const QString& message) const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    QString text = QString::asprintf("%.4d/%2d/%2d %.2d:%.2d:%.2d", d.year(), d.month(), d.day(),
                                     t.hour(), t.minute(), t.second());
    text += QLatin1Char('\t') + loadString(TEXT_IO_CONTROLLER) + QStringLiteral(" - ") +
            c.DeviceComment;
    if (port >= 0 && port < kDigitalPorts)
        text += QStringLiteral(", %1 - %2 : %3")
                    .arg(loadString(TEXT_OUTPUT_PORT), c.DoComment[port], message);
    else if (!message.isEmpty())
        text += QStringLiteral(", ") + message;
    return text + stateText(c.DeviceId);
}

} // namespace iomira
