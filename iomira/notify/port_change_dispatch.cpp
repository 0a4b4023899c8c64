#include "notify/port_change_dispatch.h"

#include "core/global_settings.h"
#include "core/quorvis_data.h"
#include "corvel/corvel.h"

namespace iomira {

bool ScheduleGate::allows(ScheduleKind kind) const {
    const bool mail = kind == SCHEDULE_EMAIL;
    const int32_t useSchedule =
        mail ? switches_.useEmailSchedule : switches_.useNotificationMessageSchedule;
    if (useSchedule != 1) return true;
    return IsInSchedule(mail ? mail_ : messages_, clock_()) == 1;
}

namespace {

int receivedValue(const CQUORVISData& c, int kind, int port) {
    return get_received_port_value(c.DeviceId, kind, port) == 1 ? 1 : 0;
}

} // namespace

void PortChangeDispatch::mailIfWatched(const CQUORVISData& c, int kind, int port, int value) {
    if (queueNotificationMail && scheduled(SCHEDULE_EMAIL))
        queueNotificationMail(c, kind, port, value);
}

void PortChangeDispatch::DispatchInputChanges(CQUORVISData& controller) {
    for (int i = 0; i < controller.NumberOfPortInput && i < kDigitalPorts; ++i) {
        const int value = receivedValue(controller, CORVEL_KIND_INPUT, i);
        if (value == controller.InputImage[i]) continue;
        if (controller.UseEmailNotification == 1 && controller.UseInputEmailNotification[i] == 1)
            mailIfWatched(controller, MAIL_PORT_INPUT, i, value);
        if (playInputSound) playInputSound(controller, i, value);
        if (postInputNotification && scheduled(SCHEDULE_NOTIFICATION_MESSAGE))
            postInputNotification(controller, i, value);
    }
}

void PortChangeDispatch::DispatchOutputChanges(CQUORVISData& controller) {
    if (controller.UseEmailNotification != 1) return;
    for (int i = 0; i < controller.NumberOfPortOutput && i < kDigitalPorts; ++i) {
        if (controller.UseOutputEmailNotification[i] != 1) continue;
        const int value = receivedValue(controller, CORVEL_KIND_OUTPUT, i);
        if (value != controller.OutputImage[i])
            mailIfWatched(controller, MAIL_PORT_OUTPUT, i, value);
    }
}

} // namespace iomira
