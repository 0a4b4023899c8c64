#include "ui/history/log_viewer_window.h"

#include "core/log_day_files.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "ui/history/log_table_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaMethod>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace iomira {

namespace {

// Typing in the find field filters once the typing pauses.
constexpr int kFindDelayMs = 300;

QLabel* caption(int textId, QWidget* parent) {
    return new QLabel(loadString(textId), parent);
}

QTimeEdit* timeEdit(const QTime& time, const char* name, QWidget* parent) {
    auto* edit = new QTimeEdit(time, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    return edit;
}

} // namespace

CLogViewerWindow::CLogViewerWindow(Context context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(std::move(context)), model_(new LogTableModel(this)),
      table_(new QTableView(this)), days_(new QComboBox(this)), controllers_(new QComboBox(this)),
      from_(timeEdit(QTime(0, 0, 0), "From", this)), to_(timeEdit(QTime(23, 59, 59), "To", this)),
      find_(new QLineEdit(this)),
      export_(new QPushButton(loadString(TEXT_LOG_VIEWER_EXPORT), this)), status_(new QLabel(this)),
      findDelay_(new QTimer(this)) {
    setObjectName(QStringLiteral("LogViewerWindow"));
    setWindowTitle(loadString(TEXT_LOG_VIEWER));
    resize(1100, 640);
    table_->setModel(model_);
    table_->setObjectName(QStringLiteral("LogTable"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    table_->setWordWrap(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    findDelay_->setSingleShot(true);
    findDelay_->setInterval(kFindDelayMs);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filterBar());
    layout->addWidget(timeAndTextBar());
    layout->addWidget(table_, 1);
    layout->addWidget(status_);

    connect(model_, &LogTableModel::stateChanged, this, &CLogViewerWindow::stateChanged);
    connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar* bar = table_->verticalScrollBar();
        atBottom_ = bar->value() == bar->maximum();
    });
    // The day being written opens at its end, also after each new filter.
    connect(model_, &QAbstractItemModel::modelReset, this,
            [this] { atBottom_ = day_ == context_.today(); });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (atBottom_ && day_ == context_.today()) table_->scrollToBottom();
    });
    connect(table_, &QWidget::customContextMenuRequested, this, &CLogViewerWindow::rowMenu);
    connect(export_, &QPushButton::clicked, this, &CLogViewerWindow::exportRows);
    connect(findDelay_, &QTimer::timeout, this, &CLogViewerWindow::applyFilter);
    connect(find_, &QLineEdit::textChanged, findDelay_, qOverload<>(&QTimer::start));
    connect(from_, &QTimeEdit::timeChanged, this, &CLogViewerWindow::applyFilter);
    connect(to_, &QTimeEdit::timeChanged, this, &CLogViewerWindow::applyFilter);
    connect(controllers_, &QComboBox::currentIndexChanged, this, &CLogViewerWindow::applyFilter);
    connect(days_, &QComboBox::activated, this,
            [this](int index) { openDay(days_->itemData(index).toDate()); });
    fillControllers();
    openDay(context_.today());
}

QWidget* CLogViewerWindow::filterBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    days_->setObjectName(QStringLiteral("Day"));
    controllers_->setObjectName(QStringLiteral("Controller"));
    controllers_->setMinimumContentsLength(16);
    controllers_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    row->addWidget(caption(TEXT_LOG_VIEWER_DAY, bar));
    row->addWidget(days_);
    row->addSpacing(12);
    row->addWidget(caption(TEXT_LOG_VIEWER_CONTROLLER, bar));
    row->addWidget(controllers_);
    row->addSpacing(12);
    row->addWidget(caption(TEXT_LOG_VIEWER_SHOW, bar));
    for (size_t i = 0; i < kLogCategories.size(); ++i) {
        auto* box = new QCheckBox(logCategoryCaption(kLogCategories[i]), bar);
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, &CLogViewerWindow::applyFilter);
        categories_[i] = box;
        row->addWidget(box);
    }
    row->addStretch(1);
    return bar;
}

QWidget* CLogViewerWindow::timeAndTextBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    find_->setObjectName(QStringLiteral("Find"));
    find_->setClearButtonEnabled(true);
    export_->setObjectName(QStringLiteral("Export"));
    row->addWidget(caption(TEXT_LOG_VIEWER_FROM, bar));
    row->addWidget(from_);
    row->addWidget(caption(TEXT_LOG_VIEWER_TO, bar));
    row->addWidget(to_);
    row->addSpacing(12);
    row->addWidget(caption(TEXT_LOG_VIEWER_FIND, bar));
    row->addWidget(find_, 1);
    row->addSpacing(12);
    row->addWidget(export_);
    return bar;
}

