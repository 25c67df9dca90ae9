#include "data/table_names.h"

#include "data/schema.h"

namespace mk {

TableNameProblem newTableNameProblem(Application& app, const std::string& name) {
    if (name.empty() || name == ".") return TableNameProblem::Missing;
    if (!isValidTableName(name)) return TableNameProblem::Invalid;
    Database& db = app.machine().database(kDatabasePath);
    if (db.findTable(name)) return TableNameProblem::Used;
    // A group listed in qqq whose table is gone still owns its name.
    Recordset groups(db, "qqq");
    for (const Value& listed : groups.columnValues("Q"))
        if (namesEqual(toText(listed), name)) return TableNameProblem::Used;
    return TableNameProblem::None;
}

}  // namespace mk
