// Names the user gives to tables made at run time (item groups, employees'
// follow-up tables): one rule, checked before anything is written.
#pragma once

#include <string>

#include "platform/application.h"

namespace mk {

enum class TableNameProblem {
    None,     // the name may be used
    Missing,  // empty or "."
    Invalid,  // not a valid table name
    Used,     // already a table, or listed as a group (letter case ignored)
};

// Blanks inside a name are accepted: every table name is quoted.
TableNameProblem newTableNameProblem(Application& app, const std::string& name);

// The advice shown before a name is typed.
extern const char* const kTableNameBlanksWarning;

// What the user is told of a problem ("" for None). The missing and invalid
// texts name the kind of table, so each window gives its own.
std::string tableNameProblemText(TableNameProblem problem, const char* missing,
                                 const char* invalid);

}  // namespace mk
