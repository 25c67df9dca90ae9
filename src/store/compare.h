// The product list compare tool: n1 (a list from outside the store) and n2
// (the store's own list) matched by exact product name.
#pragma once

#include "platform/recordset.h"

namespace mk {

// On a match, n1 takes n2's purchase price and desc_flag 1; n2 takes n1's
// two outside identifiers and item_flag 2. Where names repeat, an n1 row
// ends with the price of the last matching n2 row and an n2 row with the
// identifiers of the last matching n1 row, as if every pair were visited in
// table order. Empty names match nothing, and a Null source value leaves its
// target as it was. One walk over each list; both end past their last row.
void compareProductLists(Recordset& n1, Recordset& n2);

}  // namespace mk
