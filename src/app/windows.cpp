#include "app/windows.h"

#include "app/about_window.h"
#include "app/main_window.h"
#include "app/start_window.h"
#include "platform/application.h"

namespace mk {

void registerAppWindows(Application& app) {
    app.registerForm<Form16>();
    app.registerForm<Form1>();
    app.registerForm<Form7>();
}

}  // namespace mk
