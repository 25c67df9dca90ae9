#include "staff/windows.h"

#include "platform/application.h"

namespace mk {

void registerStaffWindows(Application&) {}

}  // namespace mk
