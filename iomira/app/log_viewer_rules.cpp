#include "app/log_viewer_rules.h"

#include "core/string_table.h"
#include "core/texts.h"

#include <QLocale>

#include <algorithm>

namespace iomira {

namespace {

constexpr std::pair<unsigned, int> kFlawTexts[] = {
    {LOG_LINE_COLUMNS, TEXT_LOG_FLAW_COLUMNS},
    {LOG_LINE_OVERLONG, TEXT_LOG_FLAW_OVERLONG},
    {LOG_LINE_ENCODING, TEXT_LOG_FLAW_ENCODING},
    {LOG_LINE_UNENDED, TEXT_LOG_FLAW_UNENDED},
};

QString flawsText(unsigned flaws) {
    QStringList reasons;
    for (const auto& [flaw, textId] : kFlawTexts) {
        if (flaws & flaw) reasons << loadString(textId);
    }
    return loadString(TEXT_LOG_LINE_DAMAGED).arg(reasons.join(QStringLiteral("; ")));
}

QString count(qint64 n) {
    return QLocale().toString(n);
}

} // namespace

LogRowShown logRowShown(const LogLine& line) {
    LogRowShown shown;
    shown.damaged = line.malformed();
    if (line.flaws & LOG_LINE_COLUMNS)
        shown.columns[LOG_ETC] = line.raw;
    else
        shown.columns = line.columns;
    if (shown.damaged) shown.note = flawsText(line.flaws);
    return shown;
}

QString logColumnCaption(int column) {
    return column >= 0 && column < LOG_COLUMN_COUNT ? loadString(TEXT_LOG_COLUMN_COM_NAME + column)
                                                    : QString();
}

QString logCategoryCaption(LogLineCategory category) {
    return loadString(TEXT_LOG_CATEGORY_CONNECTION + static_cast<int>(category));
}

QStringList controllerChoices(const QStringList& dayNames, const QStringList& programNames) {
    QStringList names = dayNames + programNames;
    names.removeAll(QString());
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::localeAwareCompare(a, b) < 0;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

LogFilter viewerFilter(const LogViewerChoices& choices) {
    LogFilter filter;
    filter.controller = choices.controller;
    filter.categories = choices.categories;
    filter.text = choices.text;
    if (choices.from > QTime(0, 0, 0)) filter.from = QDateTime(choices.day, choices.from);
    if (choices.to < QTime(23, 59, 59)) filter.to = QDateTime(choices.day, choices.to);
    return filter;
}

QString viewerStatus(const LogDayView::State& state, qint64 shownRows) {
    QString text =
        state.filtered
            ? loadString(TEXT_LOG_VIEWER_ROWS_FILTERED).arg(count(shownRows), count(state.rows))
            : loadString(TEXT_LOG_VIEWER_ROWS).arg(count(shownRows));
    if (!state.busy) return text;
    if (state.indexedBytes < state.knownBytes) {
        const qint64 percent = state.indexedBytes * 100 / std::max<qint64>(1, state.knownBytes);
        return text + QStringLiteral(" - ") + loadString(TEXT_LOG_VIEWER_READING).arg(percent);
    }
    return text + QStringLiteral(" - ") + loadString(TEXT_LOG_VIEWER_FILTERING);
}

QList<QDate> viewerDays(const QList<QDate>& logged, const QDate& today) {
    QList<QDate> days = logged;
    if (!days.contains(today)) days << today;
    std::sort(days.begin(), days.end());
    return days;
}

std::optional<TrendRequest> trendRequest(const LogLine& line, const QStringList& programNames) {
    if ((line.flaws & LOG_LINE_COLUMNS) || !programNames.contains(line.columns[LOG_COM_NAME]) ||
        !line.time.isValid())
        return std::nullopt;
    return TrendRequest{line.columns[LOG_COM_NAME], line.time};
}

} // namespace iomira
