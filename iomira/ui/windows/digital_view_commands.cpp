// The digital window's clicks: reading inputs, switching and pulsing outputs, renaming
// ports and the context menu.

#include "ui/windows/digital_view.h"

#include "app/context_menu_rules.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "ui/common/in_place_edit.h"
#include "ui/windows/output_click.h"
#include "ui/windows/window_menu.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

namespace iomira {

void CQuorvis2View::clickInput() {
    showMessage(commands_.readInputs().message);
}

void CQuorvis2View::clickOutput(int port) {
    const CommandOutcome outcome =
        clickOutputPort(commands_, services_, *c_, port, outputStates_[port]);
    if (outcome.pulseTimerMs >= 0) pulseTimers_[port].start(outcome.pulseTimerMs);
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
    if (windowHasViewModes(c_->DeviceType)) {
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
    addControllerCommands(menu, *c_, commands_.connectionState(), services_);
    menu.exec(event->globalPos());
}

} // namespace iomira
