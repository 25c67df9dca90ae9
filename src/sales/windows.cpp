#include "sales/windows.h"

#include "platform/application.h"
#include "sales/retail_invoice.h"
#include "sales/returns_invoice.h"
#include "sales/wholesale_invoice.h"

namespace mk {

void registerSalesWindows(Application& app) {
    app.registerForm<Form3>();
    registerWholesaleWindows(app);
    app.registerForm<Form28>();
}

}  // namespace mk
