#pragma once

#include <QStyledItemDelegate>

namespace iomira {

// Opens the editor an item's line calls for (a name, an address, digits only, or a
// drop-down of choices) and hands the committed text back instead of writing it: the pane
// checks it and updates the record, the store and the item.
class TreeEditDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The choices and current choice of a drop-down line, filled in by the pane.
    static constexpr int kChoicesRole = Qt::UserRole + 2;
    static constexpr int kCurrentChoiceRole = Qt::UserRole + 3;
    static constexpr int kEditValueRole = Qt::UserRole + 4;
    static constexpr int kOwnerRole = Qt::UserRole + 5; // DeviceId of an info line's controller

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  signals:
    void committed(int type, int data, int ownerId, const QString& text) const;
};

} // namespace iomira
