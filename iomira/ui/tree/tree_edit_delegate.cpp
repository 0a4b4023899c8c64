#include "ui/tree/tree_edit_delegate.h"

#include "app/tree_edit_rules.h"
#include "app/tree_texts.h"
#include "ui/tree/view_tree.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace iomira {

namespace {

EditKind editKindOf(const QModelIndex& index) {
    if (index.data(kItemTypeRole).toInt() != ITEM_INFO) return EditKind::Text;
    return infoEditKind(index.data(kItemDataRole).toInt());
}

} // namespace

QWidget* TreeEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
    const EditKind kind = editKindOf(index);
    if (kind == EditKind::None) return nullptr;
    if (kind == EditKind::Choice) {
        auto* combo = new QComboBox(parent);
        combo->addItems(index.data(kChoicesRole).toStringList());
        // A choice is final at once: the drop-down commits when one is picked.
        connect(combo, &QComboBox::activated, combo, [this, combo] {
            auto* self = const_cast<TreeEditDelegate*>(this);
            emit self->commitData(combo);
            emit self->closeEditor(combo);
        });
        return combo;
    }
    auto* line = new QLineEdit(parent);
    line->setFrame(true);
    if (kind == EditKind::Digits) {
        // Keys and pastes that are not digits are refused as a whole, with a beep.
        line->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), line));
        connect(line, &QLineEdit::inputRejected, line, [] { QApplication::beep(); });
    }
    return line;
}

void TreeEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(index.data(kCurrentChoiceRole).toInt());
        combo->showPopup();
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(index.data(kEditValueRole).toString());
        line->selectAll();
    }
}

void TreeEditDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                    const QModelIndex& index) const {
    QString text;
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        text = combo->currentText();
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        text = line->text();
    emit committed(index.data(kItemTypeRole).toInt(), index.data(kItemDataRole).toInt(),
                   index.data(kOwnerRole).toInt(), text);
}

} // namespace iomira
