// How a window shows what another window's action stored (see
// Form::tablesChanged): its data control re-read in place, unless it holds
// typed, unsaved changes. Those are never thrown away; the window shows
// the stored values at its own save (which re-reads the row) or cancel.
#pragma once

#include "platform/datacontrol.h"

namespace mk {

// Whether the data control holds a change not yet stored: a row being
// added, a changed field, or a bound box typed into.
bool holdsTypedChanges(DataControl& dc);

// Re-reads the data control's table and stands on the row it stood on (by
// its stored row number); on the first row when that row is gone or it
// stood on none.
void rereadInPlace(DataControl& dc);

// rereadInPlace, unless the control is closed or holds typed changes;
// whether it re-read.
bool showStored(DataControl& dc);

}  // namespace mk
