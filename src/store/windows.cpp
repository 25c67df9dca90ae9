#include "store/windows.h"

#include "platform/application.h"
#include "store/groups.h"

namespace mk {

void registerStoreWindows(Application& app) {
    app.registerForm<Form49>();
    app.registerForm<Form56>();
}

}  // namespace mk
