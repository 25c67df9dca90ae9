#include "purchasing/windows.h"

#include "platform/application.h"

namespace mk {

void registerPurchasingWindows(Application&) {}

}  // namespace mk
