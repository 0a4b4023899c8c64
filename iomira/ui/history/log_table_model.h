#pragma once

#include "app/log_viewer_rules.h"
#include "core/log_day_view.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QIODevice>

#include <atomic>
#include <memory>
#include <vector>

namespace iomira {

// The rows of one day of the log for a table: read from the files through the day's index
// when shown, never held as text beyond the few the table shows; new rows are added as the
// index and the filter find them.
class LogTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit LogTableModel(QObject* parent = nullptr);
    ~LogTableModel() override;

    void openDay(const QString& folder, const QDate& day, bool follow);
    void setFilter(const LogFilter& filter);

    LogDayView::State state() const { return state_; }
    QStringList controllerNames() const;
    LogLine line(int row) const;
    // Writes the rows shown as CSV; false when a write failed.
    bool writeCsv(QIODevice& out) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  signals:
    // Rows were added or the state of reading and filtering changed.
    void stateChanged();

  private:
    void viewChanged();
    void refresh();
    void takeNewRows();
    qint64 dayRow(int row) const;
    const LogRowShown& shown(int row) const;

    std::shared_ptr<std::atomic<bool>> refreshPosted_;
    std::unique_ptr<LogDayView> view_;
    LogDayView::State state_;
    int generation_ = 0;
    bool filtered_ = false;
    std::vector<uint32_t> rows_; // the day's rows the filter passed
    qint64 shownRows_ = 0;
    mutable QCache<qint64, LogRowShown> cache_;
};

} // namespace iomira
