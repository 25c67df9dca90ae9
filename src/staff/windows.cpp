#include "staff/windows.h"

#include "platform/application.h"
#include "staff/employees.h"
#include "staff/follow_up.h"

namespace mk {

void registerStaffWindows(Application& app) {
    app.registerForm<Form32>();
    app.registerForm<Form50>();
    app.registerForm<Form51>();
}

}  // namespace mk
