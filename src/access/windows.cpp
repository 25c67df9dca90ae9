#include "access/windows.h"

#include "access/day_close.h"
#include "access/login.h"
#include "access/search_login.h"
#include "access/users.h"
#include "platform/application.h"

namespace mk {

void registerAccessWindows(Application& app) {
    app.registerForm<Form12>();
    app.registerForm<Form13>();
    app.registerForm<Form20>();
    registerWindowLogins(app);
    app.registerForm<Form44>();
    registerSearchLogins(app);
}

}  // namespace mk
