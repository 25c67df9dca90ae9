// Every table of the database file, its columns and the rows a new file
// starts with; and the tables the program creates at run time.
#pragma once

#include <string>

#include "platform/database.h"

namespace mk {

// The file every window opens, and the connection texts that name it.
inline constexpr const char* kDatabasePath = "C:\\INVENT.MDB";
inline const std::string kConnectionString =
    std::string("Provider=Microsoft.Jet.OLEDB.4.0") + ";" + "Data Source=C:\\INVENT.MDB";

// Fills a new, empty database file. today is the creation date.
void createSystemDatabase(Database& db, double today);

// One item group's table (created by the groups windows).
TableDef itemGroupTableDef(const std::string& name);
// One employee's follow-up table (created by the new employee window).
TableDef followUpTableDef(const std::string& name);

}  // namespace mk
