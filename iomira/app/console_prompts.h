#pragma once

#include "core/user_prompts.h"

#include <QTextStream>

namespace iomira {

// The command line's answer to the program's message boxes: each notice becomes one line on
// standard error, and no question is answered yes (the options have chosen already).
class ConsolePrompts : public UserPrompts {
  public:
    explicit ConsolePrompts(QTextStream& err) : err_(err) {}

    void error(const QString& text) override;
    void information(const QString& text) override;
    bool ask(const QString& text, bool warning) override;

    // Lines written so far: each one is a problem the summary has to admit.
    int problems() const { return problems_; }
    void problem(const QString& text);

  private:
    QTextStream& err_;
    int problems_ = 0;
};

// A message box text as one line.
QString oneLine(const QString& text);

} // namespace iomira
