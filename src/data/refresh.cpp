#include "data/refresh.h"

namespace mk {

bool holdsTypedChanges(DataControl& dc) {
    if (dc.recordset().hasPendingChanges()) return true;
    for (BoundControl* b : dc.boundControls())
        if (b->boundChanged()) return true;
    return false;
}

void rereadInPlace(DataControl& dc) {
    // A table never read yet is read as stored when first used.
    if (!dc.recordset().loaded()) return;
    const long long row = dc.recordset().rowId();
    dc.Refresh();
    Recordset& rs = dc.recordset();
    if (row != 0 && !rs.moveToRow(row)) rs.moveFirst();
}

bool showStored(DataControl& dc) {
    if (!dc.isOpen() || holdsTypedChanges(dc)) return false;
    rereadInPlace(dc);
    return true;
}

}  // namespace mk
