#include "data/table_names.h"

#include "data/schema.h"

namespace mk {

const char* const kTableNameBlanksWarning =
    "لاحظ انه يجب  مراعاة عدم وجود مسافة فى التسمية يمكنك استخدام اندر سكور (_) بدلا من "
    "المسافة وإلا تسبب خطأ";

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

std::string tableNameProblemText(TableNameProblem problem, const char* missing,
                                 const char* invalid) {
    constexpr const char* kUsed = "يوجد جدول أو مجموعة بهذا الأسم، من فضلك أختر أسما آخر";
    switch (problem) {
        case TableNameProblem::None: return "";
        case TableNameProblem::Missing: return missing;
        case TableNameProblem::Invalid: return invalid;
        case TableNameProblem::Used: return kUsed;
    }
    return kUsed;
}

}  // namespace mk
