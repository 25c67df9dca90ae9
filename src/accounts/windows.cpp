#include "accounts/windows.h"

#include "accounts/cashbox_window.h"
#include "platform/application.h"

namespace mk {

void registerAccountsWindows(Application& app) { app.registerForm<Form34>(); }

}  // namespace mk
