#pragma once

#include "core/trend_channel.h"

#include <QTreeWidget>

#include <functional>

namespace iomira {

class ControllerTable;

// The channel chooser of a trend window: each controller with its channels, a check box a
// channel. Checking asks `choose`, which may refuse; unchecking tells `drop`.
class TrendChooser : public QTreeWidget {
    Q_OBJECT
  public:
    explicit TrendChooser(QWidget* parent = nullptr);

    // Lists the table's controllers; `chosen` tells which channels are checked.
    void fill(const ControllerTable& table, const std::function<bool(const TrendChannel&)>& chosen);
    QTreeWidgetItem* itemOf(const TrendChannel& channel) const;
    void setChecked(const TrendChannel& channel, bool checked);

    std::function<bool(const TrendChannel&)> choose;
    std::function<void(const TrendChannel&)> drop;

  private:
    void itemToggled(QTreeWidgetItem* item);
    bool filling_ = false;
};

} // namespace iomira
