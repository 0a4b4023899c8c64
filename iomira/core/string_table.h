#pragma once

#include <QLocale>
#include <QString>

namespace iomira {

// Language ids are the Windows language identifiers the stored LANGUAGE setting maps to.
enum Language { LANG_ENGLISH = 1033, LANG_KOREAN = 1042, LANG_CHINESE = 2052 };

// Selects the language of loadString(int); unknown ids select English.
void setLanguage(int languageId);
int currentLanguage();
// The language id a stored LANGUAGE value selects; 0 (automatic) follows the system.
int languageForSetting(int stored, const QLocale& system);

// Texts of the program's string table (iomira/res/strings.tsv, compiled in as a resource).
// Both overloads are safe to call from any thread; an unknown id gives an empty QString.
QString loadString(int id);
QString loadString(int id, int languageId);

} // namespace iomira
