#include "ui/common/text_widths.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace iomira {

namespace {
// A line edit keeps two pixels on either side of its text; one more for the cursor.
constexpr int kLineEditTextMargins = 2 * 2 + 1;
} // namespace

int widthForCharacters(const QWidget& widget, int characters) {
    return widget.fontMetrics().averageCharWidth() * characters;
}

int fieldWidthFor(const QLineEdit& field, const QString& text) {
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.lineWidth =
        field.hasFrame() ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field)
                         : 0;
    const QMargins margins = field.textMargins();
    const int inner = field.fontMetrics().horizontalAdvance(text) + margins.left() +
                      margins.right() + kLineEditTextMargins;
    return field.style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, field.sizeHint().height()),
                           &field)
        .width();
}

} // namespace iomira
