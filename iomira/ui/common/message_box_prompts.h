#pragma once

#include "core/user_prompts.h"

class QWidget;

namespace iomira {

// Message boxes, captioned with the program's title.
class MessageBoxPrompts final : public UserPrompts {
  public:
    explicit MessageBoxPrompts(QWidget* parent) : parent_(parent) {}
    void error(const QString& text) override;
    void information(const QString& text) override;
    void warning(const QString& text) override;
    bool ask(const QString& text, bool warning) override;

  private:
    QWidget* parent_;
};

} // namespace iomira
