// The RLX windows' clicks: reading the inputs, resetting counters, switching and pulsing
// outputs, renaming ports and channels, and the context menu.

#include "ui/windows/model_view.h"

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

void CModelView::clickInput() {
    showMessage(commands_.readAllInputs().message);
}

void CModelView::clickReset(int port) {
    if (!commands_.counterResettable(port)) return;
    if (services_.prompts &&
        !services_.prompts->ask(loadString(TEXT_RESET_COUNTER_QUESTION), false))
        return;
    showMessage(commands_.resetCounter(port).message);
}

void CModelView::clickOutput(int port) {
    clickOutputPort(commands_, services_, *c_, port, outputStates_[port]);
}

QLabel* CModelView::nameLabelOf(int kind, int index) const {
    if (kind == CInPlaceEdit::InputPort) return inputNames_[index];
    if (kind == CInPlaceEdit::OutputPort) return outputNames_[index];
    return analogNames_[index];
}

void CModelView::editName(int kind, int index) {
    if (index < 0 || index >= (kind == CInPlaceEdit::AnalogChannel ? kAnalogChannels : kPorts))
        return;
    const QString current = kind == CInPlaceEdit::InputPort    ? c_->DiComment[index]
                            : kind == CInPlaceEdit::OutputPort ? c_->DoComment[index]
                                                               : c_->AIName[index];
    QLabel* label = nameLabelOf(kind, index);
    const QRect area(label->mapTo(this, QPoint(0, 0)), label->size());
    CInPlaceEdit::shared()->begin(
        this, area, current, kind, index,
        [this](int k, int i, const QString& text) { nameEdited(k, i, text); });
}

void CModelView::nameEdited(int kind, int index, const QString& text) {
    nameLabelOf(kind, index)->setText(QLatin1Char(' ') + text);
    const auto change = [kind, index, text](CQUORVISData& record) {
        if (kind == CInPlaceEdit::InputPort)
            record.DiComment[index] = text;
        else if (kind == CInPlaceEdit::OutputPort)
            record.DoComment[index] = text;
        else
            record.AIName[index] = text;
    };
    if (services_.editRecord)
        services_.editRecord(*c_, change);
    else
        change(*c_);
}

bool CModelView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < kAnalogChannels; ++i) {
            if (i < kPorts && watched == inputNames_[i])
                editName(CInPlaceEdit::InputPort, i);
            else if (i < kPorts && watched == outputNames_[i])
                editName(CInPlaceEdit::OutputPort, i);
            else if (watched == analogNames_[i])
                editName(CInPlaceEdit::AnalogChannel, i);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CModelView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    addControllerCommands(menu, *c_, commands_.connectionState(), services_);
    menu.exec(event->globalPos());
}

} // namespace iomira
