#include "common/cut_off_texts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace iomira::test {

namespace {

QString describe(const QWidget& w, const QString& text, int has, int needs) {
    return QStringLiteral("%1 \"%2\": %3 px for %4 px")
        .arg(QString::fromLatin1(w.metaObject()->className()), text)
        .arg(has)
        .arg(needs);
}

// The width a line edit needs to show its whole text without scrolling it.
int lineEditNeeds(const QLineEdit& edit) {
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.lineWidth = edit.hasFrame()
                           ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit)
                           : 0;
    const QMargins margins = edit.textMargins();
    // The line edit keeps a margin of two pixels on either side of its text.
    const int inner = edit.fontMetrics().horizontalAdvance(edit.text()) + margins.left() +
                      margins.right() + 4 + 1;
    return edit.style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, edit.height()), &edit)
        .width();
}

void checkLabel(const QLabel& label, QStringList& out) {
    if (label.text().isEmpty() || !label.pixmap().isNull()) return;
    if (label.wordWrap()) {
        const int needs = label.heightForWidth(label.width());
        if (needs > label.height())
            out << describe(label, label.text(), label.height(), needs) + QStringLiteral(" high");
        return;
    }
    const int needs = label.sizeHint().width();
    if (needs > label.width()) out << describe(label, label.text(), label.width(), needs);
}

} // namespace

QStringList cutOffTexts(const QWidget& window) {
    QStringList out;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            checkLabel(*label, out);
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            const bool textButton = w->inherits("QCheckBox") || w->inherits("QRadioButton") ||
                                    w->inherits("QPushButton");
            if (!textButton || button->text().isEmpty()) continue;
            const int needs = button->sizeHint().width();
            if (needs > button->width()) out << describe(*w, button->text(), w->width(), needs);
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
            // Fields of spin boxes and combo boxes hold numbers and choices of their own.
            if (edit->text().isEmpty() || !edit->parentWidget() ||
                edit->parentWidget()->inherits("QAbstractSpinBox") ||
                edit->parentWidget()->inherits("QComboBox"))
                continue;
            const int needs = lineEditNeeds(*edit);
            if (needs > edit->width()) out << describe(*edit, edit->text(), edit->width(), needs);
        }
    }
    return out;
}

QStringList cutOffTextsShown(QWidget& window) {
    window.show();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    QStringList out = cutOffTexts(window);
    window.hide();
    return out;
}

} // namespace iomira::test
