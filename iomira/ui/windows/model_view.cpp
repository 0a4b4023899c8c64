#include "ui/windows/model_view.h"

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h" // notification constants
#include "monitor/bar_colors.h"
#include "monitor/error_text.h"
#include "monitor/port_state.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace iomira {

namespace {

bool hasInputs(int family) {
    return family == FAMILY_RLX850 || family == FAMILY_RLX820;
}
bool hasOutputs(int family) {
    return family == FAMILY_RLX850;
}
int analogChannelsOf(int family) {
    if (family == FAMILY_RLX850 || family == FAMILY_RLX810) return kAnalogChannels;
    return family == FAMILY_RLX840 ? 1 : 0;
}

// Colours are stored as 0x00BBGGRR.
QString cssColor(uint32_t stored) {
    return QStringLiteral("#%1%2%3")
        .arg(stored & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((stored >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((stored >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

// A channel whose two colours are the same (never set) keeps the style's own bar.
void colourBar(QProgressBar* bar, uint32_t foreground, uint32_t background, uint32_t text) {
    QString sheet;
    if (foreground != background) {
        sheet = QStringLiteral("QProgressBar { background: %1; border: 1px solid gray; color: %3; "
                               "text-align: center; } QProgressBar::chunk { background: %2; }")
                    .arg(cssColor(background), cssColor(foreground), cssColor(text));
    }
    if (bar->styleSheet() != sheet) bar->setStyleSheet(sheet);
}

QGridLayout* portGrid(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    return grid;
}

} // namespace

CModelView::CModelView(CQUORVISData& controller, ViewServices services, QWidget* parent)
    : QWidget(parent), c_(&controller), services_(std::move(services)), status_(this),
      inputBox_(new QGroupBox(this)), outputBox_(new QGroupBox(this)),
      analogBox_(new QGroupBox(this)), commands_(controller, services_.log) {
    setObjectName(QStringLiteral("ModelView"));
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(status_.icon());
    statusRow->addWidget(status_.text(), 1);
    auto* digital = new QHBoxLayout;
    digital->addWidget(inputBox_, 0, Qt::AlignTop);
    digital->addWidget(outputBox_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(statusRow);
    layout->addLayout(digital);
    layout->addWidget(analogBox_);
    buildInputs();
    buildOutputs();
    buildAnalog();

    readAllTimer_.setSingleShot(true);
    connect(&readAllTimer_, &QTimer::timeout, this,
            [this] { commands_.readAllInputsLater(c_->DeviceType == FAMILY_RLX820); });
    readOutputsTimer_.setSingleShot(true);
    connect(&readOutputsTimer_, &QTimer::timeout, this, [this] { commands_.readOutputs(); });

    commands_.readPulseFlags();
    loadCaptions();
    layOut();
    resetAnalog();
    redraw();
}

void CModelView::buildInputs() {
    QGridLayout* grid = portGrid(inputBox_);
    auto* counterTitle = new QLabel(loadString(TEXT_COUNTER), inputBox_);
    counterTitle->setObjectName(QStringLiteral("CounterTitle"));
    grid->addWidget(counterTitle, 0, 2, Qt::AlignRight);
    for (int port = 0; port < kPorts; ++port) {
        inputs_[port] = lampButton(inputBox_);
        inputs_[port]->setObjectName(QStringLiteral("DI%1").arg(port));
        inputNames_[port] = nameLabel(inputBox_);
        inputNames_[port]->installEventFilter(this);
        counters_[port] = new QLabel(inputBox_);
        counters_[port]->setMinimumWidth(100);
        counters_[port]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        counters_[port]->setFrameShape(QFrame::StyledPanel);
        resets_[port] = new QPushButton(inputBox_);
        resets_[port]->setObjectName(QStringLiteral("Reset%1").arg(port));
        resets_[port]->setFocusPolicy(Qt::NoFocus);
        grid->addWidget(inputs_[port], port + 1, 0);
        grid->addWidget(inputNames_[port], port + 1, 1);
        grid->addWidget(counters_[port], port + 1, 2);
        grid->addWidget(resets_[port], port + 1, 3);
        connect(inputs_[port], &QToolButton::clicked, this, &CModelView::clickInput);
        connect(resets_[port], &QPushButton::clicked, this, [this, port] { clickReset(port); });
    }
}

void CModelView::buildOutputs() {
    QGridLayout* grid = portGrid(outputBox_);
    for (int port = 0; port < kPorts; ++port) {
        outputs_[port] = lampButton(outputBox_);
        outputs_[port]->setObjectName(QStringLiteral("DO%1").arg(port));
        outputNames_[port] = nameLabel(outputBox_);
        outputNames_[port]->installEventFilter(this);
        grid->addWidget(outputs_[port], port, 0);
        grid->addWidget(outputNames_[port], port, 1);
        connect(outputs_[port], &QToolButton::clicked, this, [this, port] { clickOutput(port); });
    }
}

void CModelView::buildAnalog() {
    QGridLayout* grid = portGrid(analogBox_);
    for (int ch = 0; ch < kAnalogChannels; ++ch) {
        analogNames_[ch] = nameLabel(analogBox_);
        analogNames_[ch]->installEventFilter(this);
        analogValues_[ch] = new QLabel(analogBox_);
        analogValues_[ch]->setObjectName(QStringLiteral("AI%1").arg(ch));
        analogValues_[ch]->setMinimumWidth(110);
        analogValues_[ch]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        bars_[ch] = new QProgressBar(analogBox_);
        bars_[ch]->setMinimumWidth(160);
        bars_[ch]->setMaximumHeight(16);
        grid->addWidget(analogNames_[ch], ch, 0);
        grid->addWidget(analogValues_[ch], ch, 1);
        grid->addWidget(bars_[ch], ch, 2);
    }
}

void CModelView::loadCaptions() {
    inputBox_->setTitle(loadString(TEXT_DIGITAL_INPUTS));
    outputBox_->setTitle(loadString(TEXT_DIGITAL_OUTPUTS));
    analogBox_->setTitle(loadString(TEXT_ANALOG_INPUTS));
    for (int port = 0; port < kPorts; ++port) {
        inputNames_[port]->setText(QLatin1Char(' ') + c_->DiComment[port]);
        outputNames_[port]->setText(QLatin1Char(' ') + c_->DoComment[port]);
        resets_[port]->setText(loadString(TEXT_RESET));
    }
    setWindowTitle(c_->DeviceComment);
}

// The groups a model has; analog channels switched off and ports beyond the counts are
// hidden, and the fixed-size layout shrinks the window to what is left.
void CModelView::layOut() {
    const int family = c_->DeviceType;
    const int inputs = std::min(c_->NumberOfPortInput, kPorts);
    const int outputs = std::min(c_->NumberOfPortOutput, kPorts);
    for (int port = 0; port < kPorts; ++port) {
        for (QWidget* w :
             {static_cast<QWidget*>(inputs_[port]), static_cast<QWidget*>(inputNames_[port]),
              static_cast<QWidget*>(counters_[port]), static_cast<QWidget*>(resets_[port])})
            w->setVisible(port < inputs);
        outputs_[port]->setVisible(port < outputs);
        outputNames_[port]->setVisible(port < outputs);
    }
    const int channels = analogChannelsOf(family);
    const bool temperature = family == FAMILY_RLX840;
    for (int ch = 0; ch < kAnalogChannels; ++ch) {
        const bool shown = ch < channels && (temperature || c_->AI[ch] == 1);
        analogNames_[ch]->setVisible(shown);
        analogValues_[ch]->setVisible(shown);
        bars_[ch]->setVisible(shown);
        bars_[ch]->setTextVisible(temperature);
        colourBar(bars_[ch], c_->AIFgColor[ch], c_->AIBgColor[ch],
                  barTextColor(c_->AIFgColor[ch], c_->AIBgColor[ch],
                               {bars_[ch]->minimum(), bars_[ch]->maximum()}, bars_[ch]->value()));
    }
    inputBox_->setVisible(hasInputs(family) && inputs > 0);
    outputBox_->setVisible(hasOutputs(family) && outputs > 0);
    analogBox_->setVisible(channels > 0);
    adjustSize();
    emit contentResized();
}

void CModelView::setController(CQUORVISData& controller) {
    c_ = &controller;
    readAllTimer_.stop();
    readOutputsTimer_.stop();
    commands_.setController(controller);
    commands_.readPulseFlags(); // they may have arrived before this window showed them
    loadCaptions();
    layOut();
    resetAnalog();
    redraw();
}

// After a close: names again, bars back to their ranges at 0, values empty.
void CModelView::resetAnalog() {
    for (int ch = 0; ch < kAnalogChannels; ++ch) {
        const AnalogDisplay shown = commands_.analog(ch);
        analogNames_[ch]->setText(shown.name);
        bars_[ch]->setRange(shown.bar.low, shown.bar.high);
        bars_[ch]->setValue(barPosition(shown.bar, 0));
        analogValues_[ch]->clear();
    }
}

void CModelView::redraw() {
    status_.show(commands_.status());
    redrawInputs();
    redrawOutputs();
    if (c_->DeviceType == FAMILY_RLX840)
        redrawTemperature(false);
    else
        redrawAnalog();
}

void CModelView::redrawInputs() {
    if (!hasInputs(c_->DeviceType)) return;
    const PortValues values = commands_.ports();
    for (int port = 0; port < kPorts; ++port) {
        const LampShown lamp = commands_.inputLampShown(port, values);
        inputImages_[port] = lamp.image;
        showLamp(inputs_[port], lamp);
        counters_[port]->setText(commands_.counterText(port));
    }
}

void CModelView::redrawOutputs() {
    if (!hasOutputs(c_->DeviceType)) return;
    const PortValues values = commands_.ports();
    for (int port = 0; port < kPorts; ++port) {
        const LampShown lamp = commands_.outputLampShown(port, values);
        outputImages_[port] = lamp.image;
        showLamp(outputs_[port], lamp);
        outputStates_[port] = values.outputs[port];
    }
}

void CModelView::redrawAnalog() {
    const int channels = analogChannelsOf(c_->DeviceType);
    for (int ch = 0; ch < channels; ++ch) {
        if (c_->AI[ch] != 1) continue;
        const AnalogDisplay shown = commands_.analog(ch);
        analogValues_[ch]->setText(shown.value);
        bars_[ch]->setRange(shown.bar.low, shown.bar.high);
        bars_[ch]->setValue(shown.position);
    }
}

void CModelView::redrawTemperature(bool logError) {
    const TemperatureDisplay shown = commands_.temperature(logError);
    if (!shown.sensorError.isEmpty()) {
        status_.setText(shown.sensorError);
        return;
    }
    status_.show(commands_.status());
    analogValues_[0]->setText(shown.value);
    bars_[0]->setRange(shown.bar.low, shown.bar.high);
    bars_[0]->setValue(shown.position);
    bars_[0]->setFormat(shown.value.trimmed());
    colourBar(bars_[0], c_->AIFgColor[0], c_->AIBgColor[0],
              barTextColor(c_->AIFgColor[0], c_->AIBgColor[0], shown.bar, shown.position));
}

QString CModelView::statusText() const {
    return status_.text()->text();
}

QString CModelView::counterText(int port) const {
    return counters_[port]->text();
}

QString CModelView::analogText(int channel) const {
    return analogValues_[channel]->text();
}

void CModelView::onCorvelNotification(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (static_cast<int>(wparam) != c_->DeviceId) return;
    if (message == CORVEL_WM_CONNECTION)
        onConnection(lparam);
    else if (message == CORVEL_WM_DATA)
        onData(static_cast<int>(lparam));
}

void CModelView::onConnection(intptr_t lparam) {
    const ConnectionReaction reaction = commands_.connectionChanged(lparam);
    if (CORVEL_LPARAM_ERROR(lparam) != 0) {
        if (reaction.status) status_.show(*reaction.status);
        markLampsUnknown(commands_, CORVEL_KIND_INPUT, inputs_, inputImages_);
        markLampsUnknown(commands_, CORVEL_KIND_OUTPUT, outputs_, outputImages_);
        return;
    }
    if (CORVEL_LPARAM_EVENT(lparam) == CORVEL_FD_CLOSE) resetAnalog();
    redraw();
}

void CModelView::onData(int code) {
    const DataReaction reaction = commands_.modelDataArrived(code);
    if (reaction.fullRefresh || reaction.redraw) {
        if (c_->DeviceType == FAMILY_RLX840 && code == MB_ANALOG_ERRORS) {
            redrawTemperature(true);
        } else {
            redraw();
        }
    }
    if (reaction.outputsFailed) {
        for (int port = 0; port < kPorts; ++port) {
            outputImages_[port] = {outputStates_[port] == 1 ? LampColor::Green : LampColor::Grey,
                                   LampMark::Error};
            outputs_[port]->setIcon(cachedLamp(outputImages_[port]));
        }
    }
    if (reaction.readAllAfterMs >= 0) readAllTimer_.start(reaction.readAllAfterMs);
    if (reaction.readOutputsAfterMs >= 0) readOutputsTimer_.start(reaction.readOutputsAfterMs);
    if (reaction.exceptionCode != 0) postException(reaction.exceptionCode);
}

// The exception is shown once the notification has returned, as a posted message would be.
void CModelView::postException(int code) {
    QMetaObject::invokeMethod(
        this, [this, code] { showMessage(modbusExceptionText(code)); }, Qt::QueuedConnection);
}

void CModelView::showMessage(const QString& text) {
    if (services_.prompts && !text.isEmpty()) services_.prompts->error(text);
}

} // namespace iomira
