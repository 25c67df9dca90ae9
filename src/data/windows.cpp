#include "data/windows.h"

#include "data/flags_window.h"
#include "platform/application.h"

namespace mk {

void registerDataWindows(Application& app) { app.registerForm<Form54>(); }

}  // namespace mk
