#pragma once

#include "monitor/controller_commands.h"
#include "monitor/lamp_image.h"
#include "monitor/port_state.h"

#include <span>

class QIcon;
class QLabel;
class QToolButton;
class QWidget;

namespace iomira {

// The pieces every controller window is built from.

// A flat button that shows a port's lamp.
QToolButton* lampButton(QWidget* parent);
// A port or channel name that opens the in-place editor when clicked.
QLabel* nameLabel(QWidget* parent);
// Lamp icons are drawn once per colour, mark and knowledge.
const QIcon& cachedLamp(LampImage image);
// Puts a lamp's picture and tooltip on its button.
void showLamp(QToolButton* button, const LampShown& lamp);
// Marks a row of lamps unknown, each keeping the picture it shows (`images`, updated).
void markLampsUnknown(const ControllerCommands& commands, int kind,
                      std::span<QToolButton* const> buttons, std::span<LampImage> images);

// The connection state above a window's ports: an icon and a bold text. The icon is also the
// window's own. The text is never cut: a longer one widens the window.
class StatusRow {
  public:
    explicit StatusRow(QWidget* view);
    QLabel* icon() const { return icon_; }
    QLabel* text() const { return text_; }
    void show(const StatusLine& line);
    // Another text with the icon as it is (a sensor's error on a connected controller).
    void setText(const QString& text);

  private:
    QWidget* view_;
    QLabel* icon_;
    QLabel* text_;
};

} // namespace iomira
