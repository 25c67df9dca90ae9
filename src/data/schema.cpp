#include "data/schema.h"

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

void create(Database& db, TableDef def) { db.createTable(def); }

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

void createSystemDatabase(Database& db, double today) {
    // The company profile: one row; COMP False means first use.
    create(db, {"DIM",
                {text("COMPANY_NAME"), i32("PHONE"), i32("FAX"), text("LOGO"), text("WEB"),
                 text("EMAIL"), text("TAX_NUMBER"), text("ACCOUNTING_NUMBER"), yesno("SECURITY"),
                 yesno("COMP")},
                "",
                ""});
    addRow(db, "DIM",
           {{"COMPANY_NAME", ""}, {"PHONE", 0}, {"FAX", 0}, {"LOGO", ""}, {"WEB", ""},
            {"EMAIL", ""}, {"TAX_NUMBER", ""}, {"ACCOUNTING_NUMBER", ""}, {"SECURITY", false},
            {"COMP", false}});

    // Users, one Yes/No right per area; "529" is the reserved day-state row.
    {
        TableDef admin{"Admin", {}, "", ""};
        FieldDef user = text("UserID");
        user.unique = true;
        admin.fields = {user,          text("Password"),  text("FirstName"),
                        yesno("buy_inv"), yesno("sell-inv"), yesno("buyer"),
                        yesno("seller"),  yesno("store"),    yesno("day"),
                        yesno("month"),   yesno("year"),     yesno("emplyee"),
                        yesno("sell-inv_group"), yesno("close"), yesno("return_invo"),
                        yesno("enter")};
        create(db, admin);
        addRow(db, "Admin", {{"UserID", "529"}, {"Password", ""}, {"FirstName", "529"}});
    }

    // Fresh flags and row counters of the report scratch tables.
    create(db, {"FLAGS",
                {yesno("PRODUCT_BUY"), i16("COUNTER_BUY"), yesno("BUYER_DEALS"),
                 i16("COUNTER_BUYER_DEALS"), yesno("VALIDITY_DATE_CHECK"), i16("VALIDITY_DATE")},
                "",
                ""});
    addRow(db, "FLAGS",
           {{"PRODUCT_BUY", true}, {"COUNTER_BUY", 1}, {"BUYER_DEALS", true},
            {"COUNTER_BUYER_DEALS", 1}, {"VALIDITY_DATE_CHECK", true}, {"VALIDITY_DATE", 1}});

    // Report scratch tables, each with its placeholder row (ID 999).
    create(db, {"PRODUCT_BUY",
                {i16("ID"), text("SUPPLIER_NAME"), date("DATES"), text("INVO_NO"),
                 i32("QUANTITY")},
                "",
                ""});
    addRow(db, "PRODUCT_BUY", {{"ID", 999}});
    create(db, {"VALIDITY_DATE",
                {i16("ID"), text("QQQ"), text("SUB_TYPE"), i32("QUANTITY"), date("DATE")},
                "",
                ""});
    addRow(db, "VALIDITY_DATE", {{"ID", 999}});
    create(db, {"BUYER_DEALS",
                {i16("ID"), i16("INVO_NO"), date("DATES"), dbl("TOTAL"), text("NOTES")},
                "",
                ""});
    addRow(db, "BUYER_DEALS", {{"ID", 999}});

    // The cash box ledger with its opening balance.
    create(db, {"BOX",
                {dbl("MONEY"), dbl("MONEY_RECIVED"), dbl("MONEY_OUT"), date("DATE"),
                 i16("OUT_INVOICE"), i16("SMALL_INV"), i16("RETURN_INV"), i16("RECEIVED_INV"),
                 i16("IN_INVOICE"), i16("OUT_INV"), text("emplyee_name")},
                "",
                ""});
    addRow(db, "BOX", {{"MONEY", 0.0}, {"DATE", Value::date(today)}});

    // Receipt and payment vouchers; POSTED is set with the voucher's cash box
    // row, so a voucher is never posted twice.
    create(db, {"REVEIVED_MONEY",
                {i16("INVO_NO"), dbl("MONEY"), date("DATES"), text("NOTE"), text("BUYER"),
                 yesno("POSTED")},
                "",
                ""});
    create(db, {"MONEY_OUT",
                {i16("INVO_NO"), dbl("MONEY"), date("DATES"), text("NOTE"), text("WHO_GET"),
                 yesno("POSTED")},
                "",
                ""});

    // Expense books: days 1..30, months 1..12, years 2000..2050.
    create(db, {"DAY_OUTPUT",
                {i16("DAY_NO"), text("DAYS"), dbl("DAYLY"), dbl("CAR_OUT"), dbl("HOME_OUT"),
                 dbl("OTHER"), dbl("STORE_OUT"), dbl("TOTALDAY_OUT")},
                "",
                ""});
    addBookRows(db, "DAY_OUTPUT", "DAY_NO", "DAYS", 1, 30);
    create(db, {"MONTH_OUTPUT",
                {i16("MONTH_NO"), text("MONTHES"), dbl("DALIY_OUT"), dbl("ELECTRIC_FEE"),
                 dbl("PLACE_FEE"), dbl("PHONE_FEE"), dbl("SALERY"), dbl("TOTAL_OUT")},
                "",
                ""});
    addBookRows(db, "MONTH_OUTPUT", "MONTH_NO", "MONTHES", 1, 12);
    create(db, {"YEAR_OUTPUT",
                {i16("YEAR"), text("YEARS"), dbl("MONTH_COST"), dbl("TAX"), dbl("GAIN_SELL"),
                 dbl("MAINTENANCE"), dbl("LOSES"), dbl("NET_GAIN")},
                "",
                ""});
    addBookRows(db, "YEAR_OUTPUT", "YEAR", "YEARS", 2000, 2050);

    // The list of item groups and the day's movement.
    create(db, {"qqq", {text("Q")}, "", ""});
    create(db, {"DAILY_TRADE",
                {text("DESC", 200), i32("STARY_DAY_Q"), i32("OUTPUT", 0), i32("INPUT", 0),
                 i32("END_DAY_Q", 0)},
                "",
                ""});

    // Invoice tables: header fields and numbered line slots 1..32.
    {
        TableDef t{"SALES_INVOICE",
                   {i16("INVO_NO"), date("DATES"), text("PHONE"), text("SALES_MAN"),
                    text("BUYER"), dbl("TOTAL_SUM"), dbl("TOTAL_SUM_SELL"), yesno("STATUS_SUB")},
                   "",
                   ""};
        slots(t, "MED_NAME", T::Text, 32, 200);
        slots(t, "QNTITY", T::Double, 32);
        slots(t, "EXPIRY_ DATE", T::Double, 32);
        slots(t, "SUM", T::Double, 32);
        create(db, t);
    }
    for (const char* name : {"SALES_INVO_GROUP", "COAST_INVO_GROUP"}) {
        TableDef t{name,
                   {i16("INVO_NO"), date("DATES"), text("PHONE"), text("SALES_MAN"),
                    text("NOTES"), dbl("TOTAL_SUM"), yesno("STATUS_SUB")},
                   "",
                   ""};
        slots(t, "MED_NAME", T::Text, 32, 200);
        slots(t, "QNTITY", T::Double, 32);
        slots(t, "EXPIRY_ DATE", T::Double, 32);
        slots(t, "SUM", T::Double, 32);
        create(db, t);
    }
    {
        TableDef t{"RETURN_INVOICE",
                   {i16("INVO_NO"), date("DATES"), text("PHONE"), text("SALES_MAN"),
                    text("BUYER"), yesno("STATUS_SUB")},
                   "",
                   ""};
        slots(t, "MED_NAME", T::Text, 32, 200);
        slots(t, "QNTITY", T::Double, 32);
        slots(t, "PRICE", T::Double, 32);
        slots(t, "EXPIRY_ DATE", T::Date, 32);
        create(db, t);
    }
    {
        TableDef t{"BUY_INVOICE",
                   {i16("INVO_NO"), date("DATES"), text("SALES_MAN"), text("PHONE"),
                    dbl("TOTAL_SUM"), yesno("STATUS_SUB"), text("NOTES"), text("SUPPLIER"),
                    dbl("TOTAL_SUM_SELL")},
                   "",
                   ""};
        slots(t, "MED_NAME", T::Text, 32, 200);
        slots(t, "QNTITY", T::Double, 32);
        slots(t, "EXPIRY_ DATE", T::Double, 32);
        slots(t, "EXPIRY_ DATES", T::Date, 32);
        slots(t, "SUM", T::Double, 32);
        slots(t, "PRICE", T::Double, 12);
        slots(t, "TAX", T::Double, 12);
        slots(t, "PRICE_SELL", T::Double, 12);
        slots(t, "TOTAL_PRICE", T::Double, 12);
        create(db, t);
    }

    // Customers and suppliers.
    create(db, {"BUYER",
                {text("BUYER"), text("PHONE"), text("FAX"), text("ADDRESS"), dbl("MONEY"),
                 text("NOTE")},
                "",
                ""});
    create(db, {"SUPPLIER",
                {text("SALES_MAN"), text("PHONE"), text("FAX"), text("ADDRESS"), dbl("MONEY"),
                 text("NOTE")},
                "",
                ""});

    // Employees.
    create(db, {"emplyee",
                {text("code"), text("name"), text("address"), date("emplyee_date"),
                 date("birth_date"), text("qualfication"), text("Status"), i32("phone"),
                 text("Job_ title"), dbl("sallery"), i16("holidays"), i16("sick_ days"),
                 dbl("Bonus"), dbl("over_ time"), dbl("cout"), dbl("net_sallery"),
                 yesno("get_money"), yesno("feeday"), yesno("feeweek"), yesno("feehmonth"),
                 yesno("feeyear")},
                "",
                ""});

    // The product lists of the compare tool, and the older single store.
    create(db, {"n1",
                {text("DESC"), dbl("BUY_PRICE"), i16("itm_vendor_id"), i16("itm_2co_id"),
                 i16("desc_flag")},
                "",
                ""});
    create(db, {"n2",
                {text("DESC"), dbl("BUY_PRICE"), i16("itm_vendor_id"), i16("itm_2co_id"),
                 i16("item_flag")},
                "",
                ""});
    create(db, {"INVENTORY",
                {text("DESC"), i32("ONSTOCK"), text("LOCATE"), date("UPDT_DAT"), dbl("PRICE"),
                 i32("RETURN"), dbl("TOTAL"), dbl("TOTAL-SELL")},
                "",
                ""});
}

TableDef itemGroupTableDef(const std::string& name) {
    return {name,
            {autonum("REC_ID"), i32("ITEM_NO"), text("DESC", 200), dbl("BUY_PRICE"),
             dbl("UNITE_PRICE"), dbl("GROUP_PRICE"), i16("RETURN"), i32("ONSTOCK"),
             date("DATES"), memo("NOTES"), i32("Q_ORDER"), date("DATES_SAVE"),
             i16("RETURN_BUY")},
            "RECINDX",
            "REC_ID"};
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
