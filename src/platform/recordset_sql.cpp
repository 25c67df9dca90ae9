#include "platform/recordset_sql.h"

namespace mk {

RecordSql::RecordSql(std::shared_ptr<const TableInfo> info)
    : info_(std::move(info)), table_(quoteName(info_->name)) {}

std::string RecordSql::lastRowid() const { return "SELECT max(rowid) FROM " + table_; }

std::string RecordSql::rowsUpTo() const {
    return "SELECT rowid, * FROM " + table_ + " WHERE rowid <= ?1 ORDER BY rowid";
}

std::string RecordSql::rowidsUpTo() const {
    return "SELECT rowid FROM " + table_ + " WHERE rowid <= ?1 ORDER BY rowid";
}

std::string RecordSql::rowsBetween(bool forward) const {
    return "SELECT rowid, * FROM " + table_ +
           " WHERE rowid > ?1 AND rowid < ?2 AND rowid <= ?3 ORDER BY rowid" +
           (forward ? "" : " DESC") + " LIMIT ?4";
}

std::string RecordSql::countBetween() const {
    return "SELECT count(*) FROM " + table_ + " WHERE rowid > ?1 AND rowid < ?2 AND rowid <= ?3";
}

std::string RecordSql::rowsFromTo() const {
    return "SELECT rowid, * FROM " + table_ + " WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid";
}

std::string RecordSql::row() const { return "SELECT rowid, * FROM " + table_ + " WHERE rowid = ?1"; }

std::string RecordSql::rowidsAfter() const {
    return "SELECT rowid FROM " + table_ + " WHERE rowid > ?1 ORDER BY rowid";
}

std::string RecordSql::rowidAt() const {
    return "SELECT rowid FROM " + table_ + " ORDER BY rowid LIMIT 1 OFFSET ?1";
}

std::string RecordSql::fieldByRow(size_t f) const {
    return "SELECT rowid, " + quoteName(field(f).name) + " FROM " + table_ + " ORDER BY rowid";
}

std::string RecordSql::fieldOfRow(size_t f) const {
    return "SELECT " + quoteName(field(f).name) + " FROM " + table_ + " WHERE rowid=?1";
}

const std::string& RecordSql::insert(const std::vector<char>& set) { return written('I', set); }

const std::string& RecordSql::update(const std::vector<char>& set) { return written('U', set); }

const std::string& RecordSql::written(char kind, const std::vector<char>& set) {
    std::string key(1, kind);
    key.append(set.begin(), set.end());
    auto it = written_.find(key);
    if (it != written_.end()) return it->second;
    std::string sql;
    int n = 0;
    if (kind == 'I') {
        std::string cols, params;
        for (size_t i = 0; i < set.size(); ++i) {
            if (!set[i]) continue;
            if (n) cols += ", ", params += ", ";
            cols += quoteName(field(i).name);
            params += '?';
            params += std::to_string(++n);
        }
        sql = n == 0 ? "INSERT INTO " + table_ + " DEFAULT VALUES"
                     : "INSERT INTO " + table_ + " (" + cols + ") VALUES (" + params + ")";
    } else {
        std::string sets;
        for (size_t i = 0; i < set.size(); ++i) {
            if (!set[i]) continue;
            if (n) sets += ", ";
            sets += quoteName(field(i).name);
            sets += "=?";
            sets += std::to_string(++n);
        }
        sql = "UPDATE " + table_ + " SET " + sets + " WHERE rowid=?" + std::to_string(n + 1);
    }
    return written_.emplace(key, std::move(sql)).first->second;
}

std::string RecordSql::remove() const { return "DELETE FROM " + table_ + " WHERE rowid=?1"; }

std::string RecordSql::anyFrom(size_t f, const char* least) const {
    return "SELECT 1 FROM " + table_ + " WHERE " + quoteName(field(f).name) + " >= " + least +
           " LIMIT 1";
}

std::string RecordSql::firstEqual(size_t f) const {
    return "SELECT rowid FROM " + table_ + " WHERE " + quoteName(field(f).name) +
           " = ?1 ORDER BY rowid LIMIT 1";
}

std::string RecordSql::firstNull(size_t f) const {
    return "SELECT rowid FROM " + table_ + " WHERE " + quoteName(field(f).name) +
           " IS NULL ORDER BY rowid LIMIT 1";
}

std::string RecordSql::edge(size_t f, const char* aggregate) const {
    return std::string("SELECT ") + aggregate + "(" + quoteName(field(f).name) + ") FROM " + table_;
}

std::string RecordSql::within(size_t f) const {
    const std::string column = quoteName(field(f).name);
    return "SELECT rowid, " + column + " FROM " + table_ + " WHERE " + column +
           " BETWEEN ?1 AND ?2 ORDER BY rowid";
}

}  // namespace mk
