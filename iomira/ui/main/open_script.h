#pragma once

class QWidget;

namespace iomira {

class CDeviceListPane;
class UserPrompts;

// The Open Script command: picks an INI or CSV script, adds its controllers to the device
// list and tells what went wrong with the file, if anything.
void openScript(QWidget* parent, CDeviceListPane& pane, UserPrompts& prompts);

} // namespace iomira
