#pragma once

#include "monitor/controller_commands.h"
#include "monitor/view_services.h"
#include "ui/common/child_frame.h"
#include "ui/common/lamp_images.h"
#include "ui/windows/port_widgets.h"

#include <QTimer>
#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QToolButton;

namespace iomira {

class CQUORVISData;

// The window of a generic controller or an RLX-830: input lamps, output buttons with their
// names, the connection state, and the clicks that read inputs, switch and pulse outputs.
// Port values are read at every redraw; only the outputs shown are kept, to toggle.
class CQuorvis2View : public QWidget, public ControllerView {
    Q_OBJECT
  public:
    static constexpr int kExceptionMessage = 2324;

    CQuorvis2View(CQUORVISData& controller, ViewServices services, QWidget* parent = nullptr);

    CQUORVISData& controller() const { return *c_; }
    // Shows another controller of this kind; the port widgets follow its port counts.
    void setController(CQUORVISData& controller) override;
    void onCorvelNotification(uint32_t message, uintptr_t wparam, intptr_t lparam) override;
    void redraw() override;

    // What the window shows, for tests and screenshots.
    LampImage inputImage(int port) const { return inputImages_[port]; }
    LampImage outputImage(int port) const { return outputImages_[port]; }
    QString statusText() const;
    QToolButton* inputButton(int port) const { return inputs_[port]; }
    QToolButton* outputButton(int port) const { return outputs_[port]; }
    QLabel* inputLabel(int port) const { return inputNames_[port]; }
    QLabel* outputLabel(int port) const { return outputNames_[port]; }
    const PulseTracker& pulses() const { return commands_.pulses(); }

    void clickInput();
    void clickOutput(int port);
    void editPortName(int kind, int port);
    void setViewMode(int mode);

  signals:
    // The frame around the window fits itself to the new content.
    void contentResized();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void buildPorts();
    void layOut();
    void loadCaptions();
    void showState();
    void onConnection(intptr_t lparam);
    void onData(int code);
    void showPortErrors(const DataReaction& reaction);
    void postException(int code);
    void showMessage(const QString& text);
    void portNameEdited(int kind, int port, const QString& text);

    CQUORVISData* c_;
    ViewServices services_;
    StatusRow status_;
    QGroupBox* inputBox_;
    QGroupBox* outputBox_;
    std::array<QToolButton*, 8> inputs_{};
    std::array<QToolButton*, 8> outputs_{};
    std::array<QLabel*, 8> inputNames_{};
    std::array<QLabel*, 8> outputNames_{};
    std::array<LampImage, 8> inputImages_{};
    std::array<LampImage, 8> outputImages_{};
    std::array<int, 8> outputStates_{};
    std::array<QTimer, 8> pulseTimers_;
    QTimer coilReadTimer_;
    ControllerCommands commands_;
};

} // namespace iomira
