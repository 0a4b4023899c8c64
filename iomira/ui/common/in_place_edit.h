#pragma once

#include <QLineEdit>
#include <QPointer>

#include <functional>

namespace iomira {

// True when every character of `text` is in `allowed`; an empty `allowed` allows all.
bool allowedText(const QString& allowed, const QString& text);

// The editor that opens over a port name. One instance serves every window: opening it
// somewhere else ends the edit under way. Enter or leaving the field ends with the new
// text, Escape with the old one; the owner hears of the end once, with the port it named.
class CInPlaceEdit : public QLineEdit {
    Q_OBJECT
  public:
    enum PortKind { InputPort = 1, OutputPort = 2, AnalogChannel = 3 };
    // kind, port, text
    using EndHandler = std::function<void(int kind, int port, const QString& text)>;

    static CInPlaceEdit* shared();

    // Opens over `area` of `parent` with `text` selected; `allowed` limits the characters.
    void begin(QWidget* parent, const QRect& area, const QString& text, int kind, int port,
               EndHandler onEnd, const QString& allowed = {});
    // Ends the edit under way, keeping (true) or dropping the typed text.
    void finish(bool keep);
    bool editing() const { return editing_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    CInPlaceEdit();

    QString allowed_;
    QString original_;
    int kind_ = 0;
    int port_ = -1;
    EndHandler onEnd_;
    bool editing_ = false;
};

} // namespace iomira
