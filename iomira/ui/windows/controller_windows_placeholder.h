#pragma once

#include "ui/common/child_frame.h"

#include <QWidget>

class QLabel;

namespace iomira {

class CQUORVISData;

// The window of a model family whose own window this version does not have: its name,
// model and connection state, so the window pool treats it like any other.
class PlaceholderView : public QWidget, public ControllerView {
    Q_OBJECT
  public:
    explicit PlaceholderView(CQUORVISData& controller, QWidget* parent = nullptr);

    void setController(CQUORVISData& controller);
    void onCorvelNotification(uint32_t message, uintptr_t wparam, intptr_t lparam) override;
    // Shows the record's name, model and connection state as they are now.
    void refresh();

  private:
    CQUORVISData* c_;
    QLabel* model_;
    QLabel* status_;
    QLabel* note_;
};

} // namespace iomira
