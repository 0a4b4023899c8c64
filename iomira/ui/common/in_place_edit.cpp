#include "ui/common/in_place_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QValidator>

namespace iomira {

bool allowedText(const QString& allowed, const QString& text) {
    if (allowed.isEmpty()) return true;
    for (QChar ch : text) {
        if (!allowed.contains(ch)) return false;
    }
    return true;
}

namespace {

// Pasted or typed text is taken whole or not at all.
class AllowedCharacters final : public QValidator {
  public:
    explicit AllowedCharacters(QObject* parent) : QValidator(parent) {}
    QString allowed;
    State validate(QString& input, int&) const override {
        return allowedText(allowed, input) ? Acceptable : Invalid;
    }
};

QPointer<CInPlaceEdit>& instance() {
    static QPointer<CInPlaceEdit> editor;
    return editor;
}

} // namespace

CInPlaceEdit::CInPlaceEdit() {
    setObjectName(QStringLiteral("InPlaceEdit"));
    setValidator(new AllowedCharacters(this));
    hide();
    connect(this, &QLineEdit::returnPressed, this, [this] { finish(true); });
}

CInPlaceEdit* CInPlaceEdit::shared() {
    // The editor lives inside the window it edits in; it is made anew if that window went.
    if (!instance()) instance() = new CInPlaceEdit();
    return instance();
}

void CInPlaceEdit::begin(QWidget* parent, const QRect& area, const QString& text, int kind,
                         int port, EndHandler onEnd, const QString& allowed) {
    if (editing_) finish(true);
    allowed_ = allowed;
    static_cast<AllowedCharacters*>(const_cast<QValidator*>(validator()))->allowed = allowed;
    original_ = text;
    kind_ = kind;
    port_ = port;
    onEnd_ = std::move(onEnd);
    setParent(parent);
    setFont(parent->font());
    setGeometry(area);
    setText(text);
    selectAll();
    editing_ = true;
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void CInPlaceEdit::finish(bool keep) {
    if (!editing_) return;
    editing_ = false;
    const QString result = keep ? text() : original_;
    EndHandler handler = std::move(onEnd_);
    onEnd_ = nullptr;
    hide();
    if (handler) handler(kind_, port_, result);
}

void CInPlaceEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        finish(false);
        return;
    }
    const bool control = event->matches(QKeySequence::Copy) ||
                         event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
                         event->key() == Qt::Key_Backspace;
    if (!control && !event->text().isEmpty() && event->text().at(0).isPrint() &&
        !allowedText(allowed_, event->text())) {
        QApplication::beep();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CInPlaceEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    finish(true);
}

} // namespace iomira