QCheckBox* CLogViewerWindow::categoryBox(LogLineCategory category) const {
    return categories_[static_cast<size_t>(category)];
}

void CLogViewerWindow::showEvent(QShowEvent* event) {
    fillDays();
    QWidget::showEvent(event);
}

void CLogViewerWindow::openDay(const QDate& day) {
    day_ = day;
    fitted_ = false;
    applied_.reset();
    model_->openDay(context_.folder, day, day == context_.today());
    applyFilter();
    fillDays();
}

// Newest first; the day shown stays chosen.
void CLogViewerWindow::fillDays() {
    const QSignalBlocker blocker(days_);
    days_->clear();
    QList<QDate> days = viewerDays(loggedDays(context_.folder), context_.today());
    for (auto day = days.crbegin(); day != days.crend(); ++day)
        days_->addItem(day->toString(Qt::ISODate), *day);
    days_->setCurrentIndex(days_->findData(day_));
}

QStringList CLogViewerWindow::programControllers() const {
    return context_.programControllers ? context_.programControllers() : QStringList();
}

void CLogViewerWindow::fillControllers() {
    const QStringList names = controllerChoices(model_->controllerNames(), programControllers());
    if (names == shownNames_ && controllers_->count() > 0) return;
    shownNames_ = names;
    const QString chosen = controllers_->currentData().toString();
    const QSignalBlocker blocker(controllers_);
    controllers_->clear();
    controllers_->addItem(loadString(TEXT_LOG_VIEWER_ALL_CONTROLLERS), QString());
    for (const QString& name : names)
        controllers_->addItem(name, name);
    controllers_->setCurrentIndex(std::max(0, controllers_->findData(chosen)));
}

void CLogViewerWindow::applyFilter() {
    LogViewerChoices choices;
    choices.controller = controllers_->currentData().toString();
    choices.categories = 0;
    for (size_t i = 0; i < kLogCategories.size(); ++i) {
        if (categories_[i]->isChecked()) choices.categories |= logCategoryBit(kLogCategories[i]);
    }
    choices.day = day_;
    choices.from = from_->time();
    choices.to = to_->time();
    choices.text = find_->text();
    const LogFilter filter = viewerFilter(choices);
    if (applied_ == filter) return;
    applied_ = filter;
    model_->setFilter(filter);
}

void CLogViewerWindow::stateChanged() {
    const LogDayView::State state = model_->state();
    const bool noFiles = !state.busy && state.knownBytes == 0;
    status_->setText(noFiles ? loadString(TEXT_LOG_VIEWER_NO_FILES).arg(context_.folder)
                             : viewerStatus(state, model_->rowCount()));
    fillControllers();
    if (!fitted_ && model_->rowCount() > 0) {
        fitted_ = true;
        // The last column, Etc, keeps stretching to the table's edge.
        for (int column = 0; column < LOG_ETC; ++column)
            table_->resizeColumnToContents(column);
    }
}

void CLogViewerWindow::rowMenu(const QPoint& at) {
    const QModelIndex index = table_->indexAt(at);
    if (!index.isValid()) return;
    QMenu menu(this);
    QAction* trend = menu.addAction(loadString(TEXT_LOG_VIEWER_TREND));
    trend->setEnabled(
        isSignalConnected(QMetaMethod::fromSignal(&CLogViewerWindow::trendRequested)) &&
        trendRequest(model_->line(index.row()), programControllers()).has_value());
    if (menu.exec(table_->viewport()->mapToGlobal(at)) == trend) requestTrend(index.row());
}

void CLogViewerWindow::requestTrend(int row) {
    if (const std::optional<TrendRequest> request =
            trendRequest(model_->line(row), programControllers()))
        emit trendRequested(request->controller, request->time);
}

void CLogViewerWindow::exportRows() {
    // Beside the log folder, not in it: the folder is the log's own.
    const QString proposed = QFileInfo(context_.folder)
                                 .dir()
                                 .filePath(day_.toString(QStringLiteral("yyyyMMdd")) + ".csv");
    const QString path =
        chooseExportFile
            ? chooseExportFile(proposed)
            : QFileDialog::getSaveFileName(this, loadString(TEXT_LOG_VIEWER_EXPORT), proposed,
                                           loadString(TEXT_LOG_VIEWER_CSV_FILES));
    if (!path.isEmpty()) exportTo(path);
}

bool CLogViewerWindow::exportTo(const QString& path) {
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && model_->writeCsv(file) && file.commit();
    if (!written)
        context_.prompts.error(
            loadString(TEXT_LOG_VIEWER_EXPORT_FAILED).arg(path, file.errorString()));
    return written;
}

} // namespace iomira
