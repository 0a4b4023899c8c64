// The status line of a controller window shows its whole text: a longer one widens the window
// in its frame, once.

#include "core/string_table.h"
#include "ui/windows/port_widgets.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace iomira {
namespace {

TEST(StatusRow, ALongerTextWidensTheWindowAndItKeepsItsWidth) {
    QMdiSubWindow frame;
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    StatusRow row(view);
    layout->addWidget(row.text());
    frame.setWidget(view);
    row.show({QStringLiteral("Closed"), ConnectionIcon::ClosedAuto});
    frame.adjustSize();
    frame.show();
    const int narrow = frame.width();

    const QString refused = QStringLiteral("[111] Connection refused, and a little more");
    row.show({refused, ConnectionIcon::Error});
    EXPECT_GE(row.text()->width(), row.text()->sizeHint().width());
    EXPECT_GT(frame.width(), narrow);
    EXPECT_TRUE(frame.contentsRect().contains(
        QRect(row.text()->mapTo(&frame, QPoint(0, 0)), row.text()->size())));

    const int wide = frame.width();
    row.show({QStringLiteral("Connected"), ConnectionIcon::Connected});
    EXPECT_EQ(frame.width(), wide) << "no jump back at every change of state";
    row.setText(QStringLiteral("[E03] RTD Sensor Disconnected. A longer text than before"));
    EXPECT_GE(row.text()->width(), row.text()->sizeHint().width());
}

} // namespace
} // namespace iomira
