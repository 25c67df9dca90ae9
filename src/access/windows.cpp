#include "access/windows.h"

#include "access/day_close.h"
#include "access/login.h"
#include "access/users.h"
#include "platform/application.h"

namespace mk {

void registerAccessWindows(Application& app) {
    app.registerForm<Form12>();
    app.registerForm<Form13>();
    app.registerForm<Form20>();
    app.registerForm<Form52>();
    app.registerForm<Form21>();
    app.registerForm<Form24>();
    app.registerForm<Form25>();
    app.registerForm<Form26>();
    app.registerForm<Form27>();
    app.registerForm<Form30>();
    app.registerForm<Form44>();
}

}  // namespace mk
