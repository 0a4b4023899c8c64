#pragma once

#include "core/string_table.h"

#include <QPushButton>
#include <QString>

namespace iomira {

// A dialog's push button with a findable name; it never turns Enter into its own click.
inline QPushButton* makeDialogButton(const QString& text, QWidget* parent, const char* name) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

inline QPushButton* makeDialogButton(int textId, QWidget* parent, const char* name) {
    return makeDialogButton(loadString(textId), parent, name);
}

} // namespace iomira
