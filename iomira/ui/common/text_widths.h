#pragma once

class QLineEdit;
class QString;
class QWidget;

namespace iomira {

// Widths taken from the widget's own font, so that a field or a window holds what it shows
// in every language and at every scale.

// `characters` average characters of the widget's font.
int widthForCharacters(const QWidget& widget, int characters);

// The width a line edit needs to show `text` whole, its frame and margins included.
int fieldWidthFor(const QLineEdit& field, const QString& text);

} // namespace iomira
