#include "app/console_prompts.h"

#include <QStringList>

namespace iomira {

QString oneLine(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines.join(QLatin1Char(' '));
}

void ConsolePrompts::problem(const QString& text) {
    err_ << oneLine(text) << '\n';
    err_.flush();
    ++problems_;
}

void ConsolePrompts::error(const QString& text) {
    problem(text);
}

void ConsolePrompts::information(const QString& text) {
    problem(text);
}

bool ConsolePrompts::ask(const QString& text, bool) {
    problem(text);
    return false;
}

} // namespace iomira
