// The digital window's clicks: reading inputs, switching and pulsing outputs, renaming
// ports and the context menu.

#include "ui/windows/digital_view.h"

#include "core/texts.h"
#include "app/context_menu_rules.h"
#include "corvel/corvel.h"
#include "core/device_family.h"
#include "monitor/error_text.h"
#include "ui/common/in_place_edit.h"
#include "core/log_entries.h"
#include "monitor/monitor_log.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/user_prompts.h"
#include "notify/warning_question.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

namespace iomira {

namespace {
constexpr int kDefaultTag = 0;
}

void CQuorvis2View::requestFailed(int result, int error) {
    if (!services_.prompts) return;
    if (result == CORVEL_SOCKET_ERROR)
        services_.prompts->error(socketErrorText(error));
    else if (result == CORVEL_UNKNOWN_DEVICE)
        services_.prompts->error(loadString(TEXT_NO_SUCH_ID));
}

void CQuorvis2View::clickInput() {
    if (get_tcp_connection_state(c_->DeviceId) != TCP_ESTABLISHED) return;
    int32_t error = 0;
    const int result =
        read_discrete_inputs(c_->DeviceId, c_->NumberOfPortInput, &error, kDefaultTag);
    if (result == CORVEL_OK) {
        logState(LogCategory::Input, TEXT_SEND_READ_INPUTS);
    } else if (result == CORVEL_WRONG_STATE) {
        logState(LogCategory::Any, TEXT_SOCKET_NOT_ESTABLISHED);
    } else if (result == CORVEL_SOCKET_ERROR) {
        if (services_.log) services_.log->state(*c_, LogCategory::Input, socketErrorText(error));
        requestFailed(result, error);
    } else {
        requestFailed(result, error);
    }
}

void CQuorvis2View::clickOutput(int port) {
    const bool rlxPulse = port >= 0 && port < kDigitalPorts && pulseFlags_[port] == 1;
    const OutputClick action =
        outputClick(*c_, port, get_tcp_connection_state(c_->DeviceId), rlxPulse);
    if (action == OutputClick::Ignore) return;
    if (action == OutputClick::Restricted) {
        if (services_.prompts) services_.prompts->error(loadString(TEXT_OUTPUTS_RESTRICTED));
        return;
    }
    if (services_.prompts &&
        !ConfirmOutputSwitch(*services_.prompts, *c_, port, outputStates_[port]))
        return;
    int32_t error = 0;
    int result = CORVEL_OK;
    if (action == OutputClick::Pulse) {
        if (pulses_.pending()) return;
        result = output_port_pulse(c_->DeviceId, port, c_->DurationDo[port],
                                   c_->SignalLevelDo[port], &error, kDefaultTag);
        if (result == CORVEL_OK) startPulse(port);
    } else if (action == OutputClick::RlxPulse) {
        result = rlx8xx_pulse_control(c_->DeviceId, port, &error, kDefaultTag);
        if (result == CORVEL_OK)
            logState(LogCategory::Output, TEXT_SEND_WRITE_PULSE, port, LOG_PULSE);
    } else {
        const int value = outputStates_[port] == 1 ? 0 : 1;
        result =
            output_port_coil_onoff(c_->DeviceId, port, value ? 0xFF : 0x00, &error, kDefaultTag);
        if (result == CORVEL_OK) logState(LogCategory::Output, TEXT_SEND_WRITE_COIL, port, value);
    }
    if (result == CORVEL_SOCKET_ERROR) requestFailed(result, error);
}

void CQuorvis2View::startPulse(int port) {
    pulses_.started(port);
    logState(LogCategory::Output, TEXT_SEND_WRITE_PULSE, port, LOG_PULSE);
    pulseTimers_[port].start(pulseTimerMs(*c_, port));
}

void CQuorvis2View::editPortName(int kind, int port) {
    if (port < 0 || port >= kDigitalPorts) return;
    QLabel* label = kind == CInPlaceEdit::InputPort ? inputNames_[port] : outputNames_[port];
    const QString current =
        kind == CInPlaceEdit::InputPort ? c_->DiComment[port] : c_->DoComment[port];
    const QRect area(label->mapTo(this, QPoint(0, 0)), label->size());
    CInPlaceEdit::shared()->begin(
        this, area, current, kind, port,
        [this](int k, int p, const QString& text) { portNameEdited(k, p, text); });
}

void CQuorvis2View::portNameEdited(int kind, int port, const QString& text) {
    const bool input = kind == CInPlaceEdit::InputPort;
    (input ? inputNames_ : outputNames_)[port]->setText(QLatin1Char(' ') + text);
    const auto change = [input, port, text](CQUORVISData& record) {
        (input ? record.DiComment : record.DoComment)[port] = text;
    };
    if (services_.editRecord)
        services_.editRecord(*c_, change);
    else
        change(*c_);
}

bool CQuorvis2View::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int port = 0; port < kDigitalPorts; ++port) {
            if (watched == inputNames_[port])
                editPortName(CInPlaceEdit::InputPort, port);
            else if (watched == outputNames_[port])
                editPortName(CInPlaceEdit::OutputPort, port);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CQuorvis2View::setViewMode(int mode) {
    const auto change = [mode](CQUORVISData& record) { record.ViewMode = mode; };
    if (services_.editRecord)
        services_.editRecord(*c_, change);
    else
        change(*c_);
    layOut();
}

void CQuorvis2View::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const int id = c_->DeviceId;
    if (c_->DeviceType != FAMILY_RLX820 && c_->DeviceType != FAMILY_RLX830) {
        const std::pair<int, int> modes[] = {
            {TEXT_VIEW_BOTH, 0}, {TEXT_VIEW_INPUTS, 1}, {TEXT_VIEW_OUTPUTS, 2}};
        for (const auto& [textId, mode] : modes) {
            QAction* action = menu.addAction(loadString(textId));
            action->setCheckable(true);
            action->setChecked(c_->ViewMode == mode);
            connect(action, &QAction::triggered, this, [this, mode = mode] { setViewMode(mode); });
        }
        menu.addSeparator();
    }
    std::vector<std::pair<int, int>> commands = {{TEXT_CONNECT, CMD_CONNECT},
                                                 {TEXT_DISCONNECT, CMD_DISCONNECT},
                                                 {TEXT_MODIFY, CMD_MODIFY},
                                                 {TEXT_DELETE_CONTROLLER, CMD_DELETE_CONTROLLER}};
    if (c_->DeviceType == FAMILY_GENERIC) {
        commands.push_back({0, 0});
        commands.push_back({TEXT_SOUND_NOTIFICATION, CMD_SOUND_NOTIFICATION});
        commands.push_back({TEXT_SOUND_FILE_SETTING, CMD_SOUND_FILE});
    }
    for (const auto& [textId, command] : commands) {
        if (command == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(loadString(textId));
        action->setEnabled(!services_.treeCommandEnabled ||
                           services_.treeCommandEnabled(id, command));
        // The command may close this window, so it runs after the menu has returned.
        auto run = services_.treeCommand;
        connect(action, &QAction::triggered, this, [run, id, command = command] {
            if (run)
                QMetaObject::invokeMethod(
                    qApp, [run, id, command] { run(id, command); }, Qt::QueuedConnection);
        });
    }
    menu.exec(event->globalPos());
}

} // namespace iomira
