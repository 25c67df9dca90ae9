// The SQL a recordset runs on its table: reading its rows by number,
// writing the current row's changed fields, and searching one field.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/database.h"

namespace mk {

class RecordSql {
public:
    explicit RecordSql(std::shared_ptr<const TableInfo> info);

    const TableInfo& info() const { return *info_; }
    const std::string& tableName() const { return info_->name; }
    const FieldInfo& field(size_t i) const { return info_->fields[i]; }

    // Rows are read as "rowid, *": the row number, then every field.
    std::string lastRowid() const;
    std::string rowsUpTo() const;        // rowid <= ?1, in order
    std::string rowidsUpTo() const;      // the same, numbers only
    // Rows between ?1 and ?2 (both left out) up to ?3, at most ?4 of
    // them, from the low end or from the high end.
    std::string rowsBetween(bool forward) const;
    std::string countBetween() const;    // the same rows, counted
    std::string rowsFromTo() const;      // ?1 to ?2 (both in), in order
    std::string row() const;             // rowid = ?1
    std::string rowidsAfter() const;     // rowid > ?1, in order
    std::string rowidAt() const;         // the row number at offset ?1
    std::string fieldByRow(size_t field) const;  // rowid and the field, every row
    std::string fieldOfRow(size_t field) const;  // the field of row ?1

    // The INSERT or UPDATE (of row ?n+1) for the fields flagged set, their
    // values bound as ?1.. in field order; kept by the fields they write.
    const std::string& insert(const std::vector<char>& set);
    const std::string& update(const std::vector<char>& set);
    std::string remove() const;  // row ?1

    // Searches of one field.
    std::string anyFrom(size_t field, const char* least) const;  // a row with field >= least
    std::string firstEqual(size_t field) const;                  // field = ?1
    std::string firstNull(size_t field) const;
    std::string edge(size_t field, const char* aggregate) const;  // min or max
    std::string within(size_t field) const;  // rowid and field, field BETWEEN ?1 AND ?2

private:
    const std::string& written(char kind, const std::vector<char>& set);

    std::shared_ptr<const TableInfo> info_;
    std::string table_;  // quoted
    std::unordered_map<std::string, std::string> written_;
};

}  // namespace mk
