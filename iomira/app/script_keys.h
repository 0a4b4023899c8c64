#pragma once

#include "app/script_reader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace iomira {

// One key's value as a section or a row gives it.
struct ScriptValue {
    enum class State {
        Missing, // not in the section, or no column for it
        Ignored, // found where its value cannot end (last line without a line break)
        Present,
    };
    State state = State::Missing;
    QByteArray bytes;
    int line = 0; // where the value stands, named by its warnings
};

// Looks a key up in the section or row being read.
using ScriptLookup = std::function<ScriptValue(const QByteArray& key)>;

// Every key a script can give.
const QList<QByteArray>& scriptKeys();

// The controller a section (INI) or row (CSV) describes; its problems go to `warnings`.
ScriptRecord scriptRecord(ScriptForm form, int line, const ScriptLookup& lookup,
                          QStringList& warnings);

// A translated text whose "%d" and "%s" placeholders take `args` in order.
QString scriptText(int textId, const QStringList& args);
// A translated problem text: the line fills the first placeholder, `args` the others in order.
QString scriptWarning(int textId, int line, const QStringList& args = {});

// An editor's UTF-8 byte-order mark must not become part of the first key or header cell.
QByteArray withoutByteOrderMark(const QByteArray& bytes);

} // namespace iomira
