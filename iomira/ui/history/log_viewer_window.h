#pragma once

#include "app/log_viewer_rules.h"

#include <QDate>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimeEdit;
class QTimer;

namespace iomira {

class LogTableModel;
class UserPrompts;

// The event viewer: one day of the log in a table with its filters. The day being written is
// followed, and the table keeps to its end while it is scrolled there.
class CLogViewerWindow : public QWidget {
    Q_OBJECT
  public:
    struct Context {
        QString folder;
        UserPrompts& prompts;
        // The names of the program's controllers, offered beside the day's own.
        std::function<QStringList()> programControllers;
        std::function<QDate()> today = [] { return QDate::currentDate(); };
    };
    explicit CLogViewerWindow(Context context, QWidget* parent = nullptr);

    void openDay(const QDate& day);
    QDate day() const { return day_; }
    // Writes the rows shown to a CSV file; tells the operator when that failed.
    bool exportTo(const QString& path);
    // Asks for the trend of a row's controller at its time, when the row has both.
    void requestTrend(int row);

    // The save dialog; replaceable for tests. Returns the chosen path, or empty.
    std::function<QString(const QString& proposed)> chooseExportFile;

    QTableView* table() const { return table_; }
    LogTableModel* model() const { return model_; }
    QComboBox* dayPicker() const { return days_; }
    QComboBox* controllerPicker() const { return controllers_; }
    QCheckBox* categoryBox(LogLineCategory category) const;
    QTimeEdit* fromEdit() const { return from_; }
    QTimeEdit* toEdit() const { return to_; }
    QLineEdit* findField() const { return find_; }
    QLabel* statusLine() const { return status_; }

  signals:
    // "Trend" on a row of one of the program's controllers: its trend around that time. The
    // row menu offers "Trend" only while something is connected here.
    void trendRequested(const QString& controller, const QDateTime& time);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* filterBar();
    QWidget* timeAndTextBar();
    void fillDays();
    QStringList programControllers() const;
    void fillControllers();
    void applyFilter();
    void stateChanged();
    void rowMenu(const QPoint& at);
    void exportRows();

    Context context_;
    QDate day_;
    LogTableModel* model_;
    QTableView* table_;
    QComboBox* days_;
    QComboBox* controllers_;
    std::array<QCheckBox*, kLogCategories.size()> categories_{};
    QTimeEdit* from_;
    QTimeEdit* to_;
    QLineEdit* find_;
    QPushButton* export_;
    QLabel* status_;
    QTimer* findDelay_;
    QStringList shownNames_;
    std::optional<LogFilter> applied_;
    bool atBottom_ = true;
    bool fitted_ = false;
};

} // namespace iomira
