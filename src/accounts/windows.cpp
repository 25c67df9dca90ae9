#include "accounts/windows.h"

#include "platform/application.h"

namespace mk {

void registerAccountsWindows(Application&) {}

}  // namespace mk
