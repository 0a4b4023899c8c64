#pragma once

#include <QMdiSubWindow>

#include <cstdint>
#include <functional>

namespace iomira {

class CQUORVISData;

// A controller's window receives the Corvel notifications of its controller, can show
// another controller of its kind, and redraws when its record changed.
class ControllerView {
  public:
    virtual ~ControllerView() = default;
    virtual void onCorvelNotification(uint32_t message, uintptr_t wparam, intptr_t lparam) = 0;
    virtual void setController(CQUORVISData& controller) = 0;
    virtual void redraw() = 0;
};

// The frame of one controller's window: fixed size, no close button (the program decides
// when controller windows close), and its placement saved into the record on every move.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
  public:
    using RecordSaver = std::function<void(const CQUORVISData&)>;

    CChildFrame(CQUORVISData& controller, RecordSaver saver, QWidget* parent = nullptr);

    int deviceId() const;
    CQUORVISData& controller() { return *controller_; }
    // Re-targets the window to another controller of its kind (group switches reuse windows).
    void setController(CQUORVISData& controller);
    void onCorvelNotification(uint32_t message, uintptr_t wparam, intptr_t lparam);
    // Closes the window for the program (group change, deletion, exit).
    void closeByProgram();
    // Minimises or restores as the window's own buttons do, recording it in the record.
    void setMinimizedByUser(bool minimized);

  signals:
    void activatedForController(int deviceId);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void savePlacement();
    void applyFrameFlags();

    CQUORVISData* controller_;
    RecordSaver saver_;
    bool closingByProgram_ = false;
    bool applyingState_ = false;
};

} // namespace iomira
