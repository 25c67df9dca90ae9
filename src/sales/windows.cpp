#include "sales/windows.h"

#include "platform/application.h"

namespace mk {

void registerSalesWindows(Application&) {}

}  // namespace mk
