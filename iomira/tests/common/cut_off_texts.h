#pragma once

#include <QStringList>

class QWidget;

namespace iomira::test {

// The texts of a laid-out window that do not show in full: every visible label, check box,
// radio button, push button and line edit whose text needs more width than it was given (a
// word-wrapped label: more height). One line per text, naming the widget and both widths.
QStringList cutOffTexts(const QWidget& window);

// Shows the window, lets it lay itself out and returns its cut-off texts.
QStringList cutOffTextsShown(QWidget& window);

} // namespace iomira::test
