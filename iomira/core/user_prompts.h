#pragma once

#include <QString>

namespace iomira {

// The questions and notices the program puts to the operator. The program shows message
// boxes (ui/common/message_box_prompts.h); tests put a recorder in their place.
class UserPrompts {
  public:
    virtual ~UserPrompts() = default;
    virtual void error(const QString& text) = 0;
    virtual void information(const QString& text) = 0;
    // A notice with the warning icon; recorders that do not tell icons apart get an error.
    virtual void warning(const QString& text) { error(text); }
    // Yes/No; `warning` selects the warning icon instead of the question mark.
    virtual bool ask(const QString& text, bool warning = false) = 0;
};

} // namespace iomira
