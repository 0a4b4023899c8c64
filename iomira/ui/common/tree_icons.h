#pragma once

#include <QIcon>

namespace iomira {

// The eight images of the device tree (TreeIcon order), drawn at 16 and 32 pixels so they
// stay sharp on high-density screens.
QIcon treeIcon(int index);

} // namespace iomira
