#include "reports/windows.h"

#include "platform/application.h"

namespace mk {

void registerReportsWindows(Application&) {}

}  // namespace mk
