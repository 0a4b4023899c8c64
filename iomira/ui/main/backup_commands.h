#pragma once

#include "app/configuration_tables.h"

class QWidget;

namespace iomira {

class UserPrompts;

// Backup: the whole configuration to a file the operator chooses.
void runBackupCommand(QWidget* parent, ConfigurationTables& tables, UserPrompts& prompts);
// Restore: a file the operator chooses, read and checked, then applied; false when nothing
// was applied (cancelled, unreadable or damaged).
bool runRestoreCommand(QWidget* parent, ConfigurationTables& tables, UserPrompts& prompts);

} // namespace iomira
