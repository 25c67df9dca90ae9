// Work over whole tables that only reads, aggregates or copies rows, done
// in SQL rather than by walking a snapshot. Every value is read as a
// recordset field of its type reads it and converted as the windows
// convert it, so each result equals the walk's; a conversion that fails
// fails with the walk's runtime error. Rows are taken in table order.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/database.h"

namespace mk::scan {

// start + the sum of toDouble(field) over the rows, added in order.
double sum(Database& db, const std::string& table, const std::string& field, double start);

// {startA + sum of q*a, startB + sum of q*b}, with toDouble of each field.
std::pair<double, double> sumProducts(Database& db, const std::string& table,
                                      const std::string& q, const std::string& a,
                                      const std::string& b, std::pair<double, double> start);

bool hasRows(Database& db, const std::string& table);

// The largest of start and every row's field, read as its type and taken
// as a number (toDouble: a Null counts as 0), as a walk over the rows
// finds it; a reading that fails fails as the walk's does. Found through
// the field's index when every value is one its whole-number type holds
// as stored (or Null), else by the walk in SQL.
double maxNumber(Database& db, const std::string& table, const std::string& field, double start);
long long lastRowid(Database& db, const std::string& table);  // 0 when empty

// Appends to target one row per source row: targetText = toText(sourceText)
// (refused as a field write refuses a text too long), targetNumber =
// toInt32(sourceNumber); the other fields take their defaults. Returns the
// number of rows appended.
long long appendTextAndInt32(Database& db, const std::string& target,
                             const std::string& targetText, const std::string& targetNumber,
                             const std::string& source, const std::string& sourceText,
                             const std::string& sourceNumber);

// Visits toText(text) and toInt32(number) of every row.
void forEachTextAndInt32(Database& db, const std::string& table, const std::string& text,
                         const std::string& number,
                         const std::function<void(const std::string&, int32_t)>& visit);

// Visits the fields of every row.
void forEachRow(Database& db, const std::string& table, const std::vector<std::string>& fields,
                const std::function<void(const std::vector<Value>&)>& visit);

// Visits the fields of the rows whose date field is not Null and whose day
// (toDate, time dropped) lies in [from, to].
void forEachInDays(Database& db, const std::string& table, const std::string& date,
                   double from, double to, const std::vector<std::string>& fields,
                   const std::function<void(const std::vector<Value>&)>& visit);

// Visits the fields of the rows where any of the text fields equals text.
void forEachWithText(Database& db, const std::string& table,
                     const std::vector<std::string>& textFields, const std::string& text,
                     const std::vector<std::string>& fields,
                     const std::function<void(const std::vector<Value>&)>& visit);

// A field of the rows appendWithText appends: target takes the source
// field's value as read, or converted first as the windows convert it
// (conversion "double": toDouble, "int32": toInt32, "text": toText).
struct FieldCopy {
    std::string target;
    std::string source;
    const char* conversion = nullptr;
};

// Appends to target, in one statement, one row per row of source whose
// textField equals text, in table order (the rows forEachWithText visits):
// numberField takes first, first + 1, ... and each copy its value, every
// value stored as a write into its field stores it and refused as that
// write is refused; the other fields take their defaults. Returns the
// number of rows appended.
long long appendWithText(Database& db, const std::string& target, const std::string& numberField,
                         long long first, const std::vector<FieldCopy>& copies,
                         const std::string& source, const std::string& textField,
                         const std::string& text);

}  // namespace mk::scan
