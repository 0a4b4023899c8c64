#pragma once

#include <QString>
#include <QStringList>

namespace iomira {

class CQUORVISData;

// How an information line is edited in place.
enum class EditKind { None, Choice, Text, Digits };

EditKind infoEditKind(int kind);
// Lines of the connection settings can change only while the connection is closed or failed.
bool needsClosedConnection(int kind);
bool connectionAllowsEdit(int connectionState);

// The choices of a drop-down line, in the order offered, and the current one's position.
QStringList infoChoices(int kind);
int currentChoice(const CQUORVISData& controller, int kind);

// True when every character of the text is one a digits-only field accepts.
bool onlyDigits(const QString& text);

// The outcome of committing an edited line to a controller record.
struct EditOutcome {
    bool accepted = false;
    QString error; // shown when not accepted
    bool hostLineAdded = false;
    bool hostLineRemoved = false;
};

// Checks the committed text and writes it into the record; nothing changes on a refusal.
EditOutcome applyInfoEdit(CQUORVISData& controller, int kind, const QString& text);
// The same for a controller's description and for a group's name.
EditOutcome applyDescriptionEdit(CQUORVISData& controller, const QString& text);
EditOutcome checkGroupName(const QString& text);

} // namespace iomira
