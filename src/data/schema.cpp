#include "data/schema.h"

#include <functional>

#include "platform/recordset.h"

namespace mk {

namespace {

using T = FieldType;

FieldDef text(const char* name, int size = 0) { return {name, T::Text, size, {}, false}; }
FieldDef memo(const char* name) { return {name, T::Memo, 0, {}, false}; }
FieldDef i16(const char* name) { return {name, T::Int16, 0, {}, false}; }
FieldDef i32(const char* name, Value def = {}) { return {name, T::Int32, 0, def, false}; }
FieldDef dbl(const char* name) { return {name, T::Double, 0, {}, false}; }
FieldDef single(const char* name) { return {name, T::Single, 0, {}, false}; }
FieldDef date(const char* name) { return {name, T::Date, 0, {}, false}; }
FieldDef yesno(const char* name) { return {name, T::YesNo, 0, Value(false), false}; }
FieldDef autonum(const char* name) { return {name, T::AutoNumber, 0, {}, false}; }

// Numbered line slots: stem + 1..count, e.g. MED_NAME1..MED_NAME32.
void slots(TableDef& t, const std::string& stem, FieldType type, int count, int size = 0) {
    for (int n = 1; n <= count; ++n)
        t.fields.push_back({stem + std::to_string(n), type, size, {}, false});
}

// Appends one row: field name / value pairs.
void addRow(Database& db, const std::string& table,
            std::initializer_list<std::pair<const char*, Value>> values) {
    Recordset rs(db, table);
    rs.addNew();
    for (const auto& [name, v] : values) rs.setField(name, v);
    rs.update();
}

// One row per number of an expense book's range: the number, the same as
// text, and every amount 0.
void addBookRows(Database& db, const std::string& table, const char* numberField,
                 const char* textField, int from, int to) {
    Recordset rs(db, table);
    for (int n = from; n <= to; ++n) {
        rs.addNew();
        for (const FieldInfo& f : rs.fields()) {
            if (f.name == numberField) rs.setField(f.name, n);
            else if (f.name == textField) rs.setField(f.name, std::to_string(n));
            else rs.setField(f.name, 0);
        }
        rs.update();
    }
}

}  // namespace

const std::vector<TableDef>& systemTables() {
    static const std::vector<TableDef> tables = [] {
        std::vector<TableDef> t;
        auto table = [&t](const char* name, std::vector<FieldDef> fields,
                          std::vector<std::string> lookups = {}) {
            t.push_back({name, std::move(fields), "", "", std::move(lookups)});
            return &t.back();
        };
        // The company profile: one row; COMP False means first use.
        table("DIM", {text("COMPANY_NAME"), i32("PHONE"), i32("FAX"), text("LOGO"), text("WEB"),
                      text("EMAIL"), text("TAX_NUMBER"), text("ACCOUNTING_NUMBER"),
                      yesno("SECURITY"), yesno("COMP")});

        // Users, one Yes/No right per area; "529" is the reserved day-state row.
        FieldDef user = text("UserID");
        user.unique = true;
        table("Admin", {user, text("Password"), text("FirstName"), yesno("buy_inv"),
                        yesno("sell-inv"), yesno("buyer"), yesno("seller"), yesno("store"),
                        yesno("day"), yesno("month"), yesno("year"), yesno("emplyee"),
                        yesno("sell-inv_group"), yesno("close"), yesno("return_invo"),
                        yesno("enter")});

        // Fresh flags and row counters of the report scratch tables.
        table("FLAGS", {yesno("PRODUCT_BUY"), i16("COUNTER_BUY"), yesno("BUYER_DEALS"),
                        i16("COUNTER_BUYER_DEALS"), yesno("VALIDITY_DATE_CHECK"),
                        i16("VALIDITY_DATE")});

        // Report scratch tables.
        table("PRODUCT_BUY", {i16("ID"), text("SUPPLIER_NAME"), date("DATES"), text("INVO_NO"),
                              i32("QUANTITY")});
        table("VALIDITY_DATE",
              {i16("ID"), text("QQQ"), text("SUB_TYPE"), i32("QUANTITY"), date("DATE")});
        table("BUYER_DEALS",
              {i16("ID"), i32("INVO_NO"), date("DATES"), dbl("TOTAL"), text("NOTES")});

        // The cash box ledger.
        table("BOX", {dbl("MONEY"), dbl("MONEY_RECIVED"), dbl("MONEY_OUT"), date("DATE"),
                      i32("OUT_INVOICE"), i32("SMALL_INV"), i32("RETURN_INV"),
                      i32("RECEIVED_INV"), i32("IN_INVOICE"), i32("OUT_INV"),
                      text("emplyee_name")});

        // Receipt and payment vouchers; POSTED is set with their cash box row.
        table("REVEIVED_MONEY",
              {i32("INVO_NO"), dbl("MONEY"), date("DATES"), text("NOTE"), text("BUYER"),
               yesno("POSTED")},
              {"INVO_NO", "BUYER"});
        table("MONEY_OUT", {i32("INVO_NO"), dbl("MONEY"), date("DATES"), text("NOTE"),
                            text("WHO_GET"), yesno("POSTED")},
              {"INVO_NO"});

        // Expense books.
        table("DAY_OUTPUT", {i16("DAY_NO"), text("DAYS"), dbl("DAYLY"), dbl("CAR_OUT"),
                             dbl("HOME_OUT"), dbl("OTHER"), dbl("STORE_OUT"),
                             dbl("TOTALDAY_OUT")});
        table("MONTH_OUTPUT", {i16("MONTH_NO"), text("MONTHES"), dbl("DALIY_OUT"),
                               dbl("ELECTRIC_FEE"), dbl("PLACE_FEE"), dbl("PHONE_FEE"),
                               dbl("SALERY"), dbl("TOTAL_OUT")});
        table("YEAR_OUTPUT", {i16("YEAR"), text("YEARS"), dbl("MONTH_COST"), dbl("TAX"),
                              dbl("GAIN_SELL"), dbl("MAINTENANCE"), dbl("LOSES"),
                              dbl("NET_GAIN")});

        // The list of item groups and the day's movement.
        table("qqq", {text("Q")});
        table("DAILY_TRADE",
              {text("DESC", 200), i32("STARY_DAY_Q"), i32("OUTPUT", 0), i32("INPUT", 0),
               i32("END_DAY_Q", 0)},
              {"DESC"});

        // Invoice tables: header fields and numbered line slots 1..32.
        TableDef* sales = table("SALES_INVOICE",
                                {i32("INVO_NO"), date("DATES"), text("PHONE"), text("SALES_MAN"),
                                 text("BUYER"), dbl("TOTAL_SUM"), dbl("TOTAL_SUM_SELL"),
                                 yesno("STATUS_SUB")},
                                {"INVO_NO"});
        slots(*sales, "MED_NAME", T::Text, 32, 200);
        slots(*sales, "QNTITY", T::Double, 32);
        slots(*sales, "EXPIRY_ DATE", T::Double, 32);
        slots(*sales, "SUM", T::Double, 32);
        for (const char* name : {"SALES_INVO_GROUP", "COAST_INVO_GROUP"}) {
            TableDef* g = table(name, {i32("INVO_NO"), date("DATES"), text("PHONE"),
                                       text("SALES_MAN"), text("NOTES"), dbl("TOTAL_SUM"),
                                       yesno("STATUS_SUB")},
                               // The customer dealings find a customer's invoices.
                               std::string(name) == "SALES_INVO_GROUP"
                                   ? std::vector<std::string>{"INVO_NO", "SALES_MAN"}
                                   : std::vector<std::string>{"INVO_NO"});
            slots(*g, "MED_NAME", T::Text, 32, 200);
            slots(*g, "QNTITY", T::Double, 32);
            slots(*g, "EXPIRY_ DATE", T::Double, 32);
            slots(*g, "SUM", T::Double, 32);
        }
        TableDef* returns = table("RETURN_INVOICE",
                                  {i32("INVO_NO"), date("DATES"), text("PHONE"),
                                   text("SALES_MAN"), text("BUYER"), yesno("STATUS_SUB")},
                                  {"INVO_NO"});
        slots(*returns, "MED_NAME", T::Text, 32, 200);
        slots(*returns, "QNTITY", T::Double, 32);
        slots(*returns, "PRICE", T::Double, 32);
        slots(*returns, "EXPIRY_ DATE", T::Date, 32);
        TableDef* buy = table("BUY_INVOICE",
                              {i32("INVO_NO"), date("DATES"), text("SALES_MAN"), text("PHONE"),
                               dbl("TOTAL_SUM"), yesno("STATUS_SUB"), text("NOTES"),
                               text("SUPPLIER"), dbl("TOTAL_SUM_SELL")},
                              {"INVO_NO", "SALES_MAN"});
        slots(*buy, "MED_NAME", T::Text, 32, 200);
        slots(*buy, "QNTITY", T::Double, 32);
        slots(*buy, "EXPIRY_ DATE", T::Double, 32);
        slots(*buy, "EXPIRY_ DATES", T::Date, 32);
        slots(*buy, "SUM", T::Double, 32);
        slots(*buy, "PRICE", T::Double, 12);
        slots(*buy, "TAX", T::Double, 12);
        slots(*buy, "PRICE_SELL", T::Double, 12);
        slots(*buy, "TOTAL_PRICE", T::Double, 12);

        // Customers and suppliers.
        table("BUYER",
              {text("BUYER"), text("PHONE"), text("FAX"), text("ADDRESS"), dbl("MONEY"),
               text("NOTE")},
              {"BUYER"});
        table("SUPPLIER",
              {text("SALES_MAN"), text("PHONE"), text("FAX"), text("ADDRESS"), dbl("MONEY"),
               text("NOTE")},
              {"SALES_MAN"});

        // Employees.
        table("emplyee", {text("code"), text("name"), text("address"), date("emplyee_date"),
                          date("birth_date"), text("qualfication"), text("Status"),
                          i32("phone"), text("Job_ title"), dbl("sallery"), i16("holidays"),
                          i16("sick_ days"), dbl("Bonus"), dbl("over_ time"), dbl("cout"),
                          dbl("net_sallery"), yesno("get_money"), yesno("feeday"),
                          yesno("feeweek"), yesno("feehmonth"), yesno("feeyear")});

        // The product lists of the compare tool, and the older single store.
        table("n1", {text("DESC"), dbl("BUY_PRICE"), i16("itm_vendor_id"), i16("itm_2co_id"),
                     i16("desc_flag")});
        table("n2", {text("DESC"), dbl("BUY_PRICE"), i16("itm_vendor_id"), i16("itm_2co_id"),
                     i16("item_flag")});
        table("INVENTORY", {text("DESC"), i32("ONSTOCK"), text("LOCATE"), date("UPDT_DAT"),
                            dbl("PRICE"), i32("RETURN"), dbl("TOTAL"), dbl("TOTAL-SELL")});
        return t;
    }();
    return tables;
}

void createSystemDatabase(Database& db, double today) {
    for (const TableDef& t : systemTables()) db.createTable(t);

    addRow(db, "DIM",
           {{"COMPANY_NAME", ""}, {"PHONE", 0}, {"FAX", 0}, {"LOGO", ""}, {"WEB", ""},
            {"EMAIL", ""}, {"TAX_NUMBER", ""}, {"ACCOUNTING_NUMBER", ""}, {"SECURITY", false},
            {"COMP", false}});
    addRow(db, "Admin", {{"UserID", "529"}, {"Password", ""}, {"FirstName", "529"}});
    addRow(db, "FLAGS",
           {{"PRODUCT_BUY", true}, {"COUNTER_BUY", 1}, {"BUYER_DEALS", true},
            {"COUNTER_BUYER_DEALS", 1}, {"VALIDITY_DATE_CHECK", true}, {"VALIDITY_DATE", 1}});
    // Each report scratch table keeps its placeholder row (ID 999).
    for (const char* scratch : {"PRODUCT_BUY", "VALIDITY_DATE", "BUYER_DEALS"})
        addRow(db, scratch, {{"ID", 999}});
    // The cash box's opening balance.
    addRow(db, "BOX", {{"MONEY", 0.0}, {"DATE", Value::date(today)}});
    // Expense books: days 1..30, months 1..12, the years of the yearly book.
    addBookRows(db, "DAY_OUTPUT", "DAY_NO", "DAYS", 1, 30);
    addBookRows(db, "MONTH_OUTPUT", "MONTH_NO", "MONTHES", 1, 12);
    addBookRows(db, "YEAR_OUTPUT", "YEAR", "YEARS", kFirstBookYear, kLastBookYear);
}

void widenDocumentNumbers(Database& db) {
    for (const char* table : {"SALES_INVOICE", "SALES_INVO_GROUP", "COAST_INVO_GROUP",
                              "RETURN_INVOICE", "BUY_INVOICE", "REVEIVED_MONEY", "MONEY_OUT",
                              "BUYER_DEALS"})
        db.widenToInt32(table, "INVO_NO");
    for (const char* field :
         {"OUT_INVOICE", "SMALL_INV", "RETURN_INV", "RECEIVED_INV", "IN_INVOICE", "OUT_INV"})
        db.widenToInt32("BOX", field);
}

namespace {

// Parts that files of earlier versions lack; the start-up adds them.
bool addedSinceFirstVersion(const std::string& table, const std::string& field) {
    return field == "POSTED" && (table == "REVEIVED_MONEY" || table == "MONEY_OUT");
}

std::vector<int> missingBookYears(Database& db) {
    std::vector<int> missing;
    Recordset rs(db, "YEAR_OUTPUT");
    std::vector<bool> held(kLastBookYear - kFirstBookYear + 1, false);
    for (const Value& v : rs.columnValues("YEAR")) {
        if (v.isNull() || !v.isNumber()) continue;
        const double y = toDouble(v);
        if (y >= kFirstBookYear && y <= kLastBookYear)
            held[static_cast<size_t>(static_cast<int>(y) - kFirstBookYear)] = true;
    }
    for (int y = kFirstBookYear; y <= kLastBookYear; ++y)
        if (!held[static_cast<size_t>(y - kFirstBookYear)]) missing.push_back(y);
    return missing;
}

// Indexes on the fields rows are looked up by (invoice and voucher
// numbers, item and partner names, the groups' items): made with a new
// file, added to the files of earlier versions. Visits each missing one.
void forEachMissingLookupIndex(Database& db,
                               const std::function<void(const std::string&, const std::string&)>& add) {
    for (const TableDef& t : systemTables())
        for (const std::string& field : t.lookupFields)
            if (!db.hasLookupIndex(t.name, field)) add(t.name, field);
    const TableDef group = itemGroupTableDef("");
    Recordset groups(db, "qqq");
    for (const Value& v : groups.columnValues("Q")) {
        if (v.isNull()) continue;
        const std::string name = toText(v);
        // A group whose table is missing is reported by the windows.
        if (name.empty() || !db.findTable(name)) continue;
        const TableInfo& info = db.tableInfo(name);
        for (const std::string& field : group.lookupFields)
            if (info.fieldIndex(field) >= 0 && !db.hasLookupIndex(name, field)) add(name, field);
    }
}

// The vouchers whose cash box row exists were posted before their flag
// existed: a file brought up to date marks them, so none is posted twice.
void markPostedVouchers(Database& db, const std::string& table) {
    const char* reference = table == "REVEIVED_MONEY" ? "RECEIVED_INV" : "OUT_INV";
    db.beginWrite();
    db.exec("UPDATE " + quoteName(table) + " SET POSTED = 1 WHERE EXISTS (SELECT 1 FROM BOX WHERE " +
            quoteName(reference) + " = " + quoteName(table) + ".INVO_NO)");
}

}  // namespace

std::string schemaProblem(Database& db) {
    bool any = false;
    for (const TableDef& t : systemTables())
        if (db.findTable(t.name)) any = true;
    if (!any) return "it holds none of the program's tables.";
    for (const TableDef& t : systemTables()) {
        if (!db.findTable(t.name)) return "the table " + t.name + " is missing.";
        const TableInfo& info = db.tableInfo(t.name);
        for (const FieldDef& f : t.fields)
            if (info.fieldIndex(f.name) < 0 && !addedSinceFirstVersion(t.name, f.name))
                return "the column " + f.name + " of the table " + t.name + " is missing.";
    }
    return "";
}

bool needsBringingUpToDate(Database& db) {
    for (const TableDef& t : systemTables()) {
        const TableInfo& info = db.tableInfo(t.name);
        for (const FieldDef& f : t.fields)
            if (info.fieldIndex(f.name) < 0) return true;
    }
    bool indexMissing = false;
    forEachMissingLookupIndex(db, [&](const std::string&, const std::string&) { indexMissing = true; });
    return indexMissing || !missingBookYears(db).empty();
}

void bringUpToDate(Database& db) {
    for (const TableDef& t : systemTables()) {
        for (const FieldDef& f : t.fields) {
            if (db.tableInfo(t.name).fieldIndex(f.name) >= 0) continue;
            db.addColumn(t.name, f);
            if (addedSinceFirstVersion(t.name, f.name)) markPostedVouchers(db, t.name);
        }
    }
    Recordset rs(db, "YEAR_OUTPUT");
    for (int y : missingBookYears(db)) {
        rs.addNew();
        for (const FieldInfo& f : rs.fields()) {
            if (namesEqual(f.name, "YEAR")) rs.setField(f.name, y);
            else if (namesEqual(f.name, "YEARS")) rs.setField(f.name, std::to_string(y));
            else if (f.type == FieldType::Double) rs.setField(f.name, 0);
        }
        rs.update();
    }
    forEachMissingLookupIndex(db, [&](const std::string& table, const std::string& field) {
        db.addLookupIndex(table, field);
    });
}

TableDef itemGroupTableDef(const std::string& name) {
    return {name,
            {autonum("REC_ID"), i32("ITEM_NO"), text("DESC", 200), dbl("BUY_PRICE"),
             dbl("UNITE_PRICE"), dbl("GROUP_PRICE"), i16("RETURN"), i32("ONSTOCK"),
             date("DATES"), memo("NOTES"), i32("Q_ORDER"), date("DATES_SAVE"),
             i16("RETURN_BUY")},
            "RECINDX",
            "REC_ID",
            {"DESC"}};
}

TableDef followUpTableDef(const std::string& name) {
    return {name,
            {autonum("REC_ID"), date("DATES"), i16("APSENT"), dbl("CUT_MONEY"),
             dbl("EXTERA_MONEY"), i16("HOLIDAYS"), single("EXTERA-HOURS"), dbl("PROFITS"),
             dbl("SALES_AMOUNT"), memo("MEMO")},
            "RECINDX",
            "REC_ID"};
}

}  // namespace mk
