#pragma once

#include "core/log_day_view.h"
#include "core/log_line.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include <array>
#include <optional>

namespace iomira {

// What the event viewer shows of one line: its columns, or for a line too damaged to have
// them its whole text in the last column; and, for any damaged line, why it is marked.
struct LogRowShown {
    std::array<QString, LOG_COLUMN_COUNT> columns;
    bool damaged = false;
    QString note;
};
LogRowShown logRowShown(const LogLine& line);

// The caption of each column and of each category, in the program's language.
QString logColumnCaption(int column);
QString logCategoryCaption(LogLineCategory category);
inline constexpr std::array<LogLineCategory, 5> kLogCategories = {
    LogLineCategory::Connection, LogLineCategory::Input, LogLineCategory::Output,
    LogLineCategory::Email, LogLineCategory::Other};

// The controllers to choose from: the names the day's lines carry and those of the program's
// controllers, each once, in order.
QStringList controllerChoices(const QStringList& dayNames, const QStringList& programNames);

// The filter the viewer's fields make. A range over the whole day filters nothing.
struct LogViewerChoices {
    QString controller; // empty: all
    unsigned categories = kAllLogCategories;
    QDate day;
    QTime from{0, 0, 0}, to{23, 59, 59};
    QString text;
};
LogFilter viewerFilter(const LogViewerChoices& choices);

// The status line: rows shown (of how many) and how far reading or filtering is.
QString viewerStatus(const LogDayView::State& state, qint64 shownRows);

// The days the picker offers: those with files, and today even before its first file.
QList<QDate> viewerDays(const QList<QDate>& logged, const QDate& today);

// The controller and time a trend of a row would show: a line of one of the program's
// controllers with its time; none for any other line, the program having no trend of it.
struct TrendRequest {
    QString controller;
    QDateTime time;
};
std::optional<TrendRequest> trendRequest(const LogLine& line, const QStringList& programNames);

} // namespace iomira
