#include "purchasing/windows.h"

#include "platform/application.h"
#include "purchasing/incoming_invoice.h"
#include "purchasing/partners.h"
#include "purchasing/purchase_invoice.h"
#include "purchasing/supplier_items.h"
#include "purchasing/totals_reset.h"

namespace mk {

void registerPurchasingWindows(Application& app) {
    app.registerForm<Form5>();
    app.registerForm<Form6>();
    app.registerForm<Form22>();
    app.registerForm<Form17>();
    app.registerForm<Form4>();
    app.registerForm<form171>();
}

}  // namespace mk
