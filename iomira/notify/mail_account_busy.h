#pragma once

#include <QString>

class QWidget;

namespace iomira {

// The busy window over `over` while an account is verified. One pair of functions, so that
// the program's shared busy window can take this place without touching the dialogs.
void showMailAccountBusy(QWidget* over, const QString& text);
void hideMailAccountBusy();

} // namespace iomira
