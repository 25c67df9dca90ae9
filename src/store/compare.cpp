#include "store/compare.h"

#include <string>
#include <unordered_map>

namespace mk {

namespace {

// Per name, the last non-Null value seen; a name is listed once it is seen.
struct Carried {
    Value price;                 // from n2
    Value vendorId, twoCoId;     // from n1
};

void keepLast(Value& slot, const Value& v) {
    if (!v.isNull() && !v.isEmpty()) slot = v;
}

// The name a row is matched by; "" for none.
std::string nameOf(const Recordset& rs) { return toText(rs.field("DESC")); }

}  // namespace

void compareProductLists(Recordset& n1, Recordset& n2) {
    std::unordered_map<std::string, Carried> fromN2, fromN1;
    // With no store list there is nothing to visit: n1 stays where it is.
    if (n2.recordCount() == 0) return;
    for (n2.moveFirst(); !n2.eof(); n2.moveNext()) {
        const std::string name = nameOf(n2);
        if (name.empty()) continue;
        keepLast(fromN2[name].price, n2.field("BUY_PRICE"));
    }
    for (n1.moveFirst(); !n1.eof(); n1.moveNext()) {
        const std::string name = nameOf(n1);
        if (name.empty() || !fromN2.count(name)) continue;
        Carried& c = fromN1[name];
        keepLast(c.vendorId, n1.field("itm_vendor_id"));
        keepLast(c.twoCoId, n1.field("itm_2co_id"));
        // The price goes across as its text, as the lists have always done.
        const Value& price = fromN2[name].price;
        if (!price.isEmpty()) n1.setField("BUY_PRICE", Value(toText(price)));
        n1.setField("desc_flag", Value::i16(1));
        n1.update();
    }
    for (n2.moveFirst(); !n2.eof(); n2.moveNext()) {
        auto it = fromN1.find(nameOf(n2));
        if (it == fromN1.end()) continue;
        const Carried& c = it->second;
        if (!c.vendorId.isEmpty()) n2.setField("itm_vendor_id", Value::i16(toInt16(c.vendorId)));
        if (!c.twoCoId.isEmpty()) n2.setField("itm_2co_id", Value::i16(toInt16(c.twoCoId)));
        n2.setField("item_flag", Value::i16(2));
        n2.update();
    }
}

}  // namespace mk
