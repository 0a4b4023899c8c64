#pragma once

#include <QString>

class QWidget;

namespace iomira {

// The message boxes of the mail-account dialogs, captioned with the program's title. Tests
// put a recorder in their place.
class MailAccountPrompts {
  public:
    virtual ~MailAccountPrompts() = default;
    virtual void information(const QString& text) = 0;
    virtual void warning(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    // Yes/No with the question icon.
    virtual bool ask(const QString& text) = 0;
};

class MailAccountMessageBoxes final : public MailAccountPrompts {
  public:
    explicit MailAccountMessageBoxes(QWidget* parent) : parent_(parent) {}
    void information(const QString& text) override;
    void warning(const QString& text) override;
    void error(const QString& text) override;
    bool ask(const QString& text) override;

  private:
    QWidget* parent_;
};

} // namespace iomira
