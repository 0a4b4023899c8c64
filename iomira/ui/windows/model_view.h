#pragma once

#include "monitor/controller_commands.h"
#include "monitor/view_services.h"
#include "ui/common/child_frame.h"
#include "ui/windows/port_widgets.h"

#include <QTimer>
#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace iomira {

class CQUORVISData;

// The window of an RLX-850, RLX-820, RLX-840 or RLX-810, built from the pieces their models
// have: input lamps with counters and reset buttons, output buttons, and analog channels (or
// the RLX-840's temperature) with name, value and bar. Values are read at every redraw.
class CModelView : public QWidget, public ControllerView {
    Q_OBJECT
  public:
    static constexpr int kPorts = 4;

    CModelView(CQUORVISData& controller, ViewServices services, QWidget* parent = nullptr);

    CQUORVISData& controller() const { return *c_; }
    void setController(CQUORVISData& controller) override;
    void onCorvelNotification(uint32_t message, uintptr_t wparam, intptr_t lparam) override;
    void redraw() override;

    // What the window shows, for tests and screenshots.
    QString statusText() const;
    LampImage inputImage(int port) const { return inputImages_[port]; }
    LampImage outputImage(int port) const { return outputImages_[port]; }
    QString counterText(int port) const;
    QString analogText(int channel) const;
    QProgressBar* analogBar(int channel) const { return bars_[channel]; }
    QLabel* analogLabel(int channel) const { return analogNames_[channel]; }
    QToolButton* inputButton(int port) const { return inputs_[port]; }
    QToolButton* outputButton(int port) const { return outputs_[port]; }
    QPushButton* resetButton(int port) const { return resets_[port]; }

    void clickInput();
    void clickOutput(int port);
    void clickReset(int port);
    void editName(int kind, int index);

  signals:
    void contentResized();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void buildInputs();
    void buildOutputs();
    void buildAnalog();
    void layOut();
    void loadCaptions();
    void resetAnalog();
    void redrawInputs();
    void redrawOutputs();
    void redrawAnalog();
    void redrawTemperature(bool logError);
    void onConnection(intptr_t lparam);
    void onData(int code);
    void postException(int code);
    void showMessage(const QString& text);
    void nameEdited(int kind, int index, const QString& text);
    QLabel* nameLabelOf(int kind, int index) const;

    CQUORVISData* c_;
    ViewServices services_;
    StatusRow status_;
    QGroupBox* inputBox_;
    QGroupBox* outputBox_;
    QGroupBox* analogBox_;
    std::array<QToolButton*, kPorts> inputs_{};
    std::array<QLabel*, kPorts> inputNames_{};
    std::array<QLabel*, kPorts> counters_{};
    std::array<QPushButton*, kPorts> resets_{};
    std::array<QToolButton*, kPorts> outputs_{};
    std::array<QLabel*, kPorts> outputNames_{};
    std::array<QLabel*, kAnalogChannels> analogNames_{};
    std::array<QLabel*, kAnalogChannels> analogValues_{};
    std::array<QProgressBar*, kAnalogChannels> bars_{};
    std::array<LampImage, kPorts> inputImages_{};
    std::array<LampImage, kPorts> outputImages_{};
    std::array<int, kPorts> outputStates_{};
    QTimer readAllTimer_;     // the delayed read of every input register
    QTimer readOutputsTimer_; // the delayed read of the outputs
    ControllerCommands commands_;
};

} // namespace iomira
