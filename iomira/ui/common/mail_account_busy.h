#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace iomira {

// The busy window over `over` while an account is verified.
void showMailAccountBusy(QWidget* over, const QString& text);
void hideMailAccountBusy();

// The program puts its shared busy window in place of the small one these functions show
// by themselves (which the dialogs' tests keep).
void setMailAccountBusyWindow(std::function<void(QWidget* over, const QString& text)> show,
                              std::function<void()> hide);

} // namespace iomira
