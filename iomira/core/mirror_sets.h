#pragma once

#include <QString>
#include <QStringList>

namespace iomira {

// The output sets of the multiple-port control live only in the outputs' UseMControlDo%d
// texts: the names of the sets holding the output, separated by ";". Names are compared
// exactly; empty parts (a leading, trailing or doubled ";") name no set.
inline constexpr QChar kSetSeparator = QLatin1Char(';');

QStringList setNamesIn(const QString& field);
bool fieldHoldsSet(const QString& field, const QString& name);
// The field with the name added at the end, once; empty parts are dropped.
QString fieldWithSet(const QString& field, const QString& name);
// The field without the name; the other names keep their order.
QString fieldWithoutSet(const QString& field, const QString& name);

// Why a typed set name cannot be stored: it is empty, or it holds the separator and would
// read back as two sets.
enum class SetNameProblem { None, Empty, Separator };
SetNameProblem checkSetName(const QString& name);

} // namespace iomira
