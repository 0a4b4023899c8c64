#pragma once

#include "notify/notification_window_model.h"

#include <QMargins>
#include <QWidget>

#include <array>
#include <functional>

class QPushButton;

namespace iomira {

class CQUORVISData;
class Store;
class UserPrompts;

// The pop-up that collects one message per changed input: always on top, without a title
// bar until the mouse is over it, paged with four buttons and confirmed one by one or all.
class CDlgMSG : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kShowControllerMessage = 3024;
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 250;
    enum Button { Previous, First, Next, End, Controller, Confirm, ConfirmAll, ButtonCount };

    CDlgMSG(Store& store, UserPrompts& prompts, QWidget* owner);

    void AddNotification(const QString& text, int deviceId);
    // A changed input, when input notifications are switched on.
    void PostInputNotification(const CQUORVISData& c, int input, int value);

    // The INPUT_NOTIFICATION switch as the program holds it.
    std::function<int()> inputNotification;
    // Message 3024 to the owner: select the controller and bring its window forward.
    std::function<void(int deviceId)> showController;

    const NotificationList& messages() const { return list_; }
    QPushButton* button(Button which) const { return buttons_[which]; }
    void press(Button which);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void placeAtStart();
    void layOutButtons();
    void refresh();
    void hideMessages();
    void setTitleBar(bool shown);
    void savePlacement();
    QMargins titleBarFrame();
    void keepOnScreen();

    Store& store_;
    UserPrompts& prompts_;
    NotificationList list_;
    std::array<QPushButton*, ButtonCount> buttons_{};
    bool placing_ = false;
    QMargins titleFrame_;
};

} // namespace iomira
