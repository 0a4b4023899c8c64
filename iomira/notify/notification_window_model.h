#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

namespace iomira {

class CQUORVISData;

// The messages of the notification window, the one on screen and which navigation buttons
// can be used. Navigation follows the position: back only when not at the first message,
// forward only when not at the last.
class NotificationList {
  public:
    struct Buttons {
        bool previous = false, first = false, next = false, end = false;
        bool operator==(const Buttons&) const = default;
    };

    // Appends a message; true when the window was hidden and now has to be shown.
    bool add(const QString& text, int deviceId);
    void previous();
    void next();
    void first();
    void end();
    // Removes the message on screen; true when the list became empty (the window hides).
    bool confirm();
    void confirmAll();

    int count() const { return int(texts_.size()); }
    int currentIndex() const { return current_; }
    bool shown() const { return shown_; }
    QString currentText() const;
    int currentDeviceId() const;
    // "%d / %d", or empty while nothing is on screen.
    QString counterText() const;
    Buttons buttons() const;

  private:
    bool valid() const { return current_ >= 0 && current_ < count(); }

    std::vector<QString> texts_;
    std::vector<int> deviceIds_;
    int current_ = -1;
    bool shown_ = false;
};

// The message for a changed input: "%d" the controller's name, "%p" the input's name,
// "%s" ON or OFF, "%t" the time, replaced in that order.
QString inputNotificationText(const QString& pattern, const CQUORVISData& c, int input, int value,
                              const QDateTime& when);

} // namespace iomira
