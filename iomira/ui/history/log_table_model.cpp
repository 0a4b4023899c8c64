#include "ui/history/log_table_model.h"

#include "core/log_export.h"

#include <QBrush>
#include <QColor>

namespace iomira {

namespace {

// Enough for several screens of rows, each cell asked for several times per paint.
constexpr int kCachedRows = 2000;

} // namespace

LogTableModel::LogTableModel(QObject* parent)
    : QAbstractTableModel(parent), refreshPosted_(std::make_shared<std::atomic<bool>>(false)),
      cache_(kCachedRows) {}

// The view's thread ends before the model it reports to.
LogTableModel::~LogTableModel() {
    view_.reset();
}

void LogTableModel::openDay(const QString& folder, const QDate& day, bool follow) {
    beginResetModel();
    view_.reset();
    rows_.clear();
    shownRows_ = 0;
    cache_.clear();
    state_ = {};
    generation_ = 0;
    filtered_ = false;
    view_ = std::make_unique<LogDayView>(folder, day, follow, [this] { viewChanged(); });
    endResetModel();
    emit stateChanged();
}

void LogTableModel::setFilter(const LogFilter& filter) {
    if (view_) view_->setFilter(filter);
}

// On the view's thread: one refresh at a time waits in the event queue.
void LogTableModel::viewChanged() {
    if (refreshPosted_->exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshPosted_->store(false);
            refresh();
        },
        Qt::QueuedConnection);
}

void LogTableModel::refresh() {
    if (!view_) return;
    state_ = view_->state();
    if (state_.generation != generation_ || state_.filtered != filtered_) {
        beginResetModel();
        generation_ = state_.generation;
        filtered_ = state_.filtered;
        rows_.clear();
        rows_.shrink_to_fit();
        shownRows_ = 0;
        cache_.clear();
        endResetModel();
    }
    takeNewRows();
    emit stateChanged();
}

void LogTableModel::takeNewRows() {
    if (filtered_) {
        const std::vector<uint32_t> more = view_->matches(generation_, rows_.size());
        if (more.empty()) return;
        const int first = static_cast<int>(rows_.size());
        beginInsertRows({}, first, first + static_cast<int>(more.size()) - 1);
        rows_.insert(rows_.end(), more.begin(), more.end());
        shownRows_ = static_cast<qint64>(rows_.size());
        endInsertRows();
    } else if (state_.rows > shownRows_) {
        beginInsertRows({}, static_cast<int>(shownRows_), static_cast<int>(state_.rows) - 1);
        shownRows_ = state_.rows;
        endInsertRows();
    }
}

QStringList LogTableModel::controllerNames() const {
    return view_ ? view_->index().controllerNames() : QStringList();
}

qint64 LogTableModel::dayRow(int row) const {
    return filtered_ ? rows_[static_cast<size_t>(row)] : row;
}

LogLine LogTableModel::line(int row) const {
    if (!view_ || row < 0 || row >= shownRows_) return {};
    return view_->index().row(dayRow(row));
}

const LogRowShown& LogTableModel::shown(int row) const {
    const qint64 key = dayRow(row);
    if (LogRowShown* cached = cache_.object(key)) return *cached;
    auto* made = new LogRowShown(logRowShown(view_->index().row(key)));
    cache_.insert(key, made);
    return *made;
}

bool LogTableModel::writeCsv(QIODevice& out) const {
    if (!view_) return false;
    if (filtered_) return writeLogCsv(view_->index(), rows_, out);
    return writeLogCsv(view_->index(), out);
}

int LogTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shownRows_);
}

int LogTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : LOG_COLUMN_COUNT;
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shownRows_) return {};
    const LogRowShown& row = shown(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return row.columns[index.column()];
    case Qt::ToolTipRole:
        return row.damaged ? row.note : row.columns[index.column()];
    case Qt::ForegroundRole:
        return row.damaged ? QBrush(QColor(160, 0, 0)) : QVariant();
    case Qt::BackgroundRole:
        return row.damaged ? QBrush(QColor(255, 244, 214)) : QVariant();
    default:
        return {};
    }
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return logColumnCaption(section);
}

} // namespace iomira
