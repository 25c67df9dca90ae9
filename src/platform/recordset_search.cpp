// The recordset's searches and the values of one field over its rows.
#include <sqlite3.h>

#include <exception>
#include <limits>

#include "platform/recordset.h"

namespace mk {

// ----------------------------------------------------------------- columns

std::vector<Value> Recordset::columnValues(std::string_view name) const {
    const auto i = static_cast<size_t>(indexOf(name));
    std::vector<Value> out;
    rows().visitColumn(i, [&](long long, Value v) {
        out.push_back(std::move(v));
        return true;
    });
    return out;
}

std::shared_ptr<const TextColumn> Recordset::columnTexts(std::string_view name) const {
    const auto i = static_cast<size_t>(indexOf(name));
    RowSnapshot& r = rows();
    const std::string& key = sql_.field(i).name;
    if (auto read = texts_.find(key, r.version())) return read;
    // Taken before the read: a write meanwhile makes the next one read again.
    const Database::ColumnStamp stamp = db().columnStamp(tableName(), key);
    if (auto same = texts_.unchanged(key, stamp)) return same;
    auto column = std::make_shared<TextColumn>();
    r.visitColumn(i, [&](long long, const Value& v) {
        if (v.isText()) column->push_back(v.asTextRaw());
        else column->push_back(toText(v));
        return true;
    });
    return texts_.keep(key, std::move(column), stamp);
}

Recordset::Texts Recordset::takeTexts() { return texts_.take(); }

void Recordset::keepTexts(Texts columns) { texts_.give(std::move(columns)); }

// ---------------------------------------------------------------- searches

bool Recordset::findFirst(std::string_view name, const std::function<bool(const Value&)>& match) {
    moveFirst();
    if (eof()) return false;
    const auto f = static_cast<size_t>(indexOf(name));
    // Only the field is read of the rows passed; the row found is read whole.
    std::optional<long long> hit, failedAt;
    std::exception_ptr failure;
    rows_.visitColumn(f, [&](long long rowid, const Value& v) {
        try {
            if (!match(v)) return true;
            hit = rowid;
        } catch (const RuntimeError&) {
            failedAt = rowid;
            failure = std::current_exception();
        }
        return false;
    });
    // A failed comparison leaves the search on the row it failed on.
    if (failure) {
        const long at = rows_.seek(*failedAt);
        standAt(at >= 0 ? at : rows_.end());
        moved();
        std::rethrow_exception(failure);
    }
    return land(hit ? rows_.seek(*hit) : -1);
}

bool Recordset::findFirstText(std::string_view name, std::string_view text) {
    moveFirst();
    if (eof()) return false;
    const auto f = static_cast<size_t>(indexOf(name));
    const FieldInfo& field = sql_.field(f);
    const bool textField = field.type == FieldType::Text || field.type == FieldType::Memo;
    // While the table holds just the snapshot's rows, its index answers.
    // A text field holds texts, Nulls (read as "") and, written from
    // outside, blobs (read as their bytes), which the table does not
    // compare as the walk does: then the walk.
    if (textField && mirrorsTable()) {
        Database& d = db();
        bool blobs = false;
        {
            auto st = d.prepare(sql_.anyFrom(f, "x''"));
            blobs = st->step();
        }
        if (!blobs) {
            std::optional<long long> hit;
            {
                auto st = d.prepare(sql_.firstEqual(f));
                st->bindText(1, text);
                if (st->step()) hit = st->columnInt(0);
            }
            if (text.empty()) {
                auto st = d.prepare(sql_.firstNull(f));
                if (st->step() && (!hit || st->columnInt(0) < *hit)) hit = st->columnInt(0);
            }
            return land(hit ? rows_.seek(*hit) : -1);
        }
    }
    return findFirst(name, [text](const Value& v) {
        return v.isText() ? v.asTextRaw() == text : toText(v) == text;
    });
}

// The first row whose field, read as its type and taken as a whole number
// of the given bits, equals wanted; nullopt inside when none. Answered by
// the table (through the field's index) only when no reading can fail or
// wrap: no text or blob in the field, every number within what both the
// field and the whole number hold. Else nullopt outside: the walk answers.
std::optional<long long> Recordset::wholeMatchInSql(size_t field, double wanted, int bits,
                                                    bool& answered) const {
    answered = false;
    const FieldInfo& f = sql_.field(field);
    if (f.type != FieldType::Int16 && f.type != FieldType::Int32) return std::nullopt;
    const bool narrow = f.type == FieldType::Int16 || bits == 16;
    const double low = narrow ? -32768.0 : static_cast<double>(std::numeric_limits<int32_t>::min());
    const double high = narrow ? 32767.0 : static_cast<double>(std::numeric_limits<int32_t>::max());
    Database& d = db();
    {
        // Numbers sort before texts and blobs; '' is the least text.
        auto st = d.prepare(sql_.anyFrom(field, "''"));
        if (st->step()) return std::nullopt;
    }
    for (const char* edge : {"min", "max"}) {
        auto st = d.prepare(sql_.edge(field, edge));
        if (!st->step() || st->columnIsNull(0)) continue;
        const double v = sqlite3_column_double(st->raw(), 0);
        if (!(v >= low && v <= high)) return std::nullopt;
    }
    answered = true;
    const auto whole = [bits](const Value& v) {
        return bits == 16 ? static_cast<double>(toInt16(v)) : static_cast<double>(toInt32(v));
    };
    std::optional<long long> hit;
    {
        // A number within half of wanted may read as it.
        auto st = d.prepare(sql_.within(field));
        st->bind(1, Value(wanted - 0.5), FieldType::Double);
        st->bind(2, Value(wanted + 0.5), FieldType::Double);
        while (st->step())
            if (whole(st->column(1, f.type)) == wanted) {
                hit = st->columnInt(0);
                break;
            }
    }
    // A Null reads as 0.
    if (whole(Value::null()) == wanted) {
        auto st = d.prepare(sql_.firstNull(field));
        if (st->step() && (!hit || st->columnInt(0) < *hit)) hit = st->columnInt(0);
    }
    return hit;
}

bool Recordset::findFirstWhole(std::string_view name, double wanted, int bits) {
    moveFirst();
    if (eof()) return false;
    const auto f = static_cast<size_t>(indexOf(name));
    if (mirrorsTable()) {
        bool answered = false;
        const std::optional<long long> hit = wholeMatchInSql(f, wanted, bits, answered);
        if (answered) return land(hit ? rows_.seek(*hit) : -1);
    }
    return findFirst(name, [wanted, bits](const Value& v) {
        return (bits == 16 ? static_cast<double>(toInt16(v)) : static_cast<double>(toInt32(v))) ==
               wanted;
    });
}

}  // namespace mk
