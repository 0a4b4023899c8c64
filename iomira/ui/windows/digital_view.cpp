#include "ui/windows/digital_view.h"

#include "app/tree_texts.h"
#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h" // notification constants
#include "monitor/error_text.h"
#include "monitor/port_state.h"
#include "ui/windows/port_widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace iomira {

namespace {

constexpr int kViewBoth = 0;
constexpr int kViewInputs = 1;
constexpr int kViewOutputs = 2;

} // namespace

CQuorvis2View::CQuorvis2View(CQUORVISData& controller, ViewServices services, QWidget* parent)
    : QWidget(parent), c_(&controller), services_(std::move(services)), status_(this),
      inputBox_(new QGroupBox(this)), outputBox_(new QGroupBox(this)),
      commands_(controller, services_.log) {
    setObjectName(QStringLiteral("Quorvis2View"));
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(status_.icon());
    statusRow->addWidget(status_.text(), 1);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(inputBox_, 0, Qt::AlignTop);
    boxes->addWidget(outputBox_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(statusRow);
    layout->addLayout(boxes);
    buildPorts();

    for (int port = 0; port < kDigitalPorts; ++port) {
        QTimer& timer = pulseTimers_[port];
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, this, [this, port] { commands_.pulseTimeUp(port); });
    }
    coilReadTimer_.setSingleShot(true);
    connect(&coilReadTimer_, &QTimer::timeout, this, [this] { commands_.readOutputs(); });

    loadCaptions();
    layOut();
    redraw();
}

void CQuorvis2View::buildPorts() {
    auto* inGrid = new QGridLayout(inputBox_);
    auto* outGrid = new QGridLayout(outputBox_);
    for (QGridLayout* grid : {inGrid, outGrid}) {
        grid->setHorizontalSpacing(2);
        grid->setVerticalSpacing(1);
    }
    for (int port = 0; port < kDigitalPorts; ++port) {
        inputs_[port] = lampButton(inputBox_);
        inputs_[port]->setObjectName(QStringLiteral("DI%1").arg(port));
        inputNames_[port] = nameLabel(inputBox_);
        inputNames_[port]->installEventFilter(this);
        inGrid->addWidget(inputs_[port], port, 0);
        inGrid->addWidget(inputNames_[port], port, 1);
        connect(inputs_[port], &QToolButton::clicked, this, &CQuorvis2View::clickInput);

        outputs_[port] = lampButton(outputBox_);
        outputs_[port]->setObjectName(QStringLiteral("DO%1").arg(port));
        outputNames_[port] = nameLabel(outputBox_);
        outputNames_[port]->installEventFilter(this);
        outGrid->addWidget(outputs_[port], port, 0);
        outGrid->addWidget(outputNames_[port], port, 1);
        connect(outputs_[port], &QToolButton::clicked, this, [this, port] { clickOutput(port); });
    }
}

void CQuorvis2View::loadCaptions() {
    inputBox_->setTitle(loadString(TEXT_DIGITAL_INPUTS));
    outputBox_->setTitle(loadString(TEXT_DIGITAL_OUTPUTS));
    for (int port = 0; port < kDigitalPorts; ++port) {
        inputNames_[port]->setText(QLatin1Char(' ') + c_->DiComment[port]);
        outputNames_[port]->setText(QLatin1Char(' ') + c_->DoComment[port]);
    }
    setWindowTitle(c_->DeviceComment);
}

// Ports beyond the controller's counts and the group the view mode leaves out are hidden;
// the fixed-size layout then shrinks the window to what is left.
void CQuorvis2View::layOut() {
    for (int port = 0; port < kDigitalPorts; ++port) {
        const bool input = port < c_->NumberOfPortInput;
        const bool output = port < c_->NumberOfPortOutput;
        inputs_[port]->setVisible(input);
        inputNames_[port]->setVisible(input);
        outputs_[port]->setVisible(output);
        outputNames_[port]->setVisible(output);
    }
    inputBox_->setVisible(c_->NumberOfPortInput > 0 && c_->ViewMode != kViewOutputs);
    outputBox_->setVisible(c_->NumberOfPortOutput > 0 && c_->ViewMode != kViewInputs);
    adjustSize();
    emit contentResized();
}

void CQuorvis2View::setController(CQUORVISData& controller) {
    c_ = &controller;
    for (QTimer& timer : pulseTimers_)
        timer.stop();
    coilReadTimer_.stop();
    commands_.setController(controller);
    loadCaptions();
    layOut();
    redraw();
}

void CQuorvis2View::redraw() {
    const PortValues values = commands_.ports();
    for (int port = 0; port < kDigitalPorts; ++port) {
        const LampShown input = commands_.inputLampShown(port, values);
        inputImages_[port] = input.image;
        showLamp(inputs_[port], input);
        const LampShown output = commands_.outputLampShown(port, values);
        outputImages_[port] = output.image;
        showLamp(outputs_[port], output);
        outputStates_[port] = values.outputs[port];
    }
    showState();
}

void CQuorvis2View::showState() {
    status_.show(commands_.status());
}

QString CQuorvis2View::statusText() const {
    return status_.text()->text();
}

void CQuorvis2View::onCorvelNotification(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (static_cast<int>(wparam) != c_->DeviceId) return;
    if (message == CORVEL_WM_CONNECTION)
        onConnection(lparam);
    else if (message == CORVEL_WM_DATA)
        onData(static_cast<int>(lparam));
}

void CQuorvis2View::onConnection(intptr_t lparam) {
    const ConnectionReaction reaction = commands_.connectionChanged(lparam);
    if (reaction.status) status_.show(*reaction.status);
    if (reaction.lampsUnknown) {
        markLampsUnknown(commands_, CORVEL_KIND_INPUT, inputs_, inputImages_);
        markLampsUnknown(commands_, CORVEL_KIND_OUTPUT, outputs_, outputImages_);
    }
    if (reaction.redraw) redraw();
}

void CQuorvis2View::onData(int code) {
    const DataReaction reaction = commands_.dataArrived(code);
    if (reaction.redraw) redraw();
    showPortErrors(reaction);
    if (reaction.readOutputsAfterMs >= 0) coilReadTimer_.start(reaction.readOutputsAfterMs);
    if (reaction.exceptionCode != 0) postException(reaction.exceptionCode);
}

void CQuorvis2View::showPortErrors(const DataReaction& reaction) {
    if (!reaction.inputsFailed && !reaction.outputsFailed) return;
    const PortValues values = commands_.ports();
    for (int port = 0; port < kDigitalPorts; ++port) {
        if (reaction.inputsFailed) {
            inputImages_[port] = {values.inputs[port] == 1 ? LampColor::Yellow : LampColor::Grey,
                                  LampMark::Error};
            inputs_[port]->setIcon(cachedLamp(inputImages_[port]));
        }
        if (reaction.outputsFailed) {
            outputImages_[port] = {LampColor::Grey, LampMark::Error};
            outputs_[port]->setIcon(cachedLamp(outputImages_[port]));
        }
    }
}

// The exception is shown once the notification has returned, as a posted message would be.
void CQuorvis2View::postException(int code) {
    QMetaObject::invokeMethod(
        this, [this, code] { showMessage(modbusExceptionText(code)); }, Qt::QueuedConnection);
}

void CQuorvis2View::showMessage(const QString& text) {
    if (services_.prompts && !text.isEmpty()) services_.prompts->error(text);
}

} // namespace iomira
