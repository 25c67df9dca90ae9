#include "purchasing/windows.h"

#include "platform/application.h"
#include "purchasing/incoming_invoice.h"
#include "purchasing/partners.h"
#include "purchasing/totals_reset.h"

namespace mk {

void registerPurchasingWindows(Application& app) {
    app.registerForm<Form5>();
    app.registerForm<Form6>();
    app.registerForm<Form22>();
    app.registerForm<Form17>();
}

}  // namespace mk
