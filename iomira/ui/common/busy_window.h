#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace iomira {

inline constexpr int kSpinnerFrames = 12;
inline constexpr int kSpinnerSize = 40;
inline constexpr int kSpinnerStepMs = 70;

// One frame of the spinner: twelve spokes, the one at `frame` darkest and the ones behind
// it fading, drawn for the device pixel ratio.
QPixmap spinnerFrame(int frame, qreal devicePixelRatio);

// A small window with a turning spinner and one line of text, shown over another window
// while a long operation runs. One instance serves the whole program.
class CMsgDlg : public QDialog {
    Q_OBJECT
  public:
    static CMsgDlg* instance(bool create = true);

    // Centres the window on `area` (keeping its size), shows it and sets its text.
    void ShowBusy(const QString& text, const QRect& area);
    void HideBusy() { hide(); }
    int frame() const { return frame_; }
    QString text() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CMsgDlg();
    QRect spinnerArea() const;

    QLabel* text_;
    QTimer timer_;
    int frame_ = 0;
};

// The busy window over `area`: created on first use.
void ShowBusy(const QString& text, const QRect& area);
void HideBusy();

} // namespace iomira
