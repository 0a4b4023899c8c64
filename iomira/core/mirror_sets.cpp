#include "core/mirror_sets.h"

namespace iomira {

QStringList setNamesIn(const QString& field) {
    return field.split(kSetSeparator, Qt::SkipEmptyParts);
}

bool fieldHoldsSet(const QString& field, const QString& name) {
    return !name.isEmpty() && setNamesIn(field).contains(name);
}

QString fieldWithSet(const QString& field, const QString& name) {
    QStringList names = setNamesIn(field);
    if (!name.isEmpty() && !names.contains(name)) names << name;
    return names.join(kSetSeparator);
}

QString fieldWithoutSet(const QString& field, const QString& name) {
    QStringList names = setNamesIn(field);
    names.removeAll(name);
    return names.join(kSetSeparator);
}

SetNameProblem checkSetName(const QString& name) {
    if (name.trimmed().isEmpty()) return SetNameProblem::Empty;
    if (name.contains(kSetSeparator)) return SetNameProblem::Separator;
    return SetNameProblem::None;
}

} // namespace iomira
