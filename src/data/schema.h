// Every table of the database file, its columns and the rows a new file
// starts with; and the tables the program creates at run time.
#pragma once

#include <string>
#include <vector>

#include "platform/database.h"

namespace mk {

// The file every window opens, and the connection texts that name it.
inline constexpr const char* kDatabasePath = "C:\\INVENT.MDB";
inline const std::string kConnectionString =
    std::string("Provider=Microsoft.Jet.OLEDB.4.0") + ";" + "Data Source=C:\\INVENT.MDB";

// The years the yearly expense book holds.
inline constexpr int kFirstBookYear = 2000;
inline constexpr int kLastBookYear = 2050;

// Every table of a file of this program, with its columns.
const std::vector<TableDef>& systemTables();

// Fills a new, empty database file. today is the creation date.
void createSystemDatabase(Database& db, double today);

// What keeps a file from being a database of this program ("" when
// nothing): a table or column missing. What files of earlier versions lack
// and bringUpToDate adds is not counted.
std::string schemaProblem(Database& db);
// Whether a file that passes schemaProblem lacks columns, starting rows or
// indexes added since (the vouchers' POSTED, the years of the yearly book,
// the indexes on the fields rows are looked up by).
bool needsBringingUpToDate(Database& db);
// Adds them with their defaults, except that a voucher whose cash box row
// exists (RECEIVED_INV or OUT_INV of its number) is marked posted; nothing
// else is changed.
void bringUpToDate(Database& db);

// Document numbers (invoices, vouchers, returns, issue vouchers, and the
// cash box columns that name them) are whole numbers up to 2147483647. A
// new file makes their columns 32-bit; a file whose columns were made
// 16-bit is read and written as 32-bit without being changed.
void widenDocumentNumbers(Database& db);

// One item group's table (created by the groups windows), with its index
// on DESC.
TableDef itemGroupTableDef(const std::string& name);
// One employee's follow-up table (created by the new employee window).
TableDef followUpTableDef(const std::string& name);

}  // namespace mk
