#include "purchasing/partner_balance.h"

#include "platform/database.h"

namespace mk {

namespace {

std::unique_ptr<Statement> firstRow(Database& db, const PartnerTable& partners,
                                    const std::string& name) {
    auto st = db.prepare("SELECT rowid, MONEY FROM " + quoteName(partners.table) + " WHERE " +
                         quoteName(partners.nameField) + "=?1 ORDER BY rowid LIMIT 1");
    st->bindText(1, name);
    return st;
}

}  // namespace

bool partnerListed(Database& db, const PartnerTable& partners, const std::string& name) {
    return firstRow(db, partners, name)->step();
}

bool addToBalance(Database& db, const PartnerTable& partners, const std::string& name,
                  double amount) {
    long long rowid = 0;
    double balance = 0;
    {
        auto st = firstRow(db, partners, name);
        if (!st->step()) return false;
        rowid = st->columnInt(0);
        balance = toDouble(st->column(1, FieldType::Double));
    }
    db.beginWrite();
    auto st = db.prepare("UPDATE " + quoteName(partners.table) + " SET MONEY=?1 WHERE rowid=?2");
    st->bind(1, Value(balance + amount), FieldType::Double);
    st->bindInt(2, rowid);
    st->step();
    return true;
}

}  // namespace mk
