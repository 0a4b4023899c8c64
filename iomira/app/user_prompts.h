#pragma once

#include <QString>

class QWidget;

namespace iomira {

// Message boxes, captioned with the program's title. Tests put a recorder in their place.
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
